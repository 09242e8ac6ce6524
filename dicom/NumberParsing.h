#pragma once

// Number readings of the decimal texts of IS and DS values (PS3.5 6.2), also
// used for window centre and width. Both read a copy: the stored value keeps
// all of its values.

#include <cstdint>
#include <string_view>

namespace dicom {

// The integer of the first value of the text: "40\400" gives 40, "12.7" gives
// 12 (truncated toward zero), "1e3" gives 1000. An empty or blank text gives 0.
// Values outside the int32 range are clamped to it; non-finite results give 0.
std::int32_t parseNumber(std::string_view text);

// The floating-point number of the first value of the text; 0 for an empty
// text or a non-finite result.
double parseReal(std::string_view text);

} // namespace dicom
