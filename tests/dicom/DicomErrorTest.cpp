#include "dicom/DicomError.h"

#include <gtest/gtest.h>

using dicom::DicomError;

TEST(DicomError, TextsAreExactIncludingTrailingBlanks)
{
    const std::pair<DicomError, const char*> cases[] = {
        {DicomError::None, "No Error"},
        {DicomError::OutOfMemory, "Memmory Allocation Error   "},
        {DicomError::FileIo, "File I/O Error   "},
        {DicomError::UnsupportedFormat, "Unsupported Dicom file format   "},
        {DicomError::UnknownFormat, "Unknown file format   "},
        {DicomError::Corrupted, "Corrupted Dicom file   "},
        {DicomError::UnknownCompression, "Unknown Compression Scheme   "},
        {DicomError::FileNotFound, "File not fount"},
        {DicomError::UnsupportedFileFormat, "Unsupported file format   "},
    };
    int number = 0;
    for (const auto& [code, text] : cases) {
        EXPECT_EQ(static_cast<int>(code), number++);
        EXPECT_EQ(dicom::errorText(code), text) << static_cast<int>(code);
    }
}

TEST(DicomError, MessageIsCutToTheCapacity)
{
    EXPECT_EQ(dicom::errorMessage(DicomError::Corrupted, 8), "Corrupt");
    EXPECT_EQ(dicom::errorMessage(DicomError::Corrupted, 0), "");
    EXPECT_EQ(dicom::errorMessage(DicomError::Corrupted), "Corrupted Dicom file   ");
    EXPECT_EQ(dicom::errorText(static_cast<DicomError>(-1)), "Corrupted Dicom file   ");
}
