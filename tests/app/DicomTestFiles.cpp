// The byte builder is kept out of the Qt test classes' own files, which moc
// reads.
#include "AppTestSupport.h"

#include "tests/support/DicomBytes.h"

#include <cstdint>
#include <string>
#include <vector>

namespace {

using testsupport::DicomBytes;

struct GreyFrame {
    std::uint16_t rows;
    std::uint16_t columns;
    std::uint16_t bitsAllocated;
    std::uint16_t bitsStored;
    const char* pixelSpacing = nullptr; // row, then column
    int frames = 0; // none: one frame and no Number of Frames
};

// The image pixel module of one grey frame, in tag order up to the pixel data.
void appendGreyAttributes(DicomBytes& b, const GreyFrame& f)
{
    b.elementU16(0x0028, 0x0002, "US", 1);           // Samples per Pixel
    b.element(0x0028, 0x0004, "CS", "MONOCHROME2 "); // Photometric Interpretation
    if (f.frames > 0)
        b.element(0x0028, 0x0008, "IS", std::to_string(f.frames) + " "); // Number of Frames
    b.elementU16(0x0028, 0x0010, "US", f.rows);      // Rows
    b.elementU16(0x0028, 0x0011, "US", f.columns);   // Columns
    if (f.pixelSpacing)
        b.element(0x0028, 0x0030, "DS", f.pixelSpacing); // Pixel Spacing
    b.elementU16(0x0028, 0x0100, "US", f.bitsAllocated);                               // Bits Allocated
    b.elementU16(0x0028, 0x0101, "US", f.bitsStored);                                  // Bits Stored
    b.elementU16(0x0028, 0x0102, "US", static_cast<std::uint16_t>(f.bitsStored - 1)); // High Bit
    b.elementU16(0x0028, 0x0103, "US", 0);                                             // Pixel Representation
}

// A 16 x 8 grey frame of 8 bits: with it every file passes the 132 bytes
// below which no reader looks at a file.
void appendImage(DicomBytes& b)
{
    appendGreyAttributes(b, { 8, 16, 8, 8 });
    b.tag(0x7FE0, 0x0010).header("OB", 128).zeros(128); // Pixel Data
}

DicomBytes part10(const char* transferSyntax)
{
    DicomBytes b;
    b.part10Header(transferSyntax);
    appendImage(b);
    return b;
}

// A data set without preamble or meta group, in implicit VR little endian,
// whose first element is (group, element).
DicomBytes raw(std::uint16_t group, std::uint16_t element)
{
    DicomBytes b(DicomBytes::Syntax::ImplicitLittle);
    b.element(group, element, "LO", "FIRST ");
    appendImage(b);
    return b;
}

// 32 x 32 grey frames of 8 bits whose samples count up along each row, at
// 0.5 mm per pixel and 2 mm per slice.
DicomBytes spacedFrames(int frames)
{
    DicomBytes b;
    b.part10Header("1.2.840.10008.1.2.1");
    b.element(0x0018, 0x0050, "DS", "2 "); // Slice Thickness
    appendGreyAttributes(b, { 32, 32, 8, 8, "0.5\\0.5 ", frames });
    std::vector<std::uint8_t> samples(static_cast<std::size_t>(32 * 32 * frames));
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<std::uint8_t>(i % 32);
    b.tag(0x7FE0, 0x0010).header("OB", static_cast<std::uint32_t>(samples.size())).raw(samples); // Pixel Data
    return b;
}

// 7 x 4 grey samples of 8 bits, no two alike, so that every turn and flip
// moves some of them.
DicomBytes gradient()
{
    DicomBytes b;
    b.part10Header("1.2.840.10008.1.2.1");
    appendGreyAttributes(b, { 4, 7, 8, 8 });
    std::vector<std::uint8_t> samples(4 * 7);
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<std::uint8_t>(i * 9);
    b.tag(0x7FE0, 0x0010).header("OB", static_cast<std::uint32_t>(samples.size())).raw(samples); // Pixel Data
    return b;
}

DicomBytes rgbFrame()
{
    DicomBytes b;
    b.part10Header("1.2.840.10008.1.2.1");
    b.elementU16(0x0028, 0x0002, "US", 3);   // Samples per Pixel
    b.element(0x0028, 0x0004, "CS", "RGB "); // Photometric Interpretation
    b.elementU16(0x0028, 0x0006, "US", 0);   // Planar Configuration
    b.elementU16(0x0028, 0x0010, "US", 4);   // Rows
    b.elementU16(0x0028, 0x0011, "US", 8);   // Columns
    b.elementU16(0x0028, 0x0100, "US", 8);   // Bits Allocated
    b.elementU16(0x0028, 0x0101, "US", 8);   // Bits Stored
    b.elementU16(0x0028, 0x0102, "US", 7);   // High Bit
    b.elementU16(0x0028, 0x0103, "US", 0);   // Pixel Representation
    std::vector<std::uint8_t> samples(8 * 4 * 3);
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<std::uint8_t>(i * 7);
    b.tag(0x7FE0, 0x0010).header("OB", static_cast<std::uint32_t>(samples.size())).raw(samples); // Pixel Data
    return b;
}

// A 16 x 16 grey frame of 12 bits stored in 16: burned-in text on a flat
// background at the left (a one-pixel line of 4000 on 100), and a ramp of
// many values at the right for the operations that map every sample.
DicomBytes markedFrame()
{
    DicomBytes b;
    b.part10Header("1.2.840.10008.1.2.1");
    appendGreyAttributes(b, { 16, 16, 16, 12 });
    std::vector<std::uint8_t> samples;
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            const int value = x >= 8 ? 200 * (x - 8) + 10 * y + 300 : (y == 5 && x > 0 && x < 7 ? 4000 : 100);
            samples.push_back(static_cast<std::uint8_t>(value & 0xFF)); // little endian
            samples.push_back(static_cast<std::uint8_t>(value >> 8));
        }
    }
    b.tag(0x7FE0, 0x0010).header("OW", static_cast<std::uint32_t>(samples.size())).raw(samples); // Pixel Data
    return b;
}

