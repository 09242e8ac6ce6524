#include "dicom/ElementDecoder.h"

#include "dicom/NumberParsing.h"
#include "dicom/Tags.h"
#include "dicom/TagDictionary.h"
#include "dicom/UidDictionary.h"

#include <algorithm>
#include <array>

namespace dicom {

namespace {

constexpr std::uint32_t UndefinedLength = 0xFFFFFFFF;

constexpr std::array<std::string_view, 34> KnownVrs = {
    "AE", "AS", "CS", "DA", "DS", "DT", "IS", "LO", "LT", "OB", "OW", "PN", "SH", "SQ", "ST", "TM", "UI",
    "UN", "UT", "AT", "FL", "FD", "SL", "SS", "UL", "US", "OD", "OF", "OL", "OV", "SV", "UC", "UR", "UV",
};

// PS3.5 7.1.2: VRs whose 16-bit length field is reserved and followed by a
// 32-bit length (SQ is handled on its own).
bool hasLongLength(std::string_view vr)
{
    for (std::string_view v : {"OB", "OW", "UN", "UT", "OF", "OD", "OL", "OV", "SV", "UV", "UC", "UR"}) {
        if (vr == v)
            return true;
    }
    return false;
}

} // namespace

bool isKnownVr(std::string_view vr)
{
    return std::find(KnownVrs.begin(), KnownVrs.end(), vr) != KnownVrs.end();
}

std::optional<std::uint16_t> ElementDecoder::readU16()
{
    if (!m_buffer.ensure(m_position + 2))
        return std::nullopt;
    const std::uint8_t* p = m_buffer.bytes().data() + m_position;
    m_position += 2;
    return big() ? std::uint16_t((p[0] << 8) | p[1]) : std::uint16_t(p[0] | (p[1] << 8));
}

std::optional<std::uint32_t> ElementDecoder::readU32()
{
    if (!m_buffer.ensure(m_position + 4))
        return std::nullopt;
    const std::uint8_t* p = m_buffer.bytes().data() + m_position;
    m_position += 4;
    const std::uint32_t b0 = p[0], b1 = p[1], b2 = p[2], b3 = p[3];
    return big() ? (b0 << 24) | (b1 << 16) | (b2 << 8) | b3 : b0 | (b1 << 8) | (b2 << 16) | (b3 << 24);
}

std::optional<base::Tag> ElementDecoder::readTag()
{
    if (!m_buffer.ensure(m_position + 4))
        return std::nullopt;
    const std::uint16_t group = *readU16();
    const std::uint16_t element = *readU16();
    return base::Tag {group, element};
}

DicomError ElementDecoder::readElements(std::vector<DicomElement>& out, Level level)
{
    while (!atEnd()) {
        if (level == Level::TopLevel || level == Level::PixelData) {
            auto tag = readTag();
            if (!tag)
                return level == Level::TopLevel ? DicomError::Corrupted : DicomError::None;
            m_position -= 4;
            // Pixel data are the pixel module's; every element of the group
            // ends the list, whatever its element number. The pixel module's
            // own walk ends at the first element of any other group.
            if ((tag->group == tags::PixelData.group) == (level == Level::TopLevel))
                return DicomError::None;
        }
        if (DicomError error = readElement(out, 0, level); error != DicomError::None)
            return error;
        if (level == Level::PixelData && m_pixelData && m_pixelData->found)
            return DicomError::None;
    }
    return DicomError::None;
}

ElementDecoder::MetaResult ElementDecoder::readMetaGroup(std::vector<DicomElement>& out, DicomError& error)
{
    while (!atEnd()) {
        const std::uint64_t start = m_position;
        auto tag = readTag();
        m_position = start;
        if (tag && tag->group != tags::MetaGroup)
            return MetaResult::Read;
        if (!tag || !m_buffer.ensure(start + 6)) {
            error = DicomError::Corrupted;
            return MetaResult::Failed;
        }
        const char* chars = reinterpret_cast<const char*>(m_buffer.bytes().data() + start + 4);
        if (!isKnownVr(std::string_view(chars, 2)))
            return MetaResult::NotExplicit;
        error = readElement(out, 0, Level::Nested);
        if (error != DicomError::None)
            return MetaResult::Failed;
    }
    return MetaResult::Read;
}

DicomError ElementDecoder::readElement(std::vector<DicomElement>& out, int depth, Level level)
{
    auto tag = readTag();
    if (!tag)
        return DicomError::Corrupted;
    DicomElement e;
    e.group = tag->group;
    e.element = tag->element;
    e.name = std::string(TagDictionary::name(*tag));

    std::optional<std::uint32_t> length;
    if (m_encoding == Encoding::ImplicitLittle) {
        if (auto vr = TagDictionary::vr(*tag))
            e.vr = std::string(*vr);
        length = readU32();
    } else {
        if (!m_buffer.ensure(m_position + 2))
            return DicomError::Corrupted;
        e.vr.assign(reinterpret_cast<const char*>(m_buffer.bytes().data() + m_position), 2);
        m_position += 2;
        if (e.vr == "SQ") {
            DicomError error = readExplicitSequence(e, depth);
            out.push_back(std::move(e));
            return error;
        }
        length = readU16();
        // A non-zero reserved field is taken as the length, as files written
        // with a 16-bit length for these VRs are read by other tools.
        if (length == 0u && hasLongLength(e.vr))
            length = readU32();
    }
    if (!length)
        return DicomError::Corrupted;

    if (*tag == tags::PixelData && e.vr != "SQ" && (level != Level::Nested || *length == UndefinedLength)) {
        DicomError error = readPixelData(e, *length, level);
        out.push_back(std::move(e));
        return error;
    }
    if (e.vr == "SQ" || *length == UndefinedLength) {
        // PS3.5 6.2.2 (CP-246): an undefined-length UN holds an implicit
        // VR little endian sequence whatever the data set's encoding.
        const Encoding saved = m_encoding;
        if (e.vr == "UN")
            m_encoding = Encoding::ImplicitLittle;
        DicomError error = readSequenceItems(e, *length, depth);
        m_encoding = saved;
        out.push_back(std::move(e));
        return error;
    }

    DicomError error = readValue(e, *length, level == Level::PixelGroup ? KeepValue::No : KeepValue::Yes);
    if (error == DicomError::None)
        out.push_back(std::move(e));
    return error;
}

DicomError ElementDecoder::readValue(DicomElement& e, std::uint32_t length, KeepValue keep)
{
    const std::uint64_t end = m_position + length;
    if (end > m_buffer.fileSize())
        return DicomError::Corrupted;
    e.valueOffset = static_cast<std::uint32_t>(m_position);
    e.length = length;
    if (keep == KeepValue::No) {
        m_position = end;
        return DicomError::None;
    }
    if (!m_buffer.ensure(end))
        return DicomError::Corrupted;
    e.setValue(m_buffer.bytes().subspan(static_cast<std::size_t>(m_position), length));

    if (m_encoding == Encoding::ImplicitLittle && (e.vr == "IS" || e.vr == "DS")) {
        e.numericValue = parseNumber(e.text());
    } else if (length == 2) {
        const std::uint16_t v = *readU16();
        e.numericValue = e.vr == "US" ? std::int32_t(v) : std::int32_t(std::int16_t(v));
    } else if (length == 4) {
        e.numericValue = static_cast<std::int32_t>(*readU32());
    }
    m_position = end;
    if (e.vr == "UI") {
        if (auto name = UidDictionary::name(e.text()))
            e.uidName = std::string(*name);
    }
    return DicomError::None;
}

DicomError ElementDecoder::readExplicitSequence(DicomElement& seq, int depth)
{
    auto reserved = readU16();
    if (!reserved)
        return DicomError::Corrupted;
    if (*reserved != 0) {
        // Written without the reserved field: what follows is a single item's length.
        if (depth >= MaxDepth)
            return DicomError::Corrupted;
        return readItem(seq.childElements, depth + 1);
    }
    auto length = readU32();
    if (!length)
        return DicomError::Corrupted;
    return readSequenceItems(seq, *length, depth);
}

DicomError ElementDecoder::readSequenceItems(DicomElement& seq, std::uint32_t length, int depth)
{
    if (depth >= MaxDepth)
        return DicomError::Corrupted;
    // PS3.5 7.5.1: the sequence element itself has no value of its own.
    seq.length = 0;
    seq.valueOffset = static_cast<std::uint32_t>(m_position);
    if (length == UndefinedLength) {
        for (;;) {
            auto tag = readTag();
            if (!tag)
                return DicomError::Corrupted;
            if (*tag == tags::SequenceDelimitationItem)
                return readU32() ? DicomError::None : DicomError::Corrupted;
            if (DicomError error = readItem(seq.childElements, depth + 1); error != DicomError::None)
                return error;
        }
    }
    const std::uint64_t end = m_position + length;
    if (end > m_buffer.fileSize())
        return DicomError::Corrupted;
    while (m_position < end) {
        if (!readTag())
            return DicomError::Corrupted;
        if (DicomError error = readItem(seq.childElements, depth + 1); error != DicomError::None)
            return error;
    }
    return m_position == end ? DicomError::None : DicomError::Corrupted;
}

DicomError ElementDecoder::readItem(std::vector<DicomElement>& out, int depth)
{
    auto length = readU32();
    if (!length)
        return DicomError::Corrupted;
    if (*length == UndefinedLength) {
        for (;;) {
            auto tag = readTag();
            if (!tag)
                return DicomError::Corrupted;
            if (*tag == tags::ItemDelimitationItem)
                return readU32() ? DicomError::None : DicomError::Corrupted;
            m_position -= 4;
            if (DicomError error = readElement(out, depth, Level::Nested); error != DicomError::None)
                return error;
        }
    }
    const std::uint64_t end = m_position + *length;
    if (end > m_buffer.fileSize())
        return DicomError::Corrupted;
    while (m_position < end) {
        if (DicomError error = readElement(out, depth, Level::Nested); error != DicomError::None)
            return error;
    }
    return m_position == end ? DicomError::None : DicomError::Corrupted;
}

DicomError ElementDecoder::readPixelData(DicomElement& e, std::uint32_t length, Level level)
{
    e.valueOffset = static_cast<std::uint32_t>(m_position);
    e.length = length;
    // Icons in sequences and a second pixel data element are walked past the
    // same way, but only the first top-level one is the image's.
    PixelDataLocation scratch;
    const bool theImage = level != Level::Nested && m_pixelData && !m_pixelData->found;
    PixelDataLocation& where = theImage ? *m_pixelData : scratch;
    where.found = true;
    where.vr = e.vr;
    where.valueOffset = m_position;
    where.length = length;
    if (length == UndefinedLength) {
        readFragments(where);
        // The pixel stage takes fragments that run to the end of the file;
        // a listing of the whole file wants them closed.
        return level == Level::PixelData || where.delimited ? DicomError::None : DicomError::Corrupted;
    }
    const std::uint64_t end = m_position + length;
    if (level == Level::PixelData) {
        // A file cut short inside its pixel data keeps the whole frames it holds.
        m_position = std::min(end, m_buffer.fileSize());
        return DicomError::None;
    }
    if (end > m_buffer.fileSize())
        return DicomError::Corrupted;
    m_position = end;
    return DicomError::None;
}

void ElementDecoder::readFragments(PixelDataLocation& where)
{
    bool tableRead = false;
    std::uint64_t firstFragment = 0;
    for (;;) {
        const std::uint64_t itemStart = m_position;
        auto tag = readTag();
        auto length = tag ? readU32() : std::nullopt;
        if (!length) {
            if (itemStart != m_buffer.fileSize() || !tableRead)
                where.fault = tableRead ? "unexpected data inside encapsulated pixel data"
                                        : "encapsulated pixel data does not start with an offset table item";
            m_position = m_buffer.fileSize();
            return;
        }
        if (*tag == tags::SequenceDelimitationItem) {
            where.delimited = true;
            return;
        }
        const std::uint64_t end = m_position + *length;
        if (*length == UndefinedLength || end > m_buffer.fileSize() || !m_buffer.ensure(end)) {
            where.fault = tableRead ? "pixel data fragment runs past the end of the file"
                                    : "basic offset table runs past the end of the file or is not whole";
            m_position = m_buffer.fileSize();
            return;
        }
        if (*tag != tags::Item && where.fault.empty())
            where.fault = tableRead ? "unexpected item in encapsulated pixel data"
                                    : "encapsulated pixel data does not start with an offset table item";
        if (!tableRead) {
            tableRead = true;
            firstFragment = end;
            if (*length % 4 != 0 && where.fault.empty())
                where.fault = "basic offset table runs past the end of the file or is not whole";
            for (std::uint64_t at = m_position; at + 4 <= end; at += 4)
                where.offsetTable.push_back(*readU32());
        } else {
            where.fragments.push_back({m_position, *length, itemStart - firstFragment});
        }
        m_position = end;
    }
}

} // namespace dicom
