#include "dicom/DatasetEncoder.h"

#include "dicom/DicomReader.h"
#include "dicom/TagDictionary.h"

#include <cstring>
#include <new>
#include <optional>

namespace dicom {

namespace {

constexpr std::uint32_t Undefined = 0xFFFFFFFF;
constexpr base::Tag ItemTag {0xFFFE, 0xE000};
constexpr base::Tag ItemEnd {0xFFFE, 0xE00D};
constexpr base::Tag SequenceEnd {0xFFFE, 0xE0DD};
constexpr base::Tag PixelDataTag {0x7FE0, 0x0010};
constexpr int MaxDepth = 64;

AnonFailure corrupt(const char* what)
{
    return AnonFailure {AnonError::Malformed, what};
}

// Reads elements from one span of the file; every read checks the bytes left.
class TreeParser {
public:
    TreeParser(std::span<const std::uint8_t> bytes, TreeEncoding encoding) : m_bytes(bytes), m_encoding(encoding) {}

    std::size_t position() const { return m_pos; }
    void seek(std::size_t pos) { m_pos = pos; }
    bool atEnd() const { return m_pos >= m_bytes.size(); }

    std::optional<std::uint16_t> u16()
    {
        if (m_bytes.size() - m_pos < 2)
            return std::nullopt;
        const auto* p = m_bytes.data() + m_pos;
        m_pos += 2;
        return big() ? std::uint16_t((p[0] << 8) | p[1]) : std::uint16_t(p[0] | (p[1] << 8));
    }
    std::optional<std::uint32_t> u32()
    {
        auto a = u16();
        auto b = a ? u16() : std::nullopt;
        if (!b)
            return std::nullopt;
        return big() ? (std::uint32_t(*a) << 16) | *b : (std::uint32_t(*b) << 16) | *a;
    }
    std::optional<base::Tag> tag()
    {
        auto g = u16();
        auto e = g ? u16() : std::nullopt;
        if (!e)
            return std::nullopt;
        return base::Tag {*g, *e};
    }

    // Elements up to end (or up to the item delimiter when end is none).
    AnonResult<std::vector<TreeElement>> elements(std::optional<std::size_t> end, int depth, bool stopAtGroup3)
    {
        std::vector<TreeElement> out;
        while (end ? m_pos < *end : !atEnd()) {
            const std::size_t start = m_pos;
            auto t = tag();
            if (!t)
                return corrupt("truncated tag");
            if (*t == ItemEnd) {
                if (end || !u32())
                    return corrupt("stray item delimiter");
                return out;
            }
            if (stopAtGroup3 && t->group != 0x0002) {
                m_pos = start;
                return out;
            }
            auto element = this->element(*t, depth);
            if (!element)
                return element.error();
            out.push_back(std::move(*element));
        }
        if (end && m_pos != *end)
            return corrupt("element past item end");
        if (!end && depth > 0)
            return corrupt("missing item delimiter");
        return out;
    }

private:
    bool big() const { return m_encoding == TreeEncoding::ExplicitBig; }

    AnonResult<TreeElement> element(base::Tag t, int depth)
    {
        TreeElement e;
        e.tag = t;
        std::uint32_t length = 0;
        if (m_encoding == TreeEncoding::ImplicitLittle) {
            auto len = u32();
            if (!len)
                return corrupt("truncated length");
            length = *len;
            const auto known = TagDictionary::vr(t);
            e.vr = known && known->size() == 2 ? std::string(*known) : std::string("UN");
            if (known && known->size() > 2)
                e.vr = std::string(known->substr(0, 2));
        } else {
            if (m_bytes.size() - m_pos < 2)
                return corrupt("truncated VR");
            e.vr.assign(reinterpret_cast<const char*>(m_bytes.data() + m_pos), 2);
            m_pos += 2;
            std::optional<std::uint32_t> len;
            if (hasLongLength(e.vr)) {
                len = u16() ? u32() : std::nullopt;
            } else if (auto shortLen = u16()) {
                len = *shortLen;
            }
            if (!len)
                return corrupt("truncated length");
            length = *len;
        }
        if (t == PixelDataTag && length == Undefined && depth == 0)
            return encapsulated(std::move(e));
        const bool unknownNested = length == Undefined && (e.vr == "UN" || e.vr == "OB" || e.vr == "OW");
        if (e.vr == "SQ" || unknownNested) {
            e.sequence = true;
            e.implicitItems = unknownNested && m_encoding != TreeEncoding::ImplicitLittle;
            if (auto done = items(e, length, depth); !done)
                return done.error();
            return e;
        }
        if (length == Undefined || length > m_bytes.size() - m_pos)
            return corrupt("value past the end");
        e.value.assign(m_bytes.begin() + static_cast<std::ptrdiff_t>(m_pos),
                       m_bytes.begin() + static_cast<std::ptrdiff_t>(m_pos + length));
        m_pos += length;
        return e;
    }

