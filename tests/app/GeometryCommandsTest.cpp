#include "AppTestSupport.h"
#include "ViewerFixture.h"

#include "app/CChildFrame.h"
#include "app/CMainFrame.h"
#include "app/CTolanApp.h"
#include "app/Settings.h"
#include "app/dialogs/CustomRotateDialog.h"
#include "app/dialogs/ResampleDialog.h"
#include "document/COrvoDoc.h"
#include "imaging/FrameImage.h"
#include "imaging/Geometry.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTimer>
#include <QtTest>

#include <functional>

using imaging::Interpolation;
using imaging::Level8;
using imaging::Turn;

namespace {

using CoreOperation = std::function<imaging::Result<Level8>(const Level8&)>;

const Level8& top(const COrvoDoc& doc, int frame = -1) { return doc.frame(frame)->image8()->topLevel(); }

bool sameLevel(const Level8& a, const Level8& b)
{
    return a.width == b.width && a.height == b.height && a.pixels == b.pixels;
}

// Answers the next modal dialog of type D with `choose`, then presses OK.
template<typename D>
void answerDialog(std::function<void(D&)> choose)
{
    QTimer::singleShot(0, [choose = std::move(choose)] {
        auto* dialog = qobject_cast<D*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        choose(*dialog);
        dialog->accept();
    });
}

// The command gave the core's result; Undo brings back the frame byte for
// byte and Redo the result.
void checkCommandAndUndo(Viewer& viewer, const std::function<void()>& run, const CoreOperation& core,
                         const char* name)
{
    const Level8 before = top(*viewer.doc);
    const auto expected = core(before);
    QVERIFY2(expected.has_value(), name);
    run();
    QVERIFY2(sameLevel(top(*viewer.doc), *expected), name);
    QVERIFY2(viewer.doc->undo(0), name);
    QVERIFY2(sameLevel(top(*viewer.doc), before), name);
    QVERIFY2(viewer.doc->redo(0), name);
    QVERIFY2(sameLevel(top(*viewer.doc), *expected), name);
    QVERIFY2(viewer.doc->undo(0), name);
}

} // namespace

class GeometryCommandsTest : public QObject {
    Q_OBJECT
private slots:
    void commandsNeedAFrame()
    {
        ScratchSettings scratch;
        CTolanApp app;
        QVERIFY(app.start({ QStringLiteral("tolan-viewer") }));
        for (Command id : { Command::Rotate180, Command::Rotate90Clockwise, Command::Rotate90CounterClockwise,
                            Command::RotateCustom, Command::FlipHorizontal, Command::FlipVertical,
                            Command::Resample })
            QVERIFY(!app.mainFrame()->action(id)->isEnabled());
        const QString path = scratch.path() + QStringLiteral("/frame.dcm");
        writeTestFile(path, TestFile::Gradient);
        QVERIFY(app.openDocumentFile(path));
        QVERIFY(app.mainFrame()->action(Command::RotateCustom)->isEnabled());
    }

    void turnsAndFlipsDoWhatTheCoreDoes()
    {
        struct Case {
            const char* name;
            Command command;
            CoreOperation core;
        };
        const Case cases[] = {
            { "180", Command::Rotate180, [](const Level8& l) { return imaging::rotate180(l); } },
            { "90 cw", Command::Rotate90Clockwise, [](const Level8& l) { return imaging::rotate90Clockwise(l); } },
            { "90 ccw", Command::Rotate90CounterClockwise,
              [](const Level8& l) { return imaging::rotate90CounterClockwise(l); } },
            { "flip h", Command::FlipHorizontal, [](const Level8& l) { return imaging::flipHorizontal(l); } },
            { "flip v", Command::FlipVertical, [](const Level8& l) { return imaging::flipVertical(l); } },
        };
        Viewer viewer(TestFile::Gradient);
        QVERIFY(viewer.doc);
        for (const Case& c : cases)
            checkCommandAndUndo(viewer, [&] { viewer.trigger(c.command); }, c.core, c.name);
    }

