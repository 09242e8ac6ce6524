#include "AppTestSupport.h"
#include "ViewerFixture.h"

#include "app/Settings.h"
#include "document/OverlayText.h"
#include "app/dialogs/PreferencesDialog.h"
#include "view/COrvoView.h"
#include "view/model/Rulers.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QMdiArea>
#include <QPushButton>
#include <QTimer>
#include <QSpinBox>
#include <QtTest>

using document::FontRecord;
using document::ColorRef;
using document::UserOptions;

namespace {

template <typename Widget>
Widget* withText(QWidget& root, const char* text, int index = 0)
{
    for (Widget* widget : root.findChildren<Widget*>()) {
        if (widget->text() == QString::fromUtf8(text) && index-- == 0)
            return widget;
    }
    return nullptr;
}

// One control worked, and what it does to the options.
struct Edit {
    const char* control;
    int index; // among controls of the same text
    void (*expect)(UserOptions&);
};

const FontRecord ChosenAnnotationFont { 14, 700, 1, 0, 0, 161, "DejaVu Sans" };
const FontRecord ChosenMeasurementFont { 11, 300, 0, 1, 1, 161, "Liberation Mono" };

} // namespace

Q_DECLARE_METATYPE(FontRecord)

class PreferencesDialogTest : public QObject {
    Q_OBJECT
private slots:
    void everyOptionRoundTripsThroughTheSettingsFile()
    {
        ScratchSettings scratch;
        UserOptions start;
        start.useVfw = true; // no control: passes through
        start.videoSource = 3;
        PreferencesDialog dialog(start);
        ColorRef nextColour = 0;
        dialog.setColourPicker([&](const QColor&, QWidget*) {
            nextColour += 0x152025; // six steps stay within each byte
            return std::optional<QColor>(QColor(document::redOf(nextColour), document::greenOf(nextColour),
                document::blueOf(nextColour)));
        });
        int fontCalls = 0;
        dialog.setFontPicker([&](const QFont&, QWidget*) {
            return std::optional<QFont>(preferences::toQFont(fontCalls++ == 0 ? ChosenAnnotationFont
                                                                              : ChosenMeasurementFont));
        });

        const Edit edits[] = {
            { "Start with rulers on", 0, [](UserOptions& o) { o.rulersOn = true; } },
            { "Start witth default annotations", 0, [](UserOptions& o) { o.defAnnotations = true; } },
            { "Automatic Pixel Aspect Ratio", 0, [](UserOptions& o) { o.aspectRatio = false; } },
            { "Show background image", 0, [](UserOptions& o) { o.bgImage = true; } },
            { "Anonymized copies and exports", 0, [](UserOptions& o) { o.anonExports = 0; } },
            { "Automatic close", 0, [](UserOptions& o) { o.autoClose = 1; } },
            { "Keep patient and study in saved files", 0, [](UserOptions& o) { o.keepPatientAndStudy = true; } },
            { "Default annotation color ", 0, [](UserOptions& o) { o.annotationColor = 0x152025; } },
            { "Default distance color ", 0, [](UserOptions& o) { o.distanceColor = 0x2A404A; } },
            { "Default angle color ", 0, [](UserOptions& o) { o.angleColor = 0x3F606F; } },
            { "Rulers' color", 0, [](UserOptions& o) { o.axisColor = 0x548094; } },
            { "Main background color", 0, [](UserOptions& o) { o.mainBgColor = 0x69A0B9; } },
            { "Document background color", 0, [](UserOptions& o) { o.docBgColor = 0x7EC0DE; } },
            { "Lower right", 0, [](UserOptions& o) { o.axisStart = 3; } },
            { "Select Default Font...", 0, [](UserOptions& o) { o.annotationFont = ChosenAnnotationFont; } },
            { "Select Default Font...", 1, [](UserOptions& o) { o.measurementFont = ChosenMeasurementFont; } },
        };
        UserOptions expected = start;
        for (const Edit& edit : edits) {
            auto* control = withText<QAbstractButton>(dialog, edit.control, edit.index);
            QVERIFY2(control, edit.control);
            control->click();
            edit.expect(expected);
            QVERIFY2(dialog.options() == expected, edit.control);
        }
        dialog.lineWidthBox()->setValue(7);
        expected.lineWidth = 7;
        saveScreenshot(dialog, QStringLiteral("preferences"));

        dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QVERIFY(dialog.options() == expected);
        QSettings store(scratch.iniPath(), QSettings::IniFormat);
        settings::writeUserOptions(store, dialog.options());
        QVERIFY(settings::readUserOptions(store) == expected);
    }

