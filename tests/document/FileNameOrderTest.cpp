#include "document/FileNameOrder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace {

int sign(int v) { return (v > 0) - (v < 0); }

struct OrderCase {
    const char* a;
    const char* b;
    int expected; // sign of compareFileNames(a, b)
};

TEST(FileNameOrder, ComparesPairs)
{
    const OrderCase cases[] = {
        { "IMG9", "IMG10", -1 },
        { "IMG10", "IMG11", -1 },
        { "IMG11", "IMG100", -1 },
        { "IMG19", "IMG100", -1 },   // the walk stops inside both runs: 9 vs 0
        { "IMG100", "IMG99", 1 },
        { "IMG1", "IMG1", 0 },
        { "1-2-3", "123", 0 },       // hyphens are not part of the name's order
        { "-a", "a", 0 },
        { "a-1", "a2", -1 },
        { "IMG007", "IMG7", 1 },     // same value; the longer spelling goes last
        { "IMG", "IMG1", -1 },       // a prefix sorts first
        { "abc", "abd", -1 },
        { "B", "a", -1 },            // plain byte order, upper case first
        { "\xC3\xA9", "e", -1 },     // bytes above 127 are negative
        { "", "a", -1 },
        { "", "", 0 },
        { "9", "10", -1 },
        // Runs longer than any integer type must still compare by value.
        { "S99999999999999999999999999", "S100000000000000000000000000", -1 },
        { "S00000000000000000000000000000001", "S2", -1 },
    };
    for (const auto& c : cases) {
        EXPECT_EQ(sign(document::compareFileNames(c.a, c.b)), c.expected) << c.a << " vs " << c.b;
        EXPECT_EQ(sign(document::compareFileNames(c.b, c.a)), -c.expected) << c.b << " vs " << c.a;
    }
}

TEST(FileNameOrder, SortsNumberedSeries)
{
    std::vector<std::string> names { "IMG100", "IMG10", "IMG2", "IMG11", "IMG1", "IMG9" };
    document::sortFileNames(names);
    EXPECT_EQ(names, (std::vector<std::string> { "IMG1", "IMG2", "IMG9", "IMG10", "IMG11", "IMG100" }));
}

TEST(FileNameOrder, EquivalentNamesKeepTheirOrder)
{
    std::vector<std::string> names { "b", "1-2-3", "a", "123", "12-3" };
    document::sortFileNames(names);
    EXPECT_EQ(names, (std::vector<std::string> { "1-2-3", "123", "12-3", "a", "b" }));
}

TEST(FileNameOrder, PathsCompareOnlyTheirFileNames)
{
    std::vector<std::string> paths { "/z/IMG10", "/a/IMG9", "/m/IMG1" };
    document::sortPathsByFileName(paths);
    EXPECT_EQ(paths, (std::vector<std::string> { "/m/IMG1", "/a/IMG9", "/z/IMG10" }));
    EXPECT_EQ(document::fileNamePart("C:\\dir\\IMG1"), "IMG1");
    EXPECT_EQ(document::fileNamePart("IMG1"), "IMG1");
}

TEST(FileNameOrder, LargeShuffledListEndsSorted)
{
    std::vector<std::string> names;
    for (int i = 0; i < 2000; ++i)
        names.push_back("CT-" + std::to_string(i) + ".dcm");
    auto expected = names;
    std::mt19937 random(7);
    std::shuffle(names.begin(), names.end(), random);
    document::sortFileNames(names);
    EXPECT_EQ(names, expected);
}

} // namespace
