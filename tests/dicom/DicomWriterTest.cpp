#include "dicom/DicomEncoder.h"
#include "dicom/DicomReader.h"
#include "dicom/DicomWriter.h"
#include "dicom/Tags.h"

#include "../support/DicomBytes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>

namespace {

using dicom::DicomDataset;
using testsupport::DicomBytes;

std::vector<std::uint8_t> bytesOf(std::string_view text) { return { text.begin(), text.end() }; }

std::string normalised(const char* vr, std::string_view value)
{
    const auto out = dicom::normaliseValue(vr, bytesOf(value));
    return { out.begin(), out.end() };
}

std::vector<std::uint8_t> encoded(const DicomDataset& dataset)
{
    std::vector<std::uint8_t> out;
    const auto ok = dicom::encodeDataset(dataset, [&](std::span<const std::uint8_t> b) {
        out.insert(out.end(), b.begin(), b.end());
        return true;
    });
    EXPECT_TRUE(ok.has_value());
    return out;
}

std::uint32_t le32(const std::vector<std::uint8_t>& b, std::size_t at)
{
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (std::uint32_t(b[at + 3]) << 24);
}

DicomDataset grey8(std::uint32_t columns, std::uint32_t rows, std::size_t frames)
{
    std::vector<std::vector<std::uint8_t>> list(frames, std::vector<std::uint8_t>(columns * rows, 7));
    auto built = dicom::buildFrom8(std::move(list), columns, rows, false, std::tm {});
    EXPECT_TRUE(built.has_value());
    return std::move(*built);
}

std::string text(const DicomDataset& d, base::Tag tag)
{
    const auto* e = d.find(tag);
    return e ? std::string(e->text()) : "<absent>";
}

dicom::SaveFrames frames2x2(std::vector<base::Frame> frames)
{
    dicom::SaveFrames source;
    source.frames = std::move(frames);
    source.columns = 2;
    source.rows = 2;
    return source;
}

struct NormaliseCase {
    const char* vr;
    const char* in;
    std::string_view out;
};

TEST(DicomWriter, NormalisesValuesByVr)
{
    const NormaliseCase cases[] = {
        { "AE", "ABC", "ABC " },
        { "AE", "ABCDEFGHIJKLMNOPQ", "ABCDEFGHIJKLMNOP" },
        { "CS", "ORIGINAL\\PRIMARY ", "ORIGINAL\\PRIMARY  " },
        { "UI", "1.2.3", std::string_view("1.2.3\0", 6) },
        { "DS", "33.333", "33.333000 " },
        { "DS", "0", "0 " },
        { "DS", "-1024", "-1024 " },
        { "DS", "1\\2.5", "1\\2.500000" },
        { "US", "\x01", "\x01" },
    };
    for (const auto& c : cases)
        EXPECT_EQ(normalised(c.vr, c.in), c.out) << c.vr << " " << c.in;
}

struct DsCase {
    double value;
    const char* text;
};

TEST(DicomWriter, DsTextsKeepTheirDigits)
{
    const DsCase cases[] = {
        { 0.0, "0" }, { 128.0, "128" }, { 33.333, "33.333000" }, { 9.570207, "9.570207" }, { 1e-7, "1e-07" },
        { 5.94901e-08, "5.94901e-08" }, { 0.234542, "0.234542" },
        { -32768.0 * 9.570207 - 19595, "-333191.542976" }, { 1e300, "1e+300" }, { 1234567.1234567, "1234567.123457" },
    };
    for (const auto& c : cases)
        EXPECT_EQ(dicom::formatDs(c.value), c.text) << c.value;
}

TEST(DicomWriter, GroupLengthsCountEveryElementAfterThem)
{
    const DicomDataset d = grey8(3, 3, 1);
    const auto file = encoded(d);
    ASSERT_EQ(std::string(file.begin() + 128, file.begin() + 132), "DICM");
    // (0002,0000) UL 4 at 132; its value counts the meta elements up to (0008,0000).
    ASSERT_EQ(file[132], 0x02);
    const std::uint32_t metaLength = le32(file, 140);
    EXPECT_EQ(file[144 + metaLength], 0x08) << "group 8 follows the meta group";
    EXPECT_EQ(text(d, { 0x0002, 0x0013 }), "TOLAN-VIEWER-30 ");
    EXPECT_EQ(d.find({ 0x0008, 0x0008 })->length, 18u);
    EXPECT_EQ(d.find(dicom::tags::PixelData)->length, 10u) << "odd 8-bit total padded";
    EXPECT_EQ(le32(file, file.size() - 10 - 4), 10u);
    EXPECT_EQ(file.back(), 0);
    EXPECT_EQ(le32({ d.find({ 0x7FE0, 0x0000 })->value }, 0), 12u + 10u);
}

TEST(DicomWriter, SixteenBitBuildsWriteOwAndSignedSamples)
{
    auto built = dicom::buildFrom16({ std::vector<std::int16_t>(4, -5) }, 2, 2, 400, 0, std::tm {});
    ASSERT_TRUE(built.has_value());
    EXPECT_EQ(built->find(dicom::tags::PixelData)->vr, "OW");
    EXPECT_EQ(built->find({ 0x0028, 0x0103 })->value[0], 1);
    EXPECT_EQ(text(*built, { 0x0028, 0x1050 }), "0 ") << "a window centre of 0 is written";
    EXPECT_EQ(text(*built, { 0x0008, 0x0016 }), dicom::SecondaryCaptureSop);
}

struct SopCase {
    const char* name;
    base::FrameFormat format;
    std::size_t frames;
    std::string_view sop;
};

TEST(DicomWriter, SeveralFramesUseTheMultiFrameClasses)
{
    const SopCase cases[] = {
        { "grey8 x1", base::FrameFormat::Grey8, 1, dicom::SecondaryCaptureSop },
        { "grey8 x2", base::FrameFormat::Grey8, 2, dicom::MultiFrameGreyByteSop },
        { "rgb x2", base::FrameFormat::Rgb8, 2, dicom::MultiFrameTrueColourSop },
        { "grey16 x2", base::FrameFormat::Grey16, 2, dicom::MultiFrameGreyWordSop },
    };
    for (const auto& c : cases) {
        dicom::SaveFrames source = frames2x2({});
        for (std::size_t i = 0; i < c.frames; ++i)
            source.frames.push_back({ c.format, std::vector<std::uint8_t>(c.format == base::FrameFormat::Rgb8 ? 12 : 4),
                std::vector<std::int16_t>(c.format == base::FrameFormat::Grey16 ? 4 : 0) });
        auto built = dicom::buildForSave(std::move(source), std::tm {});
        ASSERT_TRUE(built.has_value()) << c.name;
        const std::string sop = text(*built, { 0x0008, 0x0016 });
        EXPECT_EQ(sop.substr(0, sop.find('\0')), c.sop) << c.name;
        EXPECT_EQ(built->find({ 0x0028, 0x0009 }) != nullptr, c.frames > 1) << c.name;
    }
}

TEST(DicomWriter, FramesThatDifferAreRefused)
{
    dicom::SaveFrames source = frames2x2({ { base::FrameFormat::Grey8, std::vector<std::uint8_t>(4), {} },
        { base::FrameFormat::Rgb8, std::vector<std::uint8_t>(12), {} } });
    auto built = dicom::buildForSave(std::move(source), std::tm {});
    ASSERT_FALSE(built.has_value());
    EXPECT_EQ(built.error().code, dicom::DicomError::UnsupportedFormat);
}

TEST(DicomWriter, RescaleIsUndoneWithTheWrittenNumbers)
{
    dicom::SaveFrames source = frames2x2({ { base::FrameFormat::Grey16, {}, { -1024, 0, 976, 3071 } } });
    source.rescale = dicom::Rescale { -1024.0, 0.5, "HU" };
    auto built = dicom::buildForSave(std::move(source), std::tm {});
    ASSERT_TRUE(built.has_value());
    EXPECT_EQ(built->frames[0].samples, (std::vector<std::int16_t> { 0, 2048, 4000, 8190 }));
    EXPECT_EQ(text(*built, dicom::tags::RescaleSlope), "0.500000");
    EXPECT_EQ(text(*built, dicom::tags::RescaleType), "HU");
}

// A slope below 1: rounding the inverse can land one step short of the value shown.
TEST(DicomWriter, UndoneValuesMapBackToTheShownOnes)
{
    const std::vector<std::int16_t> shown { 1, 9, 8, -3, 7685 };
    dicom::SaveFrames source = frames2x2({ { base::FrameFormat::Grey16, {}, shown } });
    source.columns = 5;
    source.rows = 1;
    source.windowWidth = 0;
    source.rescale = dicom::Rescale { 0.0, 0.234542, "US" };
    auto built = dicom::buildForSave(std::move(source), std::tm {});
    ASSERT_TRUE(built.has_value());
    for (std::size_t i = 0; i < shown.size(); ++i)
        EXPECT_EQ(std::trunc(0.234542 * built->frames[0].samples[i]), shown[i]) << i;
    EXPECT_EQ(text(*built, dicom::tags::WindowWidth), "1 "); // at least one value wide, padded to even
}

TEST(DicomWriter, TooLongShortValuesBecomeUn)
{
    DicomDataset d = grey8(2, 2, 1);
    dicom::setText(d, { 0x0010, 0x4000 }, "LT", std::string(70000, 'a'));
    const auto file = encoded(d);
    const std::string all(file.begin(), file.end());
    const auto at = all.find(std::string("\x10\x00\x00\x40", 4));
    ASSERT_NE(at, std::string::npos);
    EXPECT_EQ(all.substr(at + 4, 2), "UN");
    EXPECT_EQ(le32(file, at + 8), 70000u);
}

TEST(DicomWriter, PixelDataAbove4GiBIsRefused)
{
    // Two frames of 65535 x 65535 words: 17 GB, refused before any buffer is looked at.
    auto built = dicom::buildFrom16({ {}, {} }, 65535, 65535, 1, 0, std::tm {});
    EXPECT_FALSE(built.has_value());
    EXPECT_EQ(built.error().code, dicom::DicomError::Corrupted);
}

TEST(DicomWriter, UidsAreDecimalUuids)
{
    const std::string a = dicom::generateUid(), b = dicom::generateUid();
    const std::string digits = a.substr(5);
    EXPECT_EQ(a.substr(0, 5), "2.25.");
    EXPECT_TRUE(digits.size() <= 39 && digits[0] != '0' && digits.find_first_not_of("0123456789") == std::string::npos) << a;
    EXPECT_NE(a, b);
    const DicomDataset d = grey8(2, 2, 1);
    EXPECT_EQ(text(d, { 0x0002, 0x0003 }), text(d, { 0x0008, 0x0018 }));
    EXPECT_NE(text(d, { 0x0020, 0x000D }), text(d, { 0x0020, 0x000E }));
}

struct VerdictCase {
    const char* name;
    std::vector<std::uint8_t> bytes; // empty: no file at all
    dicom::OverwriteVerdict verdict;
};

TEST(DicomWriter, OverwriteVerdictComesFromTheFilesHeader)
{
    const auto ours = encoded(grey8(2, 2, 1));
    DicomBytes other;
    other.part10Header("1.2.840.10008.1.2.4.80").tag(0x0010, 0x0010).vr("PN").len16(2).text("AB");
    DicomBytes raw(DicomBytes::Syntax::ImplicitLittle);
    // Longer than a preamble and "DICM", as the reader asks of any file.
    raw.tag(0x0008, 0x0060).u32(2).text("OT").tag(0x0010, 0x0020).u32(160).text(std::string(160, '1'));
    const VerdictCase cases[] = {
        { "ours", ours, dicom::OverwriteVerdict::OwnFile },
        { "other", other.bytes(), dicom::OverwriteVerdict::OtherSoftware },
        { "raw", raw.bytes(), dicom::OverwriteVerdict::OtherSoftware },
        { "text", bytesOf("just some notes\n"), dicom::OverwriteVerdict::NotDicom },
        { "missing", {}, dicom::OverwriteVerdict::Missing },
    };
    for (const auto& c : cases) {
        const auto path = std::filesystem::temp_directory_path() / ("tv-verdict-" + std::to_string(::getpid()) + c.name);
        std::filesystem::remove(path);
        if (!c.bytes.empty())
            std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(c.bytes.data()), c.bytes.size());
        EXPECT_EQ(dicom::overwriteVerdict(path), c.verdict) << c.name;
        std::filesystem::remove(path);
    }
}

