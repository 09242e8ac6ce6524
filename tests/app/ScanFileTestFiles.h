#pragma once

// Small DICOM files with chosen header facts, for the scanning list and
// "Search..." tests: a 16 x 8 grey frame of 8 bits, so thumbnails draw.

#include "tests/support/DicomBytes.h"

#include <QFile>
#include <QString>

#include <string>

struct HeaderFacts {
    const char* patientName = nullptr; // absent when null
    const char* studyDate = nullptr;
    const char* studyId = nullptr;
};

inline std::string evenValue(std::string value)
{
    if (value.size() % 2 != 0)
        value += ' ';
    return value;
}

inline bool writeFactsFile(const QString& path, const HeaderFacts& facts)
{
    testsupport::DicomBytes b;
    b.part10Header("1.2.840.10008.1.2.1");
    if (facts.studyDate)
        b.element(0x0008, 0x0020, "DA", evenValue(facts.studyDate)); // Study Date
    b.element(0x0008, 0x0060, "CS", "OT");                            // Modality
    if (facts.patientName)
        b.element(0x0010, 0x0010, "PN", evenValue(facts.patientName)); // Patient's Name
    if (facts.studyId)
        b.element(0x0020, 0x0010, "SH", evenValue(facts.studyId)); // Study ID
    b.elementU16(0x0028, 0x0002, "US", 1);                           // Samples per Pixel
    b.element(0x0028, 0x0004, "CS", "MONOCHROME2 ");                 // Photometric Interpretation
    b.elementU16(0x0028, 0x0010, "US", 8);                           // Rows
    b.elementU16(0x0028, 0x0011, "US", 16);                          // Columns
    b.elementU16(0x0028, 0x0100, "US", 8);                           // Bits Allocated
    b.elementU16(0x0028, 0x0101, "US", 8);                           // Bits Stored
    b.elementU16(0x0028, 0x0102, "US", 7);                           // High Bit
    b.elementU16(0x0028, 0x0103, "US", 0);                           // Pixel Representation
    b.tag(0x7FE0, 0x0010).header("OB", 128);                         // Pixel Data: a ramp
    for (int i = 0; i < 128; ++i)
        b.u8(static_cast<std::uint8_t>(i * 2));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const auto& bytes = b.bytes();
    return file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()))
        == static_cast<qint64>(bytes.size());
}

inline bool writeTextFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(QByteArray(300, 'x')) == 300;
}
