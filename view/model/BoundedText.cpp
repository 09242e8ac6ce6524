#include "view/model/BoundedText.h"

namespace viewmodel {

namespace {

bool isContinuationByte(char byte)
{
    return (static_cast<unsigned char>(byte) & 0xC0U) == 0x80U;
}

// A UTF-8 character is at most four bytes: three continuation bytes at most
// precede the cut. A longer run is not UTF-8 and is cut where it stands.
constexpr std::size_t MaxContinuationBytes = 3;

} // namespace

std::string boundedUtf8(std::string_view text, std::size_t maxBytes)
{
    text = text.substr(0, text.find('\0'));
    if (text.size() <= maxBytes)
        return std::string(text);
    std::size_t cut = maxBytes;
    for (std::size_t back = 0; back < MaxContinuationBytes && cut > 0 && isContinuationByte(text[cut]); ++back)
        --cut;
    if (isContinuationByte(text[cut]))
        cut = maxBytes;
    return std::string(text.substr(0, cut));
}

} // namespace viewmodel
