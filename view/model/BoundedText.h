#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace viewmodel {

// The longest prefix of a UTF-8 text that fits in maxBytes bytes without
// splitting a character; a zero byte ends the text, as it ends the fixed
// buffers the records mirror.
std::string boundedUtf8(std::string_view text, std::size_t maxBytes);

// A text that never holds more than Limit bytes of UTF-8: every way in goes
// through boundedUtf8, so a record field cannot overflow what it stands for.
template <std::size_t Limit>
class BoundedText {
public:
    static constexpr std::size_t limit = Limit;

    BoundedText() = default;
    BoundedText(std::string_view text) // NOLINT(google-explicit-constructor): reads as a text field
        : m_text(boundedUtf8(text, Limit))
    {
    }
    BoundedText(const char* text)
        : BoundedText(std::string_view(text))
    {
    }
    BoundedText(const std::string& text)
        : BoundedText(std::string_view(text))
    {
    }

    void set(std::string_view text) { m_text = boundedUtf8(text, Limit); }
    const std::string& str() const { return m_text; }
    bool empty() const { return m_text.empty(); }

    friend bool operator==(const BoundedText&, const BoundedText&) = default;

private:
    std::string m_text;
};

} // namespace viewmodel
