#include "AppTestSupport.h"

#include "app/CChildFrame.h"
#include "app/CMainFrame.h"
#include "app/CTolanApp.h"
#include "app/dialogs/BrightnessContrastDialog.h"
#include "app/dialogs/IntensityDialogParts.h"
#include "app/dialogs/ThresholdDialog.h"
#include "document/COrvoDoc.h"
#include "imaging/FrameImage.h"
#include "imaging/Intensity.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <vector>

namespace {

using Pixels = std::vector<std::int16_t>;
using FrameChange = std::function<bool(imaging::FrameImage&)>;

Pixels pixelsOf(const COrvoDoc& doc) { return doc.frame()->image16()->topLevel().pixels; }

// What the core operation makes of a fresh copy of the file.
Pixels coreResult(const QString& path, const FrameChange& change)
{
    COrvoDoc copy;
    if (!copy.load(path, document::UserOptions {}) || !change(*copy.frame()))
        return {};
    return pixelsOf(copy);
}

// Types into a field's edit box as a paste would, without its checks.
void typeInto(SliderField* field, const QString& text) { field->spinBox()->findChild<QLineEdit*>()->setText(text); }

// Runs `handle` on the dialog that the next modal loop shows.
template<typename Dialog>
void whenShown(const std::function<void(Dialog&)>& handle)
{
    QTimer::singleShot(0, [handle] {
        if (auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget()))
            handle(*dialog);
    });
}

} // namespace

Q_DECLARE_METATYPE(FrameChange)

