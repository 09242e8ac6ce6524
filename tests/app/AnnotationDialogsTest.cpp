#include "AppTestSupport.h"

#include "app/dialogs/AnnotationDialog.h"
#include "app/dialogs/RulersSetupDialog.h"
#include "dicom/DicomDataset.h"

#include <QCheckBox>
#include <QFrame>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

using viewmodel::RulerCorner;
using viewmodel::RulerSetting;

namespace {

struct OpeningCase {
    AnnotationDialog::Mode mode;
    QString text;
    bool switchOn;
    bool available; // frames of equal size
    QString title;
};

} // namespace

class AnnotationDialogsTest : public QObject {
    Q_OBJECT
private slots:
    void annotationDialogOpensOnTheTextAndTheSwitch_data()
    {
        using Mode = AnnotationDialog::Mode;
        QTest::addColumn<OpeningCase>("c");
        QTest::newRow("add-single-frame") << OpeningCase { Mode::Add, "", false, false, "Add Annotation" };
        QTest::newRow("edit-equal-frames") << OpeningCase { Mode::Edit, "Doe^John", true, true, "Edit Annotation" };
        QTest::newRow("add-unequal-frames") << OpeningCase { Mode::Add, "R", true, false, "Add Annotation" };
    }
    void annotationDialogOpensOnTheTextAndTheSwitch()
    {
        QFETCH(OpeningCase, c);
        AnnotationDialog dialog(c.mode, { {}, 0x00FF00, c.text, c.switchOn }, c.available, QFont(), nullptr);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        QCOMPARE(dialog.windowTitle(), c.title);
        QCOMPARE(QApplication::focusWidget(), dialog.textEdit());
        QCOMPARE(dialog.textEdit()->textCursor().selectedText(), c.text);
        QCOMPARE(dialog.applyToAllBox()->isChecked(), c.switchOn);
        QCOMPARE(dialog.applyToAllBox()->isEnabled(), c.available);
        QCOMPARE(dialog.draft().applyToAll, c.switchOn && c.available);
        QVERIFY(!dialog.fromHeaderButton()->isEnabled()); // no data set
        saveScreenshot(dialog, QStringLiteral("annotation-") + QTest::currentDataTag());
    }

    void draftCutsTheTextBetweenCharacters_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("kept");
        const QString e(QChar(0xE9)); // two bytes of UTF-8
        QTest::newRow("300 two-byte letters") << e.repeated(300) << e.repeated(129);
        QTest::newRow("260 bytes") << QString(260, 'a') << QString(259, 'a');
        QTest::newRow("exact fit") << QStringLiteral("a") + e.repeated(300) << QStringLiteral("a") + e.repeated(129);
    }
    void draftCutsTheTextBetweenCharacters()
    {
        QFETCH(QString, typed);
        QFETCH(QString, kept);
        AnnotationDialog dialog(AnnotationDialog::Mode::Add, {}, false, QFont(), nullptr);
        dialog.textEdit()->setPlainText(typed);
        QCOMPARE(dialog.draft().text, kept);
    }

    void buttonsReplaceFontColourAndText()
    {
        const dicom::DicomDataset dataset;
        AnnotationDialog dialog(AnnotationDialog::Mode::Edit, { {}, 0x0000FF, QStringLiteral("old"), false }, true,
                                QFont(QStringLiteral("Start Face"), 11), &dataset);
        QList<QFont> fontsOffered;
        QColor colourOffered;
        dialog.setPickers(
            [&](const QFont& from, QWidget*) { fontsOffered << from; return std::optional(QFont("Picked", 14 + fontsOffered.size())); },
            [&](const QColor& from, QWidget*) { colourOffered = from; return std::optional(QColor(Qt::blue)); },
            [](const dicom::DicomDataset&, QWidget*) { return std::optional(QStringLiteral("CHEST")); });
        QVERIFY(!dialog.chosenFont());
        for (QPushButton* button : { dialog.fontButton(), dialog.fontButton(), dialog.colourButton(), dialog.fromHeaderButton() })
            button->click();
        QCOMPARE(fontsOffered.size(), 2);
        QCOMPARE(fontsOffered[0].family(), QStringLiteral("Start Face")); // the view's last font first,
        QCOMPARE(fontsOffered[1].pointSize(), 15);                        // then the one picked here
        QCOMPARE(dialog.chosenFont()->pointSize(), 16);
        QCOMPARE(colourOffered, QColor(Qt::red));
        const AnnotationDraft draft = dialog.draft();
        QCOMPARE(draft.font.height, 16);
        QCOMPARE(draft.font.face.str(), "Picked");
        QCOMPARE(draft.colour, viewmodel::Colour { 0xFF0000 });
        QCOMPARE(draft.text, QStringLiteral("CHEST"));
    }

    void rulersDialogReturnsTheChosenCornerAndStoresItAsDefault_data()
    {
        QTest::addColumn<RulerCorner>("corner");
        QTest::newRow("upper-left") << RulerCorner::UpperLeft;
        QTest::newRow("lower-left") << RulerCorner::LowerLeft;
        QTest::newRow("upper-right") << RulerCorner::UpperRight;
        QTest::newRow("lower-right") << RulerCorner::LowerRight;
    }
    void rulersDialogReturnsTheChosenCornerAndStoresItAsDefault()
    {
        QFETCH(RulerCorner, corner);
        const RulerSetting start { RulerCorner::LowerLeft, 0x00FFFF };
        std::optional<RulerSetting> stored;
        RulersSetupDialog dialog(start, [&](RulerSetting setting) { stored = setting; });
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QCOMPARE(dialog.setting(), start);
        dialog.cornerButton(corner)->click();
        QCOMPARE(dialog.setting().corner, corner);
        QVERIFY(!stored);
        dialog.setAsDefaultButton()->click();
        QCOMPARE(stored, std::optional(RulerSetting { corner, start.colour }));
        saveScreenshot(dialog, QStringLiteral("rulers-") + QTest::currentDataTag());
    }

    void rulersColourComesFromSelectAndPaintsTheSwatch()
    {
        RulersSetupDialog dialog({ RulerCorner::UpperLeft, 0xFFFFFF }, {});
        QColor offered;
        dialog.setColourPicker([&](const QColor& from, QWidget*) { offered = from; return std::optional(QColor(Qt::red)); });
        dialog.selectButton()->click();
        QCOMPARE(offered, QColor(Qt::white));
        QCOMPARE(dialog.setting().colour, viewmodel::Colour { 0x0000FF });
        const QImage swatch = dialog.swatch()->grab().toImage();
        QCOMPARE(swatch.pixelColor(swatch.width() / 2, swatch.height() / 2), QColor(Qt::red));
    }
};

TV_REGISTER_TEST(AnnotationDialogsTest);
#include "AnnotationDialogsTest.moc"
