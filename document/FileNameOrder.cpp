#include "document/FileNameOrder.h"

#include <algorithm>
#include <cstddef>
#include <functional>

namespace document {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// A name read past its end yields a terminating zero, as a C string would.
char at(std::string_view s, std::size_t i) { return i < s.size() ? s[i] : '\0'; }

void skipHyphens(std::string_view s, std::size_t& i)
{
    while (i < s.size() && s[i] == '-')
        ++i;
}

// Moves back to the first character of the digit run that contains i, so a
// comparison that stopped in the middle of "19" versus "100" sees both numbers.
std::size_t runStart(std::string_view s, std::size_t i)
{
    while (i > 0 && (isDigit(s[i - 1]) || s[i - 1] == '-'))
        --i;
    return i;
}

// The digits of the run starting at i with hyphens and leading zeros dropped,
// so numbers of any length compare without overflowing an integer type.
std::string runDigits(std::string_view s, std::size_t i)
{
    std::string digits;
    for (; i < s.size() && (isDigit(s[i]) || s[i] == '-'); ++i) {
        if (s[i] == '-' || (digits.empty() && s[i] == '0'))
            continue;
        digits.push_back(s[i]);
    }
    return digits;
}

int compareNumbers(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    return a.compare(b) < 0 ? -1 : (a == b ? 0 : 1);
}

std::size_t lengthWithoutHyphens(std::string_view s)
{
    return static_cast<std::size_t>(std::count_if(s.begin(), s.end(), [](char c) { return c != '-'; }));
}

} // namespace

int compareFileNames(std::string_view a, std::string_view b)
{
    // The walk stops one character before the end of the shorter name, so the
    // last character is always looked at by the decision below.
    const std::ptrdiff_t n = static_cast<std::ptrdiff_t>(std::min(a.size(), b.size())) - 1;
    std::size_t i = 0;
    std::size_t j = 0;
    skipHyphens(a, i);
    skipHyphens(b, j);
    while (at(a, i) == at(b, j) && static_cast<std::ptrdiff_t>(i) < n && static_cast<std::ptrdiff_t>(j) < n) {
        ++i;
        ++j;
        skipHyphens(a, i);
        skipHyphens(b, j);
    }

    int result = 0;
    if (isDigit(at(a, i)) && isDigit(at(b, j))) {
        result = compareNumbers(runDigits(a, runStart(a, i)), runDigits(b, runStart(b, j)));
    } else {
        // Signed characters, so bytes above 127 sort before ASCII.
        const auto ca = static_cast<signed char>(at(a, i));
        const auto cb = static_cast<signed char>(at(b, j));
        result = ca < cb ? -1 : (ca > cb ? 1 : 0);
    }
    if (result != 0)
        return result;
    // A name that is a prefix of the other sorts first ("IMG" before "IMG1")
    // instead of the two counting as equal.
    const std::size_t la = lengthWithoutHyphens(a);
    const std::size_t lb = lengthWithoutHyphens(b);
    return la < lb ? -1 : (la > lb ? 1 : 0);
}

std::string_view fileNamePart(std::string_view path)
{
    const auto slash = path.find_last_of("/\\");
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

namespace {

// Bottom-up merge sort: stable, O(n log n), and it only ever indexes inside
// the two buffers, whatever the comparison answers.
void mergeSort(std::vector<std::string>& items, const std::function<bool(const std::string&, const std::string&)>& before)
{
    const std::size_t count = items.size();
    std::vector<std::string> buffer(count);
    for (std::size_t width = 1; width < count; width *= 2) {
        for (std::size_t left = 0; left < count; left += 2 * width) {
            const std::size_t mid = std::min(left + width, count);
            const std::size_t right = std::min(left + 2 * width, count);
            std::size_t p = left;
            std::size_t q = mid;
            std::size_t out = left;
            while (p < mid && q < right)
                buffer[out++] = before(items[q], items[p]) ? std::move(items[q++]) : std::move(items[p++]);
            while (p < mid)
                buffer[out++] = std::move(items[p++]);
            while (q < right)
                buffer[out++] = std::move(items[q++]);
        }
        items.swap(buffer);
    }
}

} // namespace

void sortFileNames(std::vector<std::string>& names)
{
    mergeSort(names, [](const std::string& x, const std::string& y) { return compareFileNames(x, y) < 0; });
}

void sortPathsByFileName(std::vector<std::string>& paths)
{
    mergeSort(paths, [](const std::string& x, const std::string& y) {
        return compareFileNames(fileNamePart(x), fileNamePart(y)) < 0;
    });
}

} // namespace document
