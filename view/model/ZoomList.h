#pragma once

#include <array>
#include <string>
#include <string_view>

namespace viewmodel {

// The toolbar's zoom list. Its first entry has a blank before the "%" and
// the others none, so a factor of exactly 0.5 shown through zoomListText
// ("50.00%") does not find it and is added as an entry of its own.
inline constexpr std::array<std::string_view, 10> ZoomListEntries { "50.00 %", "75.00%", "100.00%", "150.00%",
    "200.00%", "250.00%", "300.00%", "350.00%", "400.00%", "fit" };
inline constexpr int ZoomListInitialIndex = 2;

struct ZoomListChoice {
    enum class Kind { Refused, Factor, Fit };
    Kind kind = Kind::Refused;
    // The factor to set, for Factor.
    float zoom = 0.0F;
    friend bool operator==(const ZoomListChoice&, const ZoomListChoice&) = default;
};

// What a chosen or typed entry asks for: a percentage ("150%", "50.00 %",
// blanks allowed around the number) sets its hundredth as the factor, "fit"
// fits the frame, and anything else, including a percentage that gives no
// finite factor above 0, is refused, the caller then showing the factor in
// force again.
ZoomListChoice parseZoomListEntry(std::string_view text);

// The list's text for a factor given in percent, as "%.2f%%" writes it but
// always with a decimal point, so that it matches the entries whatever the
// locale.
std::string zoomListText(double percent);

} // namespace viewmodel