    AnonResult<void> items(TreeElement& seq, std::uint32_t length, int depth)
    {
        if (depth >= MaxDepth)
            return corrupt("nesting too deep");
        const TreeEncoding outer = m_encoding;
        if (seq.implicitItems)
            m_encoding = TreeEncoding::ImplicitLittle;
        std::optional<std::size_t> end;
        if (length != Undefined) {
            if (length > m_bytes.size() - m_pos)
                return corrupt("sequence past the end");
            end = m_pos + length;
        }
        while (end ? m_pos < *end : true) {
            auto t = tag();
            auto itemLength = t ? u32() : std::nullopt;
            if (!itemLength)
                return corrupt("truncated item");
            if (*t == SequenceEnd && !end)
                break;
            if (*t != ItemTag)
                return corrupt("not an item");
            std::optional<std::size_t> itemEnd;
            if (*itemLength != Undefined) {
                if (*itemLength > m_bytes.size() - m_pos)
                    return corrupt("item past the end");
                itemEnd = m_pos + *itemLength;
            }
            auto children = elements(itemEnd, depth + 1, false);
            if (!children)
                return children.error();
            seq.items.push_back(std::move(*children));
        }
        m_encoding = outer;
        return {};
    }

    // PS3.5 A.4: items up to and including the sequence delimiter, kept as they are.
    AnonResult<TreeElement> encapsulated(TreeElement e)
    {
        const std::size_t start = m_pos;
        for (;;) {
            auto t = tag();
            auto length = t ? u32() : std::nullopt;
            if (!length)
                return corrupt("truncated fragment");
            if (*t == SequenceEnd)
                break;
            if (*t != ItemTag || *length > m_bytes.size() - m_pos)
                return corrupt("bad fragment");
            m_pos += *length;
        }
        e.encapsulated = true;
        e.value.assign(m_bytes.begin() + static_cast<std::ptrdiff_t>(start),
                       m_bytes.begin() + static_cast<std::ptrdiff_t>(m_pos));
        return e;
    }

    std::span<const std::uint8_t> m_bytes;
    TreeEncoding m_encoding;
    std::size_t m_pos = 0;
};

class TreeWriter {
public:
    explicit TreeWriter(TreeEncoding encoding) : m_encoding(encoding) {}

    void u16(std::uint16_t v)
    {
        if (m_encoding == TreeEncoding::ExplicitBig) {
            out.push_back(std::uint8_t(v >> 8));
            out.push_back(std::uint8_t(v));
        } else {
            out.push_back(std::uint8_t(v));
            out.push_back(std::uint8_t(v >> 8));
        }
    }
    void u32(std::uint32_t v)
    {
        if (m_encoding == TreeEncoding::ExplicitBig) {
            u16(std::uint16_t(v >> 16));
            u16(std::uint16_t(v));
        } else {
            u16(std::uint16_t(v));
            u16(std::uint16_t(v >> 16));
        }
    }
    void tag(base::Tag t)
    {
        u16(t.group);
        u16(t.element);
    }
    void header(const TreeElement& e, std::uint32_t length)
    {
        tag(e.tag);
        if (m_encoding == TreeEncoding::ImplicitLittle) {
            u32(length);
            return;
        }
        out.push_back(std::uint8_t(e.vr.size() > 0 ? e.vr[0] : 'U'));
        out.push_back(std::uint8_t(e.vr.size() > 1 ? e.vr[1] : 'N'));
        if (hasLongLength(e.vr)) {
            u16(0);
            u32(length);
        } else {
            u16(static_cast<std::uint16_t>(length));
        }
    }
    void elements(const std::vector<TreeElement>& list)
    {
        for (const auto& e : list)
            element(e);
    }
    void element(const TreeElement& e)
    {
        if (e.sequence) {
            header(e, Undefined);
            const TreeEncoding outer = m_encoding;
            if (e.implicitItems)
                m_encoding = TreeEncoding::ImplicitLittle;
            for (const auto& item : e.items) {
                tag(ItemTag);
                u32(Undefined);
                elements(item);
                tag(ItemEnd);
                u32(0);
            }
            tag(SequenceEnd);
            u32(0);
            m_encoding = outer;
            return;
        }
        header(e, e.encapsulated ? Undefined : static_cast<std::uint32_t>(e.value.size()));
        out.insert(out.end(), e.value.begin(), e.value.end());
    }