    void dialogsRunTheCoreWithTheirChoiceAndStoreTheMethod()
    {
        using RotateChoice = std::function<void(CustomRotateDialog&)>;
        using ResampleChoice = std::function<void(ResampleDialog&)>;
        struct Case {
            const char* name;
            RotateChoice rotate; // else resample
            ResampleChoice resample;
            CoreOperation core;
            const char* setting;
            int method;
        };
        const auto turn = [](int angle, bool clockwise, int method) {
            return [=](CustomRotateDialog& d) {
                d.angleEdit()->setValue(angle);
                (clockwise ? d.clockwiseButton() : d.counterClockwiseButton())->setChecked(true);
                d.methodChoice()->setCurrentIndex(method);
            };
        };
        const auto size = [](int width, int height, int method) {
            return [=](ResampleDialog& d) {
                d.constrainBox()->setChecked(false);
                d.widthPixels()->setValue(width);
                d.heightPixels()->setValue(height);
                d.methodChoice()->setCurrentIndex(method);
            };
        };
        const Case cases[] = {
            { "30 cw bicubic", turn(30, true, 2), {},
              [](const Level8& l) { return imaging::rotate(l, 30.0F, Turn::Clockwise, Interpolation::Bicubic, 0); },
              settings::RotateScalingMethod, 2 },
            { "90 ccw is the quarter turn", turn(90, false, 0), {},
              [](const Level8& l) { return imaging::rotate90CounterClockwise(l); }, settings::RotateScalingMethod, 0 },
            { "resample bilinear", {}, size(15, 9, 1),
              [](const Level8& l) { return imaging::resampleBilinear(l, 15, 9); }, settings::ExportScalingMethod, 1 },
            { "resample nearest", {}, size(3, 11, 0),
              [](const Level8& l) { return imaging::resampleNearest(l, 3, 11); }, settings::ExportScalingMethod, 0 },
        };
        Viewer viewer(TestFile::Gradient);
        QVERIFY(viewer.doc);
        for (const Case& c : cases) {
            checkCommandAndUndo(viewer, [&] {
                if (c.rotate) {
                    answerDialog(c.rotate);
                    viewer.trigger(Command::RotateCustom);
                } else {
                    answerDialog(c.resample);
                    viewer.trigger(Command::Resample);
                }
            }, c.core, c.name);
            const auto store = settings::open();
            QCOMPARE(settings::readNumber(*store, settings::SettingsGroup, c.setting, -1, 0, 2), c.method);
        }
    }