// Tables of 256 16-bit entries (PS3.3 C.7.6.3.1.5): red rises, green falls,
// blue rises twice as fast.
DicomBytes paletteColourFrame()
{
    DicomBytes b;
    b.part10Header("1.2.840.10008.1.2.1");
    b.element(0x0008, 0x0070, "LO", "Acme Scan "); // Manufacturer
    b.elementU16(0x0028, 0x0002, "US", 1);             // Samples per Pixel
    b.element(0x0028, 0x0004, "CS", "PALETTE COLOR "); // Photometric Interpretation
    b.elementU16(0x0028, 0x0010, "US", 8);             // Rows
    b.elementU16(0x0028, 0x0011, "US", 16);            // Columns
    b.elementU16(0x0028, 0x0100, "US", 8);             // Bits Allocated
    b.elementU16(0x0028, 0x0101, "US", 8);             // Bits Stored
    b.elementU16(0x0028, 0x0102, "US", 7);             // High Bit
    b.elementU16(0x0028, 0x0103, "US", 0);             // Pixel Representation
    for (std::uint16_t element = 0x1101; element <= 0x1103; ++element)
        b.tag(0x0028, element).header("US", 6).u16(256).u16(0).u16(16); // Red/Green/Blue LUT Descriptor
    const auto entry = [](std::uint16_t element, int i) {
        return element == 0x1201 ? i : element == 0x1202 ? 255 - i : (2 * i) & 0xFF;
    };
    for (std::uint16_t element = 0x1201; element <= 0x1203; ++element) {
        b.tag(0x0028, element).header("OW", 512); // Red/Green/Blue LUT Data
        for (int i = 0; i < 256; ++i)
            b.u16(static_cast<std::uint16_t>(entry(element, i) << 8));
    }
    b.tag(0x7FE0, 0x0010).header("OB", 128).zeros(128); // Pixel Data
    return b;
}

DicomBytes bytesOf(TestFile kind)
{
    switch (kind) {
    case TestFile::Part10: return part10("1.2.840.10008.1.2.1");
    case TestFile::RawFromGroup0008: return raw(0x0008, 0x0070); // Manufacturer
    case TestFile::RawFromGroup0010: return raw(0x0010, 0x0020); // Patient ID
    case TestFile::RawFromGroup0028: {
        DicomBytes b(DicomBytes::Syntax::ImplicitLittle);
        appendImage(b);
        return b;
    }
    case TestFile::RawFromGroup0032: return raw(0x0032, 0x1060); // Requested Procedure Description
    case TestFile::Jpeg2000: return part10("1.2.840.10008.1.2.4.90");
    case TestFile::JpegLs: return part10("1.2.840.10008.1.2.4.80");
    case TestFile::Deflated: return part10("1.2.840.10008.1.2.1.99");
    case TestFile::Flat16: {
        DicomBytes b;
        b.part10Header("1.2.840.10008.1.2.1");
        appendGreyAttributes(b, { 8, 8, 16, 12 });
        b.tag(0x7FE0, 0x0010).header("OW", 128).zeros(128); // Pixel Data
        return b;
    }
    case TestFile::SpacedFrame: return spacedFrames(1);
    case TestFile::SpacedFrames: return spacedFrames(3);
    case TestFile::Gradient: return gradient();
    case TestFile::MarkedFrame: return markedFrame();
    case TestFile::RgbFrame: return rgbFrame();
    case TestFile::PaletteColourFrame: return paletteColourFrame();
    case TestFile::HundredFrames: return spacedFrames(100);
    case TestFile::NamedPatient: {
        DicomBytes b;
        b.part10Header("1.2.840.10008.1.2.1");
        b.element(0x0010, 0x0010, "PN", "DOE^JANE"); // Patient's Name
        appendImage(b);
        return b;
    }
    case TestFile::Truncated: {
        DicomBytes b;
        b.part10Header("1.2.840.10008.1.2.1");
        b.tag(0x0010, 0x0010).vr("PN").len16(200).text("CUT^"); // Patient's Name: 200 bytes announced, 4 there
        return b;
    }
    }
    return DicomBytes();
}

} // namespace

void writeTestFile(const QString& path, TestFile kind)
{
    const auto bytes = bytesOf(kind).bytes();
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
}
