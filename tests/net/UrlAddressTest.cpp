#include "net/UrlAddress.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace {

struct AddressCase {
    const char* name;
    const char* typed;
    std::optional<std::string> expected; // nullopt: refused
};

class NormaliseAddress : public testing::TestWithParam<AddressCase> {};

TEST_P(NormaliseAddress, GivesTheAddressToFetch)
{
    EXPECT_EQ(net::normaliseAddress(GetParam().typed), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, NormaliseAddress, testing::Values(
    AddressCase{ "Http", "http://a.example/b.dcm", "http://a.example/b.dcm" },
    AddressCase{ "HttpsUpperCase", "HTTPS://A.example/B", "HTTPS://A.example/B" },
    AddressCase{ "MixedCaseHttp", "HtTp://a/b", "HtTp://a/b" },
    AddressCase{ "Ftp", "ftp://host/dir/f.dcm", "ftp://host/dir/f.dcm" },
    AddressCase{ "Trimmed", " \t http://a/b \r\n", "http://a/b" },
    AddressCase{ "NoScheme", "a.example/b.dcm", "http://a.example/b.dcm" },
    AddressCase{ "HostAndPort", "localhost:8080/x", "http://localhost:8080/x" },
    AddressCase{ "SchemeLaterInPath", "a.example/go?u=ftp://b", "http://a.example/go?u=ftp://b" },
    AddressCase{ "FileRefused", "file:///etc/passwd", std::nullopt },
    AddressCase{ "FileUpperCaseRefused", "FILE:///etc/passwd", std::nullopt },
    AddressCase{ "GopherRefused", "gopher://h/1", std::nullopt },
    AddressCase{ "SftpRefused", "sftp://h/f", std::nullopt },
    AddressCase{ "Empty", "", "" },
    AddressCase{ "OnlyBlanks", "   ", "" }),
    [](const testing::TestParamInfo<AddressCase>& info) { return std::string(info.param.name); });

struct SlotCase {
    const char* name;
    net::RecentUrls before;
    const char* address;
    net::RecentUrls after;
    bool changed;
};

class RecentSlots : public testing::TestWithParam<SlotCase> {};

TEST_P(RecentSlots, TakeTheAddress)
{
    net::RecentUrls slots = GetParam().before;
    EXPECT_EQ(net::addRecentUrl(slots, GetParam().address), GetParam().changed);
    EXPECT_EQ(slots, GetParam().after);
}

const net::RecentUrls Full{ "u1", "u2", "u3", "u4", "u5", "u6", "u7", "u8" };

INSTANTIATE_TEST_SUITE_P(Cases, RecentSlots, testing::Values(
    SlotCase{ "FirstIntoEmpty", {}, "a", { "a" }, true },
    SlotCase{ "NextEmptySlot", { "a", "b" }, "c", { "a", "b", "c" }, true },
    SlotCase{ "GapFilledFirst", { "a", "", "c" }, "d", { "a", "d", "c" }, true },
    SlotCase{ "KnownUnchanged", { "a", "b" }, "a", { "a", "b" }, false },
    SlotCase{ "KnownInFullUnchanged", Full, "u5", Full, false },
    SlotCase{ "NinthDropsFirst", Full, "n", { "u2", "u3", "u4", "u5", "u6", "u7", "u8", "n" }, true },
    SlotCase{ "CaseMatters", { "http://A" }, "http://a", { "http://A", "http://a" }, true }),
    [](const testing::TestParamInfo<SlotCase>& info) { return std::string(info.param.name); });

TEST(RecentSlots, ListLastSlotFirstWithoutUnused)
{
    const net::RecentUrls slots{ "a", "", "c", "", "", "", "", "h" };
    EXPECT_EQ(net::listedRecentUrls(slots), (std::vector<std::string>{ "h", "c", "a" }));
}

struct SaveNameCase {
    const char* name;
    const char* address;
    const char* saveName;
    const char* extension;
};

class SaveName : public testing::TestWithParam<SaveNameCase> {};

TEST_P(SaveName, IsTheLastPartOfThePath)
{
    EXPECT_EQ(net::proposedSaveName(GetParam().address), GetParam().saveName);
    EXPECT_EQ(net::safeExtension(GetParam().address), GetParam().extension);
}

INSTANTIATE_TEST_SUITE_P(Cases, SaveName, testing::Values(
    SaveNameCase{ "Plain", "http://h/dir/ct.dcm", "ct.dcm", ".dcm" },
    SaveNameCase{ "QueryDropped", "http://h/get/ct.dcm?id=4&x=/y", "ct.dcm", ".dcm" },
    SaveNameCase{ "FragmentDropped", "http://h/a.jpg#top", "a.jpg", ".jpg" },
    SaveNameCase{ "Backslash", "http://h/dir\\sub\\img.bmp", "img.bmp", ".bmp" },
    SaveNameCase{ "TrailingSlash", "http://h/dir/", "download", "" },
    SaveNameCase{ "OnlyQuery", "http://h/?file=a.dcm", "download", "" },
    SaveNameCase{ "Dot", "http://h/dir/.", "download", "" },
    SaveNameCase{ "DotDot", "http://h/dir/..", "download", "" },
    SaveNameCase{ "NoExtension", "ftp://h/IMG0001", "IMG0001", "" },
    SaveNameCase{ "LongExtensionNotKept", "http://h/a.backup", "a.backup", "" },
    SaveNameCase{ "OddExtensionNotKept", "http://h/a.d$m", "a.d$m", "" },
    SaveNameCase{ "HiddenNameNoExtension", "http://h/.profile", ".profile", "" }),
    [](const testing::TestParamInfo<SaveNameCase>& info) { return std::string(info.param.name); });

} // namespace
