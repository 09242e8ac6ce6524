#pragma once

#include <string>

namespace viewmodel {

// Frame time (milliseconds) and frames per second are each 1000 over the
// other; a value of 0 or less, or one that is not a number, gives 0, which
// plays no movie.
double otherFrameRate(double value);

// A rate as its edit shows it: two decimals, a decimal point in any locale.
std::string frameRateText(double value);

} // namespace viewmodel