    std::vector<std::uint8_t> out;

private:
    TreeEncoding m_encoding;
};

} // namespace

bool hasLongLength(std::string_view vr)
{
    for (std::string_view v : {"OB", "OD", "OF", "OL", "OV", "OW", "SQ", "SV", "UC", "UN", "UR", "UT", "UV"}) {
        if (vr == v)
            return true;
    }
    return false;
}

AnonResult<TreeFile> parseTree(std::span<const std::uint8_t> bytes)
{
    try {
        DicomDataset header;
        ReadOptions options;
        options.headerOnly = HeaderOnly::Yes;
        MemorySource source(bytes);
        if (!DicomReader(options).read(source, header))
            return headerFailure(header);
        TreeFile file;
        file.part10 = header.hasPreamble;
        file.preamble = header.preamble;
        file.encoding = header.implicitVr ? TreeEncoding::ImplicitLittle
                        : header.bigEndian ? TreeEncoding::ExplicitBig
                                           : TreeEncoding::ExplicitLittle;
        std::size_t start = 0;
        if (file.part10) {
            TreeParser meta(bytes, TreeEncoding::ExplicitLittle);
            meta.seek(132);
            // Some writers put the meta group in implicit VR along with the
            // rest: it is then carried as part of the data set.
            if (auto metaElements = meta.elements(std::nullopt, 0, true))
                file.meta = std::move(*metaElements);
            else
                meta.seek(132);
            for (const auto& e : file.meta) {
                std::string syntax(e.value.begin(), e.value.end());
                if (e.tag == base::Tag {0x0002, 0x0010} && syntax.rfind("1.2.840.10008.1.2.1.99", 0) == 0)
                    return AnonFailure {AnonError::Unsupported, "deflated data set"};
            }
            start = meta.position();
        }
        TreeParser parser(bytes, file.encoding);
        parser.seek(start);
        auto elements = parser.elements(std::nullopt, 0, false);
        if (!elements)
            return elements.error();
        file.elements = std::move(*elements);
        return file;
    } catch (const std::bad_alloc&) {
        return AnonFailure {AnonError::ReadFailed, "out of memory"};
    }
}

std::vector<std::uint8_t> encodeTree(const TreeFile& file)
{
    TreeWriter writer(file.encoding);
    if (file.part10) {
        TreeWriter meta(TreeEncoding::ExplicitLittle);
        for (const auto& e : file.meta) {
            if (e.tag != base::Tag {0x0002, 0x0000})
                meta.element(e);
        }
        writer.out.assign(file.preamble.begin(), file.preamble.end());
        writer.out.insert(writer.out.end(), {'D', 'I', 'C', 'M'});
        // (0002,0000) UL, explicit VR little endian whatever the data set's syntax.
        TreeWriter length(TreeEncoding::ExplicitLittle);
        TreeElement groupLength {{0x0002, 0x0000}, "UL", {}, false, false, false, {}};
        const auto size = static_cast<std::uint32_t>(meta.out.size());
        groupLength.value = {std::uint8_t(size), std::uint8_t(size >> 8), std::uint8_t(size >> 16),
                             std::uint8_t(size >> 24)};
        length.element(groupLength);
        writer.out.insert(writer.out.end(), length.out.begin(), length.out.end());
        writer.out.insert(writer.out.end(), meta.out.begin(), meta.out.end());
    }
    writer.elements(file.elements);
    return std::move(writer.out);
}

} // namespace dicom
