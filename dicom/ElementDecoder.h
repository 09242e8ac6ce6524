#pragma once

// Decoding of data elements, sequences and items (PS3.5 7.1, 7.5) from the
// bytes of one file, which are read on demand. Used by the reader for the
// meta group and the data set, and by the pixel-data module for group 0x7FE0.

#include "dicom/DecodeBuffer.h"
#include "dicom/DicomElement.h"
#include "dicom/DicomError.h"
#include "dicom/PixelDataLocation.h"

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace dicom {

enum class Encoding { ImplicitLittle, ExplicitLittle, ExplicitBig };

enum class Level {
    TopLevel,   // the data set: ends at the first element of group 0x7FE0
    PixelGroup, // group 0x7FE0 and after, listed without copying the values
    PixelData,  // group 0x7FE0 up to and including (7FE0,0010), then stop
    Nested,     // inside a sequence item
};

class ElementDecoder {
public:
    // PS3.5 7.5: nesting deeper than this is taken as a corrupt file rather
    // than followed until the stack runs out.
    static constexpr int MaxDepth = 64;

    ElementDecoder(DecodeBuffer& buffer, Encoding encoding, std::uint64_t position)
        : m_buffer(buffer), m_encoding(encoding), m_position(position) {}

    std::uint64_t position() const { return m_position; }
    void seek(std::uint64_t position) { m_position = position; }
    Encoding encoding() const { return m_encoding; }
    void setEncoding(Encoding encoding) { m_encoding = encoding; }
    DecodeBuffer& buffer() { return m_buffer; }
    bool atEnd() const { return m_position >= m_buffer.fileSize(); }

    // Reads elements into out until the end of the file or, at the top level,
    // the first element of group 0x7FE0 (left unread), or at the pixel data
    // level, (7FE0,0010) or the first element of another group.
    DicomError readElements(std::vector<DicomElement>& out, Level level);
    // Where a top-level (7FE0,0010) met from now on is recorded: its value or
    // its fragments are walked, never copied.
    void recordPixelDataIn(PixelDataLocation* where) { m_pixelData = where; }
    // Reads the file meta group (explicit VR little endian, group 0x0002).
    // NotExplicit when an element's VR is not a known VR: the group is then
    // taken to be in implicit VR.
    enum class MetaResult { Read, NotExplicit, Failed };
    MetaResult readMetaGroup(std::vector<DicomElement>& out, DicomError& error);

private:
    enum class KeepValue : bool { No, Yes };

    // Each read moves past what it read, or fails without moving.
    std::optional<std::uint16_t> readU16();
    std::optional<std::uint32_t> readU32();
    // The tag at the position in the current byte order.
    std::optional<base::Tag> readTag();

    // One whole element (tag, VR, length, value or sequence) appended to out.
    DicomError readElement(std::vector<DicomElement>& out, int depth, Level level);
    // The items of a sequence whose header has been read, into seq.childElements.
    DicomError readSequenceItems(DicomElement& seq, std::uint32_t length, int depth);
    // (7FE0,0010) outside a sequence item, its header read.
    DicomError readPixelData(DicomElement& e, std::uint32_t length, Level level);
    // PS3.5 A.4: the items of an encapsulated value up to its sequence
    // delimiter, recorded in where; stops at the first fault it records.
    void readFragments(PixelDataLocation& where);
    DicomError readItem(std::vector<DicomElement>& out, int depth);
    DicomError readValue(DicomElement& e, std::uint32_t length, KeepValue keep);
    DicomError readExplicitSequence(DicomElement& seq, int depth);
    bool big() const { return m_encoding == Encoding::ExplicitBig; }

    DecodeBuffer& m_buffer;
    Encoding m_encoding;
    std::uint64_t m_position;
    PixelDataLocation* m_pixelData = nullptr;
};

// The VRs of PS3.5 Table 6.2-1 this reader knows.
bool isKnownVr(std::string_view vr);

} // namespace dicom
