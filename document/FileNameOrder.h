#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace document {

// Orders file names the way people number their images: hyphens are ignored
// and runs of digits compare by value, so IMG9 < IMG10 < IMG100.
// Returns < 0 when a sorts before b, 0 when they are equivalent, > 0 otherwise.
int compareFileNames(std::string_view a, std::string_view b);

// The part of a path after its last '/' (and, for names from other systems, '\\').
std::string_view fileNamePart(std::string_view path);

// Stable; tolerates comparisons that are not a strict weak order, which the
// hyphen rule makes possible ("1-2-3" equals "123" but the lengths differ).
void sortFileNames(std::vector<std::string>& names);

// Sorts full paths by their file-name part only; directories are not compared.
void sortPathsByFileName(std::vector<std::string>& paths);

} // namespace document
