#include "dicom/SearchCriteria.h"

#include <cctype>
#include <optional>
#include <tuple>

namespace dicom {

namespace {

std::string normalised(std::string_view text)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\0'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    std::string result(text);
    for (char& c : result)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return result;
}

std::string usedCriterion(std::string_view typed)
{
    std::string criterion = normalised(typed);
    return criterion == "*" || criterion == "?" ? std::string() : criterion;
}

std::optional<std::string> elementValue(const DicomDataset& dataset, std::uint16_t group, std::uint16_t element)
{
    const DicomElement* found = dataset.find({group, element});
    if (!found)
        return std::nullopt;
    return normalised(found->text());
}

// Year, month and day of the first eight characters; none unless they are digits.
std::optional<std::tuple<int, int, int>> dateOf(std::string_view text)
{
    if (text.size() < 8)
        return std::nullopt;
    int digits[8] {};
    for (std::size_t i = 0; i < 8; ++i) {
        if (!std::isdigit(static_cast<unsigned char>(text[i])))
            return std::nullopt;
        digits[i] = text[i] - '0';
    }
    return std::tuple {digits[0] * 1000 + digits[1] * 100 + digits[2] * 10 + digits[3], digits[4] * 10 + digits[5],
                       digits[6] * 10 + digits[7]};
}

} // namespace

// The whole value must match, as in DICOM's own wildcard matching; without
// "*" that makes pattern and value the same length. Backtracking only to
// the last "*" keeps it linear in practice and free of recursion.
bool wildcardMatch(std::string_view pattern, std::string_view value)
{
    std::size_t p = 0;
    std::size_t v = 0;
    std::size_t star = std::string_view::npos;
    std::size_t resume = 0;
    while (v < value.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == value[v])) {
            ++p;
            ++v;
        } else if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            resume = v;
        } else if (star != std::string_view::npos) {
            p = star + 1;
            v = ++resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

SearchMatcher::SearchMatcher(const SearchCriteria& criteria)
    : m_used {usedCriterion(criteria.patientName), usedCriterion(criteria.patientId),
              usedCriterion(criteria.physician),   usedCriterion(criteria.studyId),
              usedCriterion(criteria.dateFrom),    usedCriterion(criteria.dateTo)}
{
}

bool SearchMatcher::matchesEverything() const
{
    return m_used == SearchCriteria {};
}

bool SearchMatcher::matches(const DicomDataset& dataset) const
{
    const struct {
        const std::string& criterion;
        std::uint16_t group;
        std::uint16_t element;
    } texts[] = {
        {m_used.patientName, 0x0010, 0x0010},
        {m_used.patientId, 0x0010, 0x0020},
        {m_used.physician, 0x0008, 0x1050},
        {m_used.studyId, 0x0020, 0x0010},
    };
    for (const auto& text : texts) {
        if (text.criterion.empty())
            continue;
        const auto value = elementValue(dataset, text.group, text.element);
        if (!value || !wildcardMatch(text.criterion, *value))
            return false;
    }
    if (m_used.dateFrom.empty() && m_used.dateTo.empty())
        return true;
    const auto studyDate = elementValue(dataset, 0x0008, 0x0020);
    const auto date = studyDate ? dateOf(*studyDate) : std::nullopt;
    if (!date)
        return false;
    if (!m_used.dateFrom.empty()) {
        const auto from = dateOf(m_used.dateFrom);
        if (!from || *date < *from)
            return false;
    }
    if (!m_used.dateTo.empty()) {
        const auto to = dateOf(m_used.dateTo);
        if (!to || *date > *to)
            return false;
    }
    return true;
}

} // namespace dicom
