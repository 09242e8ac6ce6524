#include "export/ReportText.h"

#include "dicom/Tags.h"

#include <array>
#include <cstdint>

namespace exporting {

namespace {

#include "export/CharacterSetTables.inc"

constexpr char32_t Replacement = 0xFFFD;
constexpr unsigned char Escape = 0x1B;

std::string_view trimmed(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\0'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\0'))
        s.remove_suffix(1);
    return s;
}

bool isControl(char32_t c)
{
    return c < 0x20 || (c >= 0x7F && c < 0xA0);
}

// ISO 2022 (ECMA-35 13.1): ESC, intermediate bytes 0x20..0x2F, one final byte.
std::size_t escapeSequenceLength(std::string_view bytes, std::size_t at)
{
    std::size_t end = at + 1;
    while (end < bytes.size() && static_cast<unsigned char>(bytes[end]) >= 0x20
           && static_cast<unsigned char>(bytes[end]) <= 0x2F)
        ++end;
    return end < bytes.size() ? end + 1 - at : bytes.size() - at;
}

// RFC 3629: one code point and its byte count; overlong forms, surrogates and
// truncated sequences give U+FFFD over one byte.
std::pair<char32_t, std::size_t> decodeUtf8(std::string_view bytes, std::size_t at)
{
    const auto lead = static_cast<unsigned char>(bytes[at]);
    if (lead < 0x80)
        return {lead, 1};
    std::size_t count = 0;
    char32_t c = 0;
    char32_t least = 0;
    if ((lead & 0xE0) == 0xC0) {
        count = 2, c = lead & 0x1F, least = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        count = 3, c = lead & 0x0F, least = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        count = 4, c = lead & 0x07, least = 0x10000;
    } else {
        return {Replacement, 1};
    }
    if (bytes.size() - at < count)
        return {Replacement, 1};
    for (std::size_t i = 1; i < count; ++i) {
        const auto next = static_cast<unsigned char>(bytes[at + i]);
        if ((next & 0xC0) != 0x80)
            return {Replacement, 1};
        c = (c << 6) | (next & 0x3F);
    }
    if (c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        return {Replacement, 1};
    return {c, count};
}

char32_t decodeByte(unsigned char byte, CharacterSet set)
{
    if (byte < 0xA0 || set == CharacterSet::Latin1 || set == CharacterSet::Utf8)
        return byte;
    const std::size_t index = byte - 0xA0u;
    switch (set) {
    case CharacterSet::Greek:
        return GreekHigh[index];
    case CharacterSet::Cyrillic:
        return CyrillicHigh[index];
    case CharacterSet::Latin2:
        return Latin2High[index];
    default:
        return byte;
    }
}

void appendNumber(std::string& out, long value)
{
    out += std::to_string(value);
}

} // namespace

CharacterSet characterSetNamed(std::string_view term)
{
    struct Name {
        std::string_view term;
        CharacterSet set;
    };
    static constexpr std::array Names = {
        Name {"ISO_IR 100", CharacterSet::Latin1},   Name {"ISO 2022 IR 100", CharacterSet::Latin1},
        Name {"ISO_IR 192", CharacterSet::Utf8},     Name {"ISO_IR 126", CharacterSet::Greek},
        Name {"ISO 2022 IR 126", CharacterSet::Greek}, Name {"ISO_IR 144", CharacterSet::Cyrillic},
        Name {"ISO 2022 IR 144", CharacterSet::Cyrillic}, Name {"ISO_IR 101", CharacterSet::Latin2},
        Name {"ISO 2022 IR 101", CharacterSet::Latin2},
    };
    term = trimmed(term);
    for (const Name& name : Names) {
        if (name.term == term)
            return name.set;
    }
    return CharacterSet::Latin1;
}

CharacterSet characterSetOf(const dicom::DicomDataset& dataset)
{
    const dicom::DicomElement* element = dataset.find(dicom::tags::SpecificCharacterSet);
    if (element == nullptr)
        return CharacterSet::Latin1;
    std::string_view values = element->text();
    while (!values.empty()) {
        const std::size_t end = values.find('\\');
        const std::string_view value = trimmed(values.substr(0, end));
        if (!value.empty())
            return characterSetNamed(value);
        if (end == std::string_view::npos)
            break;
        values.remove_prefix(end + 1);
    }
    return CharacterSet::Latin1;
}

std::u32string decodeText(std::string_view bytes, CharacterSet set)
{
    std::u32string out;
    out.reserve(bytes.size());
    for (std::size_t at = 0; at < bytes.size();) {
        const auto byte = static_cast<unsigned char>(bytes[at]);
        if (byte == Escape) {
            at += escapeSequenceLength(bytes, at);
        } else if (set == CharacterSet::Utf8) {
            const auto [c, count] = decodeUtf8(bytes, at);
            out += c;
            at += count;
        } else {
            out += decodeByte(byte, set);
            ++at;
        }
    }
    return out;
}

std::string htmlText(std::u32string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (char32_t c : text) {
        if (c == '&') {
            out += "&amp;";
        } else if (c == '<') {
            out += "&lt;";
        } else if (c == '>') {
            out += "&gt;";
        } else if (c == '"') {
            out += "&quot;";
        } else if (isControl(c)) {
            out += '?';
        } else if (c < 0x80) {
            out += static_cast<char>(c);
        } else {
            out += "&#";
            appendNumber(out, static_cast<long>(c));
            out += ';';
        }
    }
    return out;
}

std::string rtfText(std::u32string_view text)
{
    std::string out;
    out.reserve(text.size());
    auto unicode = [&out](char32_t unit) {
        // RTF 1.9 \uN: a signed 16-bit number, followed by one fallback character.
        out += "\\u";
        appendNumber(out, unit > 32767 ? static_cast<long>(unit) - 65536 : static_cast<long>(unit));
        out += '?';
    };
    for (char32_t c : text) {
        if (c == '\\' || c == '{' || c == '}') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (isControl(c)) {
            continue;
        } else if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c > 0xFFFF) {
            const char32_t v = c - 0x10000;
            unicode(0xD800 + (v >> 10));
            unicode(0xDC00 + (v & 0x3FF));
        } else {
            unicode(c);
        }
    }
    return out;
}

std::string plainText(std::u32string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (char32_t c : text) {
        if (isControl(c))
            continue;
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

} // namespace exporting