TEST(DicomWriter, AFailedWriteLeavesTheOldFile)
{
    const auto path = std::filesystem::temp_directory_path() / ("tv-atomic-" + std::to_string(::getpid()));
    std::ofstream(path, std::ios::binary) << "old contents";
    const DicomDataset d = grey8(1024, 1024, 3); // several chunks
    const auto failed = dicom::writeDicomFile(path, d, [](std::uint64_t written) { return written < (1u << 20); });
    ASSERT_FALSE(failed.has_value());
    EXPECT_EQ(failed.error().code, dicom::DicomError::FileIo);
    std::ifstream in(path, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "old contents");
    for (const auto& entry : std::filesystem::directory_iterator(path.parent_path()))
        EXPECT_EQ(entry.path().filename().string().rfind("." + path.filename().string(), 0), std::string::npos);
    ASSERT_TRUE(dicom::writeDicomFile(path, d).has_value());
    EXPECT_EQ(std::filesystem::file_size(path), encoded(d).size());
    std::filesystem::remove(path);
}

// A packed bitmap: BITMAPINFOHEADER (40 bytes), a palette for 8 bits, then
// the rows bottom-up, each padded to 4 bytes.
std::vector<std::uint8_t> packedBitmap(int width, int height, int bits, std::vector<std::uint8_t> rows)
{
    DicomBytes b;
    b.u32(40).u32(static_cast<std::uint32_t>(width)).u32(static_cast<std::uint32_t>(height)); // size, width, height
    b.u16(1).u16(static_cast<std::uint16_t>(bits)).u32(0).u32(0);                           // planes, bits, BI_RGB, image size
    b.u32(0).u32(0).u32(bits == 8 ? 2 : 0).u32(0);                                           // resolution, colours used
    if (bits == 8)
        b.u32(0).u32(0x00FFFFFF); // two palette entries, ignored
    std::vector<std::uint8_t> out = b.bytes();
    out.insert(out.end(), rows.begin(), rows.end());
    return out;
}