class IntensityCommandsTest : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        QVERIFY(m_dir.isValid());
        m_path = m_dir.filePath(QStringLiteral("marked.dcm"));
        writeTestFile(m_path, TestFile::MarkedFrame);
        m_app = std::make_unique<CTolanApp>();
        QVERIFY(m_app->start({ QStringLiteral("tolan-viewer") }));
        QVERIFY(m_app->openDocumentFile(m_path));
        m_doc = &m_app->mainFrame()->activeChild()->document();
    }
    void cleanup() { m_app.reset(); }

    void itemsWorkOnAnImageButAutoLevelsHasNoCommand()
    {
        for (Command command : { Command::Inverse, Command::Thresholding, Command::BrightnessContrast,
                                 Command::RemoveBurnedIn })
            QVERIFY(m_app->mainFrame()->action(command)->isEnabled());
        QVERIFY(!m_app->mainFrame()->action(Command::AutoLevels)->isEnabled());
    }

    void commandChangesTheFrameAsTheCoreAndUndoesByteForByte_data()
    {
        QTest::addColumn<int>("command");
        QTest::addColumn<FrameChange>("core");
        const FrameChange invert = [](imaging::FrameImage& image) { return imaging::invert(image); };
        const FrameChange removeBurnedIn = [](imaging::FrameImage& image) { return imaging::removeBurnedIn(image); };
        QTest::newRow("inverse") << static_cast<int>(Command::Inverse) << invert;
        QTest::newRow("burned in") << static_cast<int>(Command::RemoveBurnedIn) << removeBurnedIn;
    }
    void commandChangesTheFrameAsTheCoreAndUndoesByteForByte()
    {
        QFETCH(int, command);
        QFETCH(FrameChange, core);
        const Pixels before = pixelsOf(*m_doc);
        const Pixels expected = coreResult(m_path, core);
        QVERIFY(expected != before);
        trigger(static_cast<Command>(command));
        QCOMPARE(pixelsOf(*m_doc), expected);
        trigger(Command::Undo);
        QCOMPARE(pixelsOf(*m_doc), before);
        QVERIFY(!m_doc->canUndo(0));
        trigger(Command::Redo);
        QCOMPARE(pixelsOf(*m_doc), expected);
    }

    // Each dialog is given reversed threshold limits or a brightness and a
    // contrast, previews them, and then closes with OK or Cancel.
    void dialogPreviewsThenAppliesOneStepOrLeavesTheFrameAsItWas_data()
    {
        QTest::addColumn<int>("command");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<FrameChange>("core");
        const FrameChange threshold = [](imaging::FrameImage& image) {
            return imaging::threshold(image, 500, 2000, imaging::ThresholdMode::BlackAndWhite);
        };
        const FrameChange brightness = [](imaging::FrameImage& image) {
            return imaging::brightnessContrast(image, 30, -40);
        };
        const auto thresholding = static_cast<int>(Command::Thresholding);
        const auto brightnessContrast = static_cast<int>(Command::BrightnessContrast);
        QTest::newRow("threshold OK") << thresholding << true << threshold;
        QTest::newRow("threshold Cancel") << thresholding << false << threshold;
        QTest::newRow("brightness OK") << brightnessContrast << true << brightness;
        QTest::newRow("brightness Cancel") << brightnessContrast << false << brightness;
    }
    void dialogPreviewsThenAppliesOneStepOrLeavesTheFrameAsItWas()
    {
        QFETCH(int, command);
        QFETCH(bool, accepted);
        QFETCH(FrameChange, core);
        const Pixels before = pixelsOf(*m_doc);
        const imaging::Window window = m_doc->frame()->window();
        const Pixels expected = coreResult(m_path, core);
        QVERIFY(expected != before);
        Pixels previewed;
        const auto close = [&](QDialog& dialog, QPushButton* preview) {
            preview->click();
            preview->click(); // a second try replaces the first
            previewed = pixelsOf(*m_doc);
            accepted ? dialog.accept() : dialog.reject();
        };
        if (command == static_cast<int>(Command::Thresholding)) {
            whenShown<ThresholdDialog>([&](ThresholdDialog& dialog) {
                dialog.lowerField()->setValue(2000);
                dialog.upperField()->setValue(500);
                dialog.modeButton(imaging::ThresholdMode::BlackAndWhite)->setChecked(true);
                close(dialog, dialog.previewButton());
            });
        } else {
            whenShown<BrightnessContrastDialog>([&](BrightnessContrastDialog& dialog) {
                dialog.brightnessField()->setValue(30);
                dialog.contrastField()->setValue(-40);
                close(dialog, dialog.previewButton());
            });
        }
        trigger(static_cast<Command>(command));
        QCOMPARE(previewed, expected);
        QCOMPARE(pixelsOf(*m_doc), accepted ? expected : before);
        QCOMPARE(m_doc->canUndo(0), accepted);
        if (accepted)
            trigger(Command::Undo);
        QCOMPARE(pixelsOf(*m_doc), before);
        QCOMPARE(m_doc->frame()->window(), window);
        QVERIFY(!m_doc->canUndo(0));
        QVERIFY(!m_doc->frame()->canUndo());
    }

    void thresholdLimitsComeInOrder_data()
    {
        QTest::addColumn<int>("lower");
        QTest::addColumn<int>("upper");
        QTest::newRow("in order") << 1000 << 3000;
        QTest::newRow("reversed") << 3000 << 1000;
        QTest::newRow("equal") << 2000 << 2000;
    }
    void thresholdLimitsComeInOrder()
    {
        QFETCH(int, lower);
        QFETCH(int, upper);
        ThresholdDialog dialog(*m_doc->frame(), {});
        dialog.lowerField()->setValue(lower);
        dialog.upperField()->setValue(upper);
        QCOMPARE(dialog.parameters().lower, std::min(lower, upper));
        QCOMPARE(dialog.parameters().upper, std::max(lower, upper));
        QVERIFY(dialog.okButton()->isEnabled());
        if (lower < upper)
            saveScreenshot(dialog, QStringLiteral("thresholding"));
    }

    // Values typed beyond a field's range (the frame's samples for the
    // limits, -100..100 for brightness and contrast) disable OK.
    void dialogsRefuseValuesOutsideTheirRange_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("lower at the top") << "lower" << "max" << true;
        QTest::newRow("lower above the top") << "lower" << "max+1" << false;
        QTest::newRow("upper below the bottom") << "upper" << "min-1" << false;
        QTest::newRow("upper empty") << "upper" << "" << false;
        QTest::newRow("brightness -100") << "brightness" << "-100" << true;
        QTest::newRow("brightness 101") << "brightness" << "101" << false;
        QTest::newRow("contrast -101") << "contrast" << "-101" << false;
        QTest::newRow("contrast text") << "contrast" << "abc" << false;
    }
    void dialogsRefuseValuesOutsideTheirRange()
    {
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(bool, accepted);
        const imaging::FrameImage& frame = *m_doc->frame();
        typed.replace(QStringLiteral("max+1"), QString::number(frame.max() + 1))
            .replace(QStringLiteral("min-1"), QString::number(frame.min() - 1))
            .replace(QStringLiteral("max"), QString::number(frame.max()));
        ThresholdDialog threshold(frame, {});
        BrightnessContrastDialog brightness(frame, {});
        SliderField* typedInto = field == QStringLiteral("lower") ? threshold.lowerField()
            : field == QStringLiteral("upper")                    ? threshold.upperField()
            : field == QStringLiteral("brightness")               ? brightness.brightnessField()
                                                                  : brightness.contrastField();
        typeInto(typedInto, typed);
        QCOMPARE(threshold.okButton()->isEnabled() && brightness.okButton()->isEnabled(), accepted);
        QCOMPARE(threshold.previewButton()->isEnabled() && brightness.previewButton()->isEnabled(), accepted);
        if (field == QStringLiteral("brightness") && accepted)
            saveScreenshot(brightness, QStringLiteral("brightness-contrast"));
    }

private:
    void trigger(Command command) { m_app->mainFrame()->action(command)->trigger(); }

    ScratchSettings m_scratch;
    QTemporaryDir m_dir;
    QString m_path;
    std::unique_ptr<CTolanApp> m_app;
    COrvoDoc* m_doc = nullptr;
};

TV_REGISTER_TEST(IntensityCommandsTest);
#include "IntensityCommandsTest.moc"
