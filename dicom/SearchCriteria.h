#pragma once

// The criteria of "Search...": texts matched against header elements with
// "*" and "?" wildcards, and a range of study dates.

#include "dicom/DicomDataset.h"

#include <string>
#include <string_view>

namespace dicom {

// As the user typed them.
struct SearchCriteria {
    std::string patientName; // (0010,0010)
    std::string patientId;   // (0010,0020)
    std::string physician;   // (0008,1050)
    std::string studyId;     // (0020,0010)
    std::string dateFrom;    // (0008,0020), YYYYMMDD
    std::string dateTo;

    bool operator==(const SearchCriteria&) const = default;
};

// "*" is any run of characters, "?" one character. A pattern without "*"
// must also have the value's length.
bool wildcardMatch(std::string_view pattern, std::string_view value);

// The criteria trimmed and upper-cased once; empty, "*" and "?" criteria
// are not used.
class SearchMatcher {
public:
    explicit SearchMatcher(const SearchCriteria& criteria);

    // No criterion used: every file matches.
    bool matchesEverything() const;
    // Every used criterion holds, and the data set has each element a used
    // criterion names. Values are trimmed and upper-cased before the test;
    // a date must have at least 8 characters, as must each used bound, and
    // is compared as year, month and day.
    bool matches(const DicomDataset& dataset) const;

private:
    SearchCriteria m_used; // the used criteria, normalised; unused ones empty
};

} // namespace dicom
