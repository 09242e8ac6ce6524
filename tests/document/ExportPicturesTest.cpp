#include "document/COrvoDoc.h"
#include "document/ExportPictures.h"
#include "imaging/FrameImage.h"

#include <gtest/gtest.h>

#include <QFileInfo>
#include <QGuiApplication>

#include <memory>

namespace {

const QString CtFile = QStringLiteral(TV_TESTDATA_DIR "/syntax/ct1-ile.dcm");

// Overlays are drawn with fonts, which need the toolkit's application.
class ExportPictures : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        if (!QGuiApplication::instance()) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
            static int argc = 1;
            static char name[] = "document_tests";
            static char* argv[] = { name, nullptr };
            s_app = std::make_unique<QGuiApplication>(argc, argv);
        }
    }

    // Before the statics go: the application must end before Qt's own globals.
    static void TearDownTestSuite() { s_app.reset(); }

    void SetUp() override
    {
        if (!QFileInfo::exists(CtFile))
            GTEST_SKIP() << "test data folder not found: " << TV_TESTDATA_DIR;
        ASSERT_TRUE(m_doc.load(CtFile, {}));
    }

    // A red length across the frame.
    void addLength()
    {
        viewmodel::LengthMeasurement length;
        length.colour = 0x0000FF;
        length.first = { 10, 100 };
        length.second = { 400, 100 };
        m_doc.editOverlays([&](std::span<viewmodel::FrameOverlays> frames) { frames[0].lengths.add(length); });
    }

    static std::unique_ptr<QGuiApplication> s_app;
    COrvoDoc m_doc;
};

std::unique_ptr<QGuiApplication> ExportPictures::s_app;

TEST_F(ExportPictures, ExportPictureIsTheDisplayBitmapUntilAnOverlaySwitchIsOn)
{
    m_doc.setShowAnnotations(false);
    m_doc.setShowMeasurements(false);
    addLength();
    const auto plain = document::exportPictureSource(m_doc).picture(0);
    ASSERT_TRUE(plain.has_value());
    EXPECT_EQ(plain->channels, 1);
    EXPECT_EQ(plain->bytes, m_doc.frame()->exportPixels()->bytes);

    m_doc.setShowMeasurements(true);
    const auto burnt = document::exportPictureSource(m_doc).picture(0);
    ASSERT_TRUE(burnt.has_value());
    ASSERT_EQ(burnt->channels, 3);
    ASSERT_EQ(burnt->width, 512);
    // The line's pixels are red; a pixel far from it keeps its grey.
    const std::size_t onLine = (100 * 512 + 200) * 3;
    EXPECT_EQ(burnt->bytes[onLine], 255);
    EXPECT_EQ(burnt->bytes[onLine + 1], 0);
    const std::size_t away = 500 * 512 + 500;
    EXPECT_EQ(burnt->bytes[away * 3], plain->bytes[away]);
}

TEST_F(ExportPictures, ReportBitmapTakesTheZoomPercentageTruncated)
{
    struct Case {
        float zoom;
        std::int32_t side;
    };
    for (const Case c : { Case { 1.0F, 512 }, Case { 2.0F, 1024 }, Case { 0.333F, 168 }, Case { 0.001F, 1 } }) {
        m_doc.setZoom(c.zoom);
        const auto bitmap = document::reportBitmap(m_doc, 0);
        ASSERT_TRUE(bitmap.has_value()) << c.zoom;
        EXPECT_EQ(bitmap->width(), c.side) << c.zoom;
        EXPECT_EQ(bitmap->bitsPerPixel(), 8) << c.zoom;
    }
}

TEST_F(ExportPictures, ReportBitmapBurnsOverlaysOnlyWhenThePageSetupPrintsThem)
{
    addLength();
    m_doc.pageSetup().printAnnotations = false;
    EXPECT_EQ(document::reportBitmap(m_doc, 0)->bitsPerPixel(), 8);
    m_doc.pageSetup().printAnnotations = true;
    EXPECT_EQ(document::reportBitmap(m_doc, 0)->bitsPerPixel(), 24);
    const auto sized = document::sizedBitmap(m_doc, 0, 100, 30, exporting::Scaling::Bilinear);
    ASSERT_TRUE(sized.has_value());
    EXPECT_EQ(sized->width(), 100);
    EXPECT_EQ(sized->height(), 30);
    EXPECT_EQ(sized->bitsPerPixel(), 8);
}

} // namespace
