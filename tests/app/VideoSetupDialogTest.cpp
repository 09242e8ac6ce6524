#include "AppTestSupport.h"

#include "app/dialogs/VideoSetupDialog.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QtTest>

using document::SizeMode;

namespace {

VideoSetupDialog::Parameters start(double frameTime, SizeMode mode)
{
    VideoSetupDialog::Parameters p;
    p.include = { 1, 0, 1 };
    p.frameTime = frameTime;
    p.sizeMode = mode;
    p.width = 64;
    p.height = 32;
    p.constrain = false;
    return p;
}

const VideoSetupDialog::Facts kFacts { 128, 64, 0.5, 0.0, 0, {} };

} // namespace

class VideoSetupDialogTest : public QObject {
    Q_OBJECT
private slots:
    void okSizeAndScalingFollowTheChoices()
    {
        struct Case {
            const char* name;
            double frameTime;
            SizeMode mode;
            int width; // typed into the width field; -1: left alone
            bool ok;
            bool sizeEdits;
            bool scaling;
        };
        const Case cases[] = {
            { "actual size", 40.0, SizeMode::Actual, -1, true, false, false },
            { "scaled size", 40.0, SizeMode::Scaled, -1, true, false, true },
            { "user size", 40.0, SizeMode::User, -1, true, true, true },
            { "frame time 0", 0.0, SizeMode::Actual, -1, false, false, false },
            { "negative frame time", -5.0, SizeMode::User, -1, false, true, true },
            { "user width 0", 40.0, SizeMode::User, 0, false, true, true },
            { "user width 65535", 40.0, SizeMode::User, 65535, true, true, true },
            { "user width 65536", 40.0, SizeMode::User, 65536, false, true, true },
            { "actual size ignores a bad width", 40.0, SizeMode::Actual, 65536, true, false, false },
        };
        for (const Case& c : cases) {
            VideoSetupDialog dialog(start(c.frameTime, c.mode), kFacts);
            if (c.width >= 0)
                dialog.widthEdit()->setValue(c.width);
            QVERIFY2(dialog.okButton()->isEnabled() == c.ok, c.name);
            QVERIFY2(dialog.widthEdit()->isEnabled() == c.sizeEdits, c.name);
            QVERIFY2(dialog.heightPercentEdit()->isEnabled() == c.sizeEdits, c.name);
            QVERIFY2(dialog.scalingChoice()->isEnabled() == c.scaling, c.name);
        }
    }

    void sizesFollowTheChoice()
    {
        VideoSetupDialog dialog(start(40.0, SizeMode::Actual), kFacts);
        QCOMPARE(dialog.parameters().width, 128);
        dialog.sizeButton(SizeMode::Scaled)->click();
        QCOMPARE(dialog.parameters().width, 64);
        QCOMPARE(dialog.widthPercentEdit()->value(), 50);
        dialog.sizeButton(SizeMode::User)->click();
        dialog.widthPercentEdit()->setValue(25);
        QCOMPARE(dialog.parameters().width, 32);
        QCOMPARE(dialog.parameters().height, 32); // proportions not constrained
    }

    void includeAndExcludeFollowTheHighlightedFrames()
    {
        VideoSetupDialog dialog(start(40.0, SizeMode::Actual), kFacts);
        QCOMPARE(dialog.frameList()->count(), 3);
        dialog.frameList()->setCurrentRow(1);
        QVERIFY(dialog.includeButton()->isEnabled());
        QVERIFY(!dialog.excludeButton()->isEnabled());
        dialog.includeButton()->click();
        QVERIFY(!dialog.includeButton()->isEnabled());
        QVERIFY(dialog.excludeButton()->isEnabled());
        dialog.frameList()->setCurrentRow(0);
        dialog.excludeButton()->click();
        QCOMPARE(dialog.parameters().include, (std::vector<std::uint8_t> { 0, 1, 1 }));
    }

    void fromHeaderNeedsAHeaderFrameTime()
    {
        VideoSetupDialog without(start(40.0, SizeMode::Actual), kFacts);
        QVERIFY(!without.fromHeaderButton()->isEnabled());
        VideoSetupDialog::Facts facts = kFacts;
        facts.headerFrameTime = 50.0;
        facts.preview = QImage(64, 32, QImage::Format_RGB32);
        facts.preview.fill(Qt::gray);
        VideoSetupDialog with(start(0.0, SizeMode::Actual), facts);
        QVERIFY(without.findChild<QLabel*>(QStringLiteral("preview")) == nullptr);
        QVERIFY(with.findChild<QLabel*>(QStringLiteral("preview")) != nullptr);
        QVERIFY(!with.okButton()->isEnabled());
        with.fromHeaderButton()->click();
        QCOMPARE(with.framesPerSecondEdit()->text(), QStringLiteral("20.00"));
        QVERIFY(with.okButton()->isEnabled());
        saveScreenshot(with, QStringLiteral("video-setup"));
    }
};

TV_REGISTER_TEST(VideoSetupDialogTest);
#include "VideoSetupDialogTest.moc"