struct BitmapCase {
    const char* name;
    int bits;
    std::vector<std::uint8_t> rows; // 2 x 2 pixels, bottom row first
    std::vector<std::uint8_t> frame; // top row first
    dicom::DicomError error;
};

TEST(DicomWriter, BitmapsBecomeTopDownFrames)
{
    using E = dicom::DicomError;
    const BitmapCase cases[] = {
        { "grey 8", 8, { 1, 2, 0, 0, 3, 4, 0, 0 }, { 3, 4, 1, 2 }, E::None },
        { "bgr 24", 24, { 1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0 }, { 9, 8, 7, 12, 11, 10, 3, 2, 1, 6, 5, 4 },
          E::None },
        { "bgrx 32", 32, { 1, 2, 3, 0, 4, 5, 6, 0, 7, 8, 9, 0, 10, 11, 12, 0 }, { 9, 8, 7, 12, 11, 10, 3, 2, 1, 6, 5, 4 },
          E::None },
        { "rgb 555", 16, { 0x00, 0x7C, 0xE0, 0x03, 0x1F, 0x00, 0xFF, 0x7F }, { 0, 0, 255, 255, 255, 255, 255, 0, 0, 0, 255, 0 },
          E::None },
        { "4 bits", 4, { 0, 0, 0, 0, 0, 0, 0, 0 }, {}, E::UnknownFormat },
        { "cut short", 24, { 1, 2, 3 }, {}, E::Corrupted },
    };
    for (const auto& c : cases) {
        const auto block = packedBitmap(2, 2, c.bits, c.rows);
        const std::span<const std::uint8_t> list[] = { block };
        auto built = dicom::buildFromBitmaps(list, std::tm {});
        if (c.error != E::None) {
            ASSERT_FALSE(built.has_value()) << c.name;
            EXPECT_EQ(built.error().code, c.error) << c.name;
            continue;
        }
        ASSERT_TRUE(built.has_value()) << c.name;
        EXPECT_EQ(built->frames.at(0).bytes, c.frame) << c.name;
        EXPECT_EQ(text(*built, { 0x0028, 0x0004 }), c.bits == 8 ? "MONOCHROME2 " : "RGB ") << c.name;
    }
}

} // namespace
