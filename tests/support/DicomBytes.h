#pragma once

// Builds DICOM byte streams field by field for tests, so that malformed input
// can be written down exactly: each call appends one field (a tag, a VR, a
// length, a value) in the byte order chosen.
//
//   DicomBytes b(DicomBytes::Syntax::ExplicitLittle);
//   b.part10Header("1.2.840.10008.1.2.1")   // preamble, "DICM", meta group
//    .tag(0x0010, 0x0010)                   // Patient's Name
//    .vr("PN")                              // VR
//    .len16(4)                              // value length
//    .text("AB^C");                         // value

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include <unistd.h>

namespace testsupport {

class DicomBytes {
public:
    enum class Syntax { ImplicitLittle, ExplicitLittle, ExplicitBig };

    explicit DicomBytes(Syntax syntax = Syntax::ExplicitLittle) : m_syntax(syntax) {}

    // Later fields use this encoding (a Part 10 file switches after its meta group).
    DicomBytes& syntax(Syntax syntax)
    {
        m_syntax = syntax;
        return *this;
    }
    Syntax syntax() const { return m_syntax; }

    DicomBytes& u8(std::uint8_t v)
    {
        m_bytes.push_back(v);
        return *this;
    }
    DicomBytes& u16(std::uint16_t v)
    {
        if (big())
            return u8(std::uint8_t(v >> 8)).u8(std::uint8_t(v));
        return u8(std::uint8_t(v)).u8(std::uint8_t(v >> 8));
    }
    DicomBytes& u32(std::uint32_t v)
    {
        if (big())
            return u16(std::uint16_t(v >> 16)).u16(std::uint16_t(v));
        return u16(std::uint16_t(v)).u16(std::uint16_t(v >> 16));
    }
    DicomBytes& raw(std::initializer_list<std::uint8_t> bytes)
    {
        m_bytes.insert(m_bytes.end(), bytes.begin(), bytes.end());
        return *this;
    }
    DicomBytes& raw(const std::vector<std::uint8_t>& bytes)
    {
        m_bytes.insert(m_bytes.end(), bytes.begin(), bytes.end());
        return *this;
    }
    DicomBytes& zeros(std::size_t count)
    {
        m_bytes.insert(m_bytes.end(), count, 0);
        return *this;
    }
    DicomBytes& text(std::string_view s)
    {
        m_bytes.insert(m_bytes.end(), s.begin(), s.end());
        return *this;
    }

    DicomBytes& tag(std::uint16_t group, std::uint16_t element) { return u16(group).u16(element); }
    DicomBytes& vr(std::string_view twoChars) { return text(twoChars.substr(0, 2)); }
    DicomBytes& len16(std::uint16_t length) { return u16(length); }
    DicomBytes& len32(std::uint32_t length) { return u32(length); }
    // The two reserved bytes before a 32-bit length in explicit VR.
    DicomBytes& reserved(std::uint16_t value = 0) { return u16(value); }

    // Item and delimiters (PS3.5 7.5), each with its 32-bit length.
    DicomBytes& item(std::uint32_t length) { return tag(0xFFFE, 0xE000).u32(length); }
    DicomBytes& itemEnd() { return tag(0xFFFE, 0xE00D).u32(0); }
    DicomBytes& sequenceEnd() { return tag(0xFFFE, 0xE0DD).u32(0); }

    // A whole element with a defined length in the current syntax; the long
    // form of PS3.5 7.1.2 is used for the VRs that have one.
    DicomBytes& element(std::uint16_t group, std::uint16_t element, std::string_view vrText, std::string_view value)
    {
        tag(group, element);
        header(vrText, static_cast<std::uint32_t>(value.size()));
        return text(value);
    }
    DicomBytes& elementU16(std::uint16_t group, std::uint16_t element, std::string_view vrText, std::uint16_t value)
    {
        tag(group, element);
        header(vrText, 2);
        return u16(value);
    }
    // VR (explicit only) and length of an element whose tag is written.
    DicomBytes& header(std::string_view vrText, std::uint32_t length)
    {
        if (m_syntax == Syntax::ImplicitLittle)
            return u32(length);
        vr(vrText);
        if (isLongForm(vrText))
            return reserved().u32(length);
        return u16(static_cast<std::uint16_t>(length));
    }

    // 128-byte preamble and "DICM".
    DicomBytes& preamble() { return zeros(128).text("DICM"); }

    // Preamble, "DICM" and a meta group in explicit VR little endian with the
    // given transfer syntax (padded to even length with a zero byte); the
    // following fields use the encoding that syntax names.
    DicomBytes& part10Header(std::string transferSyntax)
    {
        preamble();
        m_syntax = Syntax::ExplicitLittle;
        if (transferSyntax.size() % 2)
            transferSyntax.push_back('\0');
        const auto tsLength = static_cast<std::uint32_t>(transferSyntax.size());
        tag(0x0002, 0x0000).vr("UL").len16(4).u32(8 + tsLength); // group length
        element(0x0002, 0x0010, "UI", transferSyntax);
        if (transferSyntax == std::string("1.2.840.10008.1.2.2\0", 20))
            m_syntax = Syntax::ExplicitBig;
        else if (transferSyntax == std::string("1.2.840.10008.1.2\0", 18))
            m_syntax = Syntax::ImplicitLittle;
        return *this;
    }

    const std::vector<std::uint8_t>& bytes() const { return m_bytes; }
    std::size_t size() const { return m_bytes.size(); }

    // Writes the bytes to a file under the test's temporary folder and returns
    // its path.
    std::filesystem::path writeTemp(const std::string& name) const
    {
        auto path = std::filesystem::temp_directory_path() / ("tv-test-" + std::to_string(::getpid()) + "-" + name);
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(m_bytes.data()), static_cast<std::streamsize>(m_bytes.size()));
        return path;
    }

    static bool isLongForm(std::string_view vrText)
    {
        // PS3.5 7.1.2: these VRs have 2 reserved bytes and a 32-bit length.
        for (std::string_view v : {"OB", "OD", "OF", "OL", "OV", "OW", "SQ", "SV", "UC", "UN", "UR", "UT", "UV"}) {
            if (vrText == v)
                return true;
        }
        return false;
    }

private:
    bool big() const { return m_syntax == Syntax::ExplicitBig; }

    Syntax m_syntax;
    std::vector<std::uint8_t> m_bytes;
};

} // namespace testsupport
