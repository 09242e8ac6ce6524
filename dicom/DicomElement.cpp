#include "dicom/DicomElement.h"

#include <algorithm>

namespace dicom {

std::span<const std::uint8_t> DicomElement::bytes() const
{
    if (value.empty())
        return {};
    return std::span<const std::uint8_t>(value).first(value.size() - 1);
}

std::string_view DicomElement::text() const
{
    if (value.empty())
        return {};
    auto end = std::find(value.begin(), value.end(), std::uint8_t(0));
    return std::string_view(reinterpret_cast<const char*>(value.data()),
                            static_cast<std::size_t>(end - value.begin()));
}

void DicomElement::setValue(std::span<const std::uint8_t> bytes)
{
    value.assign(bytes.size() + 1, 0);
    std::copy(bytes.begin(), bytes.end(), value.begin());
    length = static_cast<std::uint32_t>(bytes.size());
}

} // namespace dicom
