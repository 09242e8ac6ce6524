#include "dicom/FileGroups.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using dicom::FileGroups;
using dicom::ScanRecord;

ScanRecord record(std::string folder, std::string name, std::string series, std::int32_t rows = 512)
{
    ScanRecord r;
    r.folder = std::move(folder);
    r.fileName = std::move(name);
    r.patientName = "DOE^JOHN";
    r.studyId = "7";
    r.studyDate = "20200101";
    r.modality = "CT";
    r.studyUid = "1.2.3";
    r.seriesUid = std::move(series);
    r.rows = rows;
    return r;
}

std::vector<std::vector<std::size_t>> membersOf(const FileGroups& groups)
{
    std::vector<std::vector<std::size_t>> members;
    for (const auto& group : groups.groups())
        members.push_back(group.files);
    return members;
}

struct GroupingCase {
    const char* name;
    unsigned keys;
    std::vector<ScanRecord> records;
    std::vector<std::vector<std::size_t>> groups;
};

void PrintTo(const GroupingCase& c, std::ostream* os) { *os << c.name; }

class Grouping : public testing::TestWithParam<GroupingCase> {};

TEST_P(Grouping, SortsFilesByTheChosenKeys)
{
    FileGroups groups(GetParam().keys);
    for (const auto& r : GetParam().records)
        groups.add(r);
    EXPECT_EQ(membersOf(groups), GetParam().groups);
}

const unsigned allButSeries = dicom::AllGroupKeys & ~dicom::SeriesIuidKey;

INSTANTIATE_TEST_SUITE_P(
    Keys, Grouping,
    testing::Values(
        GroupingCase {"TwoSeriesTwoGroups", dicom::AllGroupKeys,
                      {record("/a/", "1", "9.1"), record("/a/", "2", "9.2"), record("/a/", "3", "9.1")},
                      {{0, 2}, {1}}},
        GroupingCase {"SeriesUnticked", allButSeries,
                      {record("/a/", "1", "9.1"), record("/a/", "2", "9.2")}, {{0, 1}}},
        GroupingCase {"MissingSeriesOnlyWithMissing", dicom::AllGroupKeys,
                      {record("/a/", "1", ""), record("/a/", "2", "9.1"), record("/a/", "3", "")}, {{0, 2}, {1}}},
        GroupingCase {"DirectorySplitsFolders", dicom::AllGroupKeys,
                      {record("/a/", "1", "9.1"), record("/b/", "1", "9.1")}, {{0}, {1}}},
        GroupingCase {"WithoutDirectoryFoldersJoin", dicom::AllGroupKeys & ~dicom::DirectoryKey,
                      {record("/a/", "1", "9.1"), record("/b/", "1", "9.1")}, {{0, 1}}},
        GroupingCase {"NumbersCompared", dicom::AllGroupKeys,
                      {record("/a/", "1", "9.1", 512), record("/a/", "2", "9.1", 256)}, {{0}, {1}}},
        GroupingCase {"SameFileOnce", dicom::AllGroupKeys,
                      {record("/a/", "1", "9.1"), record("/a/", "1", "9.1")}, {{0}}},
        GroupingCase {"NoKeysOneGroup", 0u, {record("/a/", "1", "9.1"), record("/b/", "2", "9.2", 8)}, {{0, 1}}}),
    [](const testing::TestParamInfo<GroupingCase>& info) { return std::string(info.param.name); });

TEST(FileGroups, LabelsAndNumbersGroupsInCreationOrder)
{
    FileGroups groups;
    ScanRecord first = record("/a/", "1", "9.1");
    EXPECT_EQ(groups.add(first), 0u);
    EXPECT_EQ(groups.add(record("/a/", "2", "9.2")), 1u);
    EXPECT_EQ(groups.add(record("/a/", "3", "9.1")), 0u);
    EXPECT_EQ(groups.groups()[0].label, "DOE^JOHN, 7, 20200101, CT");
    EXPECT_EQ(groups.paths(0), (std::vector<std::string> {"/a/1", "/a/3"}));
    EXPECT_EQ(groups.groupsOfAtLeast(2), (std::vector<std::size_t> {0}));
}

TEST(FileGroups, ParsesKeyWords)
{
    EXPECT_EQ(dicom::parseGroupKeys("series"), std::optional<unsigned>(dicom::SeriesIuidKey));
    EXPECT_EQ(dicom::parseGroupKeys("study,rows"), std::optional<unsigned>(dicom::StudyIuidKey | dicom::ImageRowsKey));
    EXPECT_EQ(dicom::parseGroupKeys("series,nonsense"), std::nullopt);
    EXPECT_EQ(dicom::parseGroupKeys(""), std::nullopt);
}

} // namespace
