// libFuzzer target: the BMP reader on arbitrary bytes.

#include "dicom/BmpReader.h"

#include <cstddef>
#include <cstdint>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    (void)dicom::readBmp(std::span<const std::uint8_t>(data, size));
    return 0;
}