    void aPreviewLeavesNoStepBehind()
    {
        Viewer viewer(TestFile::Gradient);
        QVERIFY(viewer.doc);
        const Level8 before = top(*viewer.doc);
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<CustomRotateDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            dialog->angleEdit()->setValue(45);
            dialog->previewButton()->click();
            QVERIFY(top(*viewer.doc).width > before.width);
            dialog->reject();
        });
        viewer.trigger(Command::RotateCustom);
        QVERIFY(sameLevel(top(*viewer.doc), before));
        QVERIFY(!viewer.doc->canUndo(0));
    }

    void applyToAllGivesOneStepPerFrame()
    {
        Viewer viewer(TestFile::SpacedFrames);
        QVERIFY(viewer.doc);
        QCOMPARE(viewer.doc->toggleApplyToAll(), COrvoDoc::ApplyToAllResult::Toggled);
        const auto expected = imaging::rotate90Clockwise(top(*viewer.doc, 1));
        viewer.trigger(Command::Rotate90Clockwise);
        for (int f = 0; f < 3; ++f) {
            QVERIFY(viewer.doc->canUndo(f));
            QVERIFY(sameLevel(top(*viewer.doc, f), *expected));
            QVERIFY(viewer.doc->undo(f));
            QVERIFY(!viewer.doc->canUndo(f));
        }
    }

    void resampleAcceptsSidesOf1To65535()
    {
        struct Case {
            const char* name;
            int sizeItem; // 0 scaled, 1 typed
            float zoom;
            int width;
            int height;
            bool ok;
        };
        const Case cases[] = {
            { "typed 1 x 1", 1, 1.0F, 1, 1, true },
            { "typed 65535 wide", 1, 1.0F, 65535, 4, true },
            { "typed 0 wide", 1, 1.0F, 0, 4, false },
            { "typed 0 high", 1, 1.0F, 7, 0, false },
            { "typed 65536 high", 1, 1.0F, 7, 65536, false },
            { "scaled by 2", 0, 2.0F, 14, 8, true },
            { "scaled beyond 65535", 0, 10000.0F, 70000, 40000, false },
        };
        for (const Case& c : cases) {
            ResampleDialog dialog({ QSize(7, 4), c.zoom, QSize(), false });
            QCOMPARE(dialog.sizeChoice()->currentText(), QStringLiteral("User defined size"));
            dialog.sizeChoice()->setCurrentIndex(c.sizeItem);
            if (c.sizeItem == 1) {
                dialog.widthPixels()->setValue(c.width);
                dialog.heightPixels()->setValue(c.height);
            }
            QVERIFY2(dialog.widthPixels()->isEnabled() == (c.sizeItem == 1), c.name);
            QVERIFY2(dialog.parameters().size == QSize(c.width, c.height), c.name);
            QVERIFY2(dialog.okButton()->isEnabled() == c.ok, c.name);
        }
    }

    void constrainedSidesFollowEachOther()
    {
        struct Case {
            const char* name;
            QSpinBox* (ResampleDialog::*edit)() const;
            int value;
            QSize size;
            int widthPercent;
        };
        const Case cases[] = {
            { "width pixels", &ResampleDialog::widthPixels, 14, QSize(14, 8), 200 },
            { "width percent", &ResampleDialog::widthPercent, 50, QSize(4, 2), 50 }, // the typed edit keeps its text
            { "height pixels", &ResampleDialog::heightPixels, 2, QSize(4, 2), 57 },
            { "height percent", &ResampleDialog::heightPercent, 300, QSize(21, 12), 300 },
        };
        for (const Case& c : cases) {
            ResampleDialog dialog({ QSize(7, 4), 1.0F, QSize(), true });
            (dialog.*c.edit)()->setValue(c.value);
            QVERIFY2(dialog.parameters().size == c.size, c.name);
            QVERIFY2(dialog.widthPercent()->value() == c.widthPercent, c.name);
        }
    }

    void customRotateTakesOneTo90Degrees()
    {
        struct Case {
            int set;
            int angle;
            bool ok;
        };
        const Case cases[] = { { 0, 0, false }, { 1, 1, true }, { 90, 90, true }, { 400, 90, true }, { -5, 0, false } };
        for (const Case& c : cases) {
            CustomRotateDialog dialog;
            dialog.angleEdit()->setValue(c.set);
            QCOMPARE(dialog.parameters().angle, static_cast<float>(c.angle));
            QCOMPARE(dialog.okButton()->isEnabled(), c.ok);
            QCOMPARE(dialog.previewButton()->isEnabled(), c.ok);
        }
    }

    void dialogsOpenWithTheStoredMethods()
    {
        ScratchSettings scratch;
        {
            const auto store = settings::open();
            settings::writeNumber(*store, settings::SettingsGroup, settings::RotateScalingMethod, 2);
            settings::writeNumber(*store, settings::SettingsGroup, settings::ExportScalingMethod, 7); // out of range
        }
        CustomRotateDialog rotate;
        QCOMPARE(rotate.methodChoice()->currentText(), QStringLiteral("Bicubic"));
        QVERIFY(rotate.clockwiseButton()->isChecked());
        ResampleDialog resample({ QSize(7, 4), 1.0F, QSize(20, 10), true });
        QCOMPARE(resample.methodChoice()->currentText(), QStringLiteral("Nearest Neighbour "));
        QCOMPARE(resample.parameters().size, QSize(20, 10));
        rotate.angleEdit()->setValue(30);
        saveScreenshot(rotate, QStringLiteral("custom-rotate-dialog"));
        saveScreenshot(resample, QStringLiteral("resample-dialog"));
    }
};

TV_REGISTER_TEST(GeometryCommandsTest);
#include "GeometryCommandsTest.moc"
