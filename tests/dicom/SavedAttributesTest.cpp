#include "dicom/DicomReader.h"
#include "dicom/DicomWriter.h"
#include "dicom/SavedAttributes.h"
#include "dicom/Tags.h"

#include "../support/DicomBytes.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using dicom::DicomDataset;
using testsupport::DicomBytes;

// A CT-like source: character set, patient, study, spacing, rescale, and a
// sequence and a binary value that are never copied.
DicomDataset source()
{
    DicomBytes b;
    b.part10Header("1.2.840.10008.1.2.1")
        .element(0x0008, 0x0005, "CS", "ISO_IR 100")   // Specific Character Set
        .element(0x0008, 0x0020, "DA", "20240131")     // Study Date
        .element(0x0008, 0x0050, "SH", "ACC42 ")       // Accession Number
        .element(0x0008, 0x1030, "LO", "HEAD ")        // Study Description
        .tag(0x0008, 0x1110).vr("SQ").reserved().len32(0) // Referenced Study Sequence, empty
        .element(0x0010, 0x0010, "PN", "DOE^JANE")     // Patient's Name
        .element(0x0010, 0x0020, "LO", "P-1 ")         // Patient ID
        .element(0x0010, 0x1010, "AS", "042Y")         // Patient's Age
        .element(0x0018, 0x0050, "DS", "2.5 ")         // Slice Thickness
        .element(0x0018, 0x1164, "DS", "0.3\\0.3 ")    // Imager Pixel Spacing
        .element(0x0020, 0x000D, "UI", "1.2.3.4")      // Study Instance UID
        .elementU16(0x0028, 0x0002, "US", 1)          // Samples per Pixel (never copied)
        .element(0x0028, 0x0030, "DS", "0.25\\0.5 ")   // Pixel Spacing
        .element(0x0028, 0x1052, "DS", "0 ")           // Rescale Intercept
        .element(0x0028, 0x1053, "DS", "1 ")           // Rescale Slope
        .element(0x0028, 0x1054, "LO", "US");          // Rescale Type
    dicom::MemorySource memory(b.bytes());
    dicom::ReadOptions options;
    options.headerOnly = dicom::HeaderOnly::Yes;
    DicomDataset dataset;
    EXPECT_TRUE(dicom::DicomReader(options).read(memory, dataset));
    return dataset;
}

DicomDataset built(base::FrameFormat format)
{
    dicom::SaveFrames frames;
    frames.columns = 2;
    frames.rows = 2;
    frames.frames.push_back({ format, std::vector<std::uint8_t>(format == base::FrameFormat::Rgb8 ? 12 : 4),
                              std::vector<std::int16_t>(format == base::FrameFormat::Grey16 ? 4 : 0) });
    auto saved = dicom::buildForSave(std::move(frames), std::tm {});
    EXPECT_TRUE(saved.has_value());
    return std::move(*saved);
}

std::string text(const DicomDataset& d, base::Tag tag)
{
    const auto* e = d.find(tag);
    if (!e)
        return "<absent>";
    std::string value(e->text());
    while (!value.empty() && (value.back() == ' ' || value.back() == '\0'))
        value.pop_back();
    return value;
}