    void outOfRangeValuesAreRefused_data()
    {
        QTest::addColumn<int>("lineWidth");
        QTest::addColumn<int>("axisStart");
        QTest::addColumn<int>("keptWidth");
        QTest::addColumn<int>("keptCorner");
        QTest::newRow("in range") << 50 << 2 << 50 << 2;
        QTest::newRow("zero width, corner 4") << 0 << 4 << 2 << 1;
        QTest::newRow("negative") << -5 << -1 << 2 << 1;
        QTest::newRow("too wide") << 101 << 3 << 2 << 3;
    }
    void outOfRangeValuesAreRefused()
    {
        QFETCH(int, lineWidth);
        QFETCH(int, axisStart);
        QFETCH(int, keptWidth);
        QFETCH(int, keptCorner);
        // Typed into the spin box: it stays at its nearest bound.
        PreferencesDialog dialog(UserOptions {});
        dialog.lineWidthBox()->setValue(lineWidth);
        QCOMPARE(dialog.options().lineWidth, std::clamp(lineWidth, 1, 100));
        // Read from the settings file: the default stands in.
        ScratchSettings scratch;
        QSettings store(scratch.iniPath(), QSettings::IniFormat);
        store.setValue(QStringLiteral("UserOptions/LineWidth"), lineWidth);
        store.setValue(QStringLiteral("UserOptions/AxisStart"), axisStart);
        const UserOptions read = settings::readUserOptions(store);
        QCOMPARE(read.lineWidth, keptWidth);
        QCOMPARE(read.axisStart, keptCorner);
    }

    void fontRecordsSurviveTheFontDialog_data()
    {
        QTest::addColumn<FontRecord>("record");
        QTest::addColumn<FontRecord>("back");
        QTest::newRow("default") << FontRecord {} << FontRecord {};
        QTest::newRow("bold italic, western") << FontRecord { 14, 700, 1, 0, 0, 0, "DejaVu Sans" }
                                              << FontRecord { 14, 700, 1, 0, 0, 0, "DejaVu Sans" };
        QTest::newRow("negative height") << FontRecord { -12, 300, 0, 1, 1, 161, "Serif" }
                                         << FontRecord { 12, 300, 0, 1, 1, 161, "Serif" };
        QTest::newRow("bad weight") << FontRecord { 9, 5000, 0, 0, 0, 161, "Serif" }
                                    << FontRecord { 9, 400, 0, 0, 0, 161, "Serif" };
        QTest::newRow("long face") << FontRecord { 8, 400, 0, 0, 0, 161, std::string(40, 'F') }
                                   << FontRecord { 8, 400, 0, 0, 0, 161, std::string(31, 'F') };
    }
    void fontRecordsSurviveTheFontDialog()
    {
        QFETCH(FontRecord, record);
        QFETCH(FontRecord, back);
        QVERIFY(preferences::toFontRecord(preferences::toQFont(record), record.charSet) == back);
    }

    // OK stores into the shared options and the open window follows; Cancel changes nothing.
    void theCommandAppliesOptionsOnOkOnly_data()
    {
        QTest::addColumn<bool>("ok");
        QTest::newRow("ok") << true;
        QTest::newRow("cancel") << false;
    }
    void theCommandAppliesOptionsOnOkOnly()
    {
        QFETCH(bool, ok);
        Viewer viewer(TestFile::SpacedFrames);
        QVERIFY(viewer.doc);
        const UserOptions before = viewer.app.mainFrame()->options();
        constexpr ColorRef Chosen = 0x102030;
        QObject guard;
        QTimer::singleShot(0, &guard, [ok] {
            auto* dialog = qobject_cast<PreferencesDialog*>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            dialog->setColourPicker(
                [](const QColor&, QWidget*) { return std::optional<QColor>(QColor(0x30, 0x20, 0x10)); });
            withText<QAbstractButton>(*dialog, "Document background color")->click();
            withText<QAbstractButton>(*dialog, "Main background color")->click();
            withText<QAbstractButton>(*dialog, "Default distance color ")->click();
            withText<QAbstractButton>(*dialog, "Upper right")->click();
            const auto answer = ok ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel;
            dialog->findChild<QDialogButtonBox*>()->button(answer)->click();
        });
        viewer.trigger(Command::Preferences);
        const UserOptions& after = viewer.app.mainFrame()->options();
        const ColorRef expected = ok ? Chosen : before.docBgColor;
        QCOMPARE(after.docBgColor, expected);
        QCOMPARE(after.mainBgColor, ok ? Chosen : before.mainBgColor);
        CMainFrame& frame = *viewer.app.mainFrame();
        QCOMPARE(frame.mdiArea()->background().color(), overlaytext::toQColor(after.mainBgColor));
        QCOMPARE(frame.activeChild()->imageView()->backgroundColour(), overlaytext::toQColor(expected));
        const auto corner = ok ? viewmodel::RulerCorner::UpperRight : viewmodel::rulerCornerOf(before.axisStart);
        for (int frame = 0; frame < viewer.doc->frameCount(); ++frame)
            QCOMPARE(viewer.doc->rulerSetting(frame).corner, corner);
        QCOMPARE(viewer.doc->measurementStyle().lengthColour, ok ? Chosen : before.distanceColor);
    }
};

TV_REGISTER_TEST(PreferencesDialogTest);
#include "PreferencesDialogTest.moc"