// DS values come back as the writer stores them (six decimals).
TEST(SavedAttributes, CopiesWhatTheFramesStillMeanAndThePatientOnlyWhenAsked)
{
    struct Case {
        const char* name;
        base::FrameFormat format;
        bool keep;
        base::Tag tag;
        std::string expected;
    };
    const Case cases[] = {
        { "spacing", base::FrameFormat::Grey8, false, dicom::tags::PixelSpacing, "0.250000\\0.500000" },
        { "imager spacing", base::FrameFormat::Grey8, false, dicom::tags::ImagerPixelSpacing, "0.300000\\0.300000" },
        { "thickness", base::FrameFormat::Grey16, false, dicom::tags::SliceThickness, "2.500000" },
        { "8-bit intercept", base::FrameFormat::Grey8, false, dicom::tags::RescaleIntercept, "0" },
        { "8-bit slope", base::FrameFormat::Grey8, false, dicom::tags::RescaleSlope, "1" },
        { "8-bit type", base::FrameFormat::Grey8, false, dicom::tags::RescaleType, "US" },
        { "no rescale for colour", base::FrameFormat::Rgb8, false, dicom::tags::RescaleSlope, "<absent>" },
        { "no patient by default", base::FrameFormat::Grey8, false, dicom::tags::PatientName, "" },
        { "no character set by default", base::FrameFormat::Grey8, false, dicom::tags::SpecificCharacterSet,
          "<absent>" },
        { "patient kept", base::FrameFormat::Grey8, true, dicom::tags::PatientName, "DOE^JANE" },
        { "patient id kept", base::FrameFormat::Grey8, true, { 0x0010, 0x0020 }, "P-1" },
        { "age kept", base::FrameFormat::Rgb8, true, { 0x0010, 0x1010 }, "042Y" },
        { "study date kept", base::FrameFormat::Grey16, true, { 0x0008, 0x0020 }, "20240131" },
        { "accession kept", base::FrameFormat::Grey8, true, { 0x0008, 0x0050 }, "ACC42" },
        { "description kept", base::FrameFormat::Grey8, true, { 0x0008, 0x1030 }, "HEAD" },
        { "study uid kept", base::FrameFormat::Grey8, true, dicom::tags::StudyInstanceUID, "1.2.3.4" },
        { "character set kept", base::FrameFormat::Grey8, true, dicom::tags::SpecificCharacterSet, "ISO_IR 100" },
        { "sequence never", base::FrameFormat::Grey8, true, { 0x0008, 0x1110 }, "<absent>" },
    };
    const DicomDataset from = source();
    for (const Case& c : cases) {
        DicomDataset saved = built(c.format);
        dicom::copySavedAttributes(saved, from, dicom::SaveOptions { c.keep });
        EXPECT_EQ(text(saved, c.tag), c.expected) << c.name;
        // The pixel module stays the saved frames' own.
        EXPECT_EQ(saved.find({ 0x0028, 0x0002 })->bytes()[0], c.format == base::FrameFormat::Rgb8 ? 3 : 1) << c.name;
    }
}

// Spacing that measures nothing and a date that is no DA stay out; a
// rescale without a type gets "US".
TEST(SavedAttributes, LeavesOutMalformedValuesAndNamesTheRescaleType)
{
    DicomBytes b;
    b.part10Header("1.2.840.10008.1.2.1")
        .element(0x0018, 0x0050, "DS", "-1")         // Slice Thickness: below 0
        .element(0x0018, 0x1164, "DS", "0.3\\x ")    // Imager Pixel Spacing: not a number
        .element(0x0028, 0x0030, "DS", "0.5\\0\\0.5 ") // Pixel Spacing: three values, one 0
        .element(0x0008, 0x0020, "DA", "2026:12:08") // Study Date in a picture's own form
        .element(0x0008, 0x0030, "TM", "103046")     // Study Time
        .element(0x0008, 0x1030, "LO", std::string_view("HEAD\0\0", 6)) // Study Description padded with zeros
        .element(0x0020, 0x000D, "UI", "1.2.3 ")     // Study Instance UID padded with a blank
        .element(0x0028, 0x1052, "DS", "0 ");        // Rescale Intercept, no Rescale Type
    dicom::MemorySource memory(b.bytes());
    dicom::ReadOptions options;
    options.headerOnly = dicom::HeaderOnly::Yes;
    DicomDataset from;
    ASSERT_TRUE(dicom::DicomReader(options).read(memory, from));
    DicomDataset saved = built(base::FrameFormat::Grey8);
    const std::string builtDate = text(saved, { 0x0008, 0x0020 });
    dicom::copySavedAttributes(saved, from, dicom::SaveOptions { true });
    EXPECT_EQ(text(saved, { 0x0008, 0x0020 }), builtDate);
    EXPECT_EQ(text(saved, { 0x0008, 0x0030 }), "103046");
    EXPECT_EQ(saved.find({ 0x0008, 0x1030 })->length, 4U);
    const auto uid = saved.find(dicom::tags::StudyInstanceUID)->bytes();
    EXPECT_EQ(std::string(uid.begin(), uid.end()), std::string("1.2.3\0", 6));
    for (const base::Tag tag : { dicom::tags::SliceThickness, dicom::tags::ImagerPixelSpacing, dicom::tags::PixelSpacing })
        EXPECT_EQ(text(saved, tag), "<absent>") << tag.group << "," << tag.element;
    EXPECT_EQ(text(saved, dicom::tags::RescaleIntercept), "0");
    EXPECT_EQ(text(saved, dicom::tags::RescaleType), "US");
}

} // namespace
