#include "tests/support/DicomBytes.h"

#include "dicom/BasicProfile.h"
#include "dicom/BatchAnonymizer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>


using dicom::AnonError;
using testsupport::DicomBytes;
namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<std::uint8_t>;

// Preamble, "DICM" and a meta group of explicit VR little endian naming the
// instance, then the data set in explicit VR little endian.
DicomBytes withMeta(const std::string& instance)
{
    const std::string syntax("1.2.840.10008.1.2.1\0", 20);
    DicomBytes b;
    b.preamble();
    b.tag(0x0002, 0x0000).vr("UL").len16(4).u32(static_cast<std::uint32_t>(16 + instance.size() + syntax.size()));
    b.element(0x0002, 0x0003, "UI", instance); // Media Storage SOP Instance UID
    b.element(0x0002, 0x0010, "UI", syntax);   // Transfer Syntax UID
    return b;
}

const dicom::TreeElement* find(const std::vector<dicom::TreeElement>& elements, base::Tag tag)
{
    for (const auto& e : elements) {
        if (e.tag == tag)
            return &e;
    }
    return nullptr;
}

std::string text(const dicom::TreeElement& e)
{
    std::string value(e.value.begin(), e.value.end());
    while (!value.empty() && (value.back() == ' ' || value.back() == '\0'))
        value.pop_back();
    return value;
}

dicom::TreeFile profiled(const Bytes& bytes, dicom::UidMap& uids)
{
    auto out = dicom::anonymizeWithProfile(bytes, dicom::AnonOptions::defaults(), uids);
    EXPECT_TRUE(out.has_value());
    auto tree = dicom::parseTree(out.has_value() ? *out : Bytes {});
    EXPECT_TRUE(tree.has_value());
    return tree.has_value() ? *tree : dicom::TreeFile {};
}

} // namespace

// An RT file whose writer stored its UIDs as UN: they are found by tag, read
// as the dictionary's UI, replaced and labelled UI; the meta group's instance
// UID gets the same replacement as (0008,0018), at the top and in sequences.
TEST(BasicProfile, UidsStoredAsUnAreReplacedByTheirTag)
{
    DicomBytes b = withMeta(std::string("1.2.3.100\0", 10));
    b.element(0x0008, 0x0016, "UN", std::string("1.2.840.10008.5.1.4.1.1.481.2\0", 30)) // SOP Class UID: kept
        .element(0x0008, 0x0018, "UN", std::string("1.2.3.100\0", 10)) // SOP Instance UID
        .element(0x0020, 0x000D, "UN", std::string("1.2.3.1\0", 8))  // Study Instance UID
        .element(0x0020, 0x000E, "UN", std::string("1.2.3.2\0", 8))  // Series Instance UID
        .element(0x0020, 0x0052, "UN", std::string("1.2.3.3\0", 8))  // Frame of Reference UID
        .tag(0x300C, 0x0002).header("SQ", 0xFFFFFFFF)                 // Referenced RT Plan Sequence
        .item(0xFFFFFFFF)
        .element(0x0008, 0x1155, "UN", std::string("1.2.3.4\0", 8)) // Referenced SOP Instance UID
        .itemEnd()
        .sequenceEnd();
    dicom::UidMap uids;
    const auto file = profiled(b.bytes(), uids);
    const auto* instance = find(file.elements, {0x0008, 0x0018});
    ASSERT_NE(instance, nullptr);
    EXPECT_EQ(text(*instance), uids.replace("1.2.3.100"));
    EXPECT_EQ(text(*find(file.meta, {0x0002, 0x0003})), text(*instance));
    const std::pair<base::Tag, const char*> replaced[] = {
        {{0x0020, 0x000D}, "1.2.3.1"}, {{0x0020, 0x000E}, "1.2.3.2"}, {{0x0020, 0x0052}, "1.2.3.3"}};
    for (const auto& [tag, old] : replaced) {
        const auto* e = find(file.elements, tag);
        ASSERT_NE(e, nullptr);
        EXPECT_EQ(text(*e), uids.replace(old)) << tag.group << "," << tag.element;
        EXPECT_EQ(e->vr, "UI");
    }
    const auto* plan = find(file.elements, {0x300C, 0x0002});
    ASSERT_TRUE(plan && plan->items.size() == 1);
    EXPECT_EQ(text(*find(plan->items[0], {0x0008, 0x1155})), uids.replace("1.2.3.4"));
    EXPECT_EQ(text(*find(file.elements, {0x0008, 0x0016})), "1.2.840.10008.5.1.4.1.1.481.2");
}

// Each action as the table gives it, with every switch on: a combined code
// keeps the attribute (empty where it already was, else a dummy), a sequence
// with items goes where X/Z allow, an overlay goes with its data.
TEST(BasicProfile, ActionsFollowTheCurrentTable)
{
    DicomBytes b = withMeta(std::string("1.2.3.9\0", 8));
    b.element(0x0008, 0x0012, "DA", "20200101")        // Instance Creation Date, X/D
        .element(0x0008, 0x0013, "TM", "")             // Instance Creation Time, X/Z/D, empty
        .element(0x0008, 0x0020, "DA", "20200101")     // Study Date, Z
        .element(0x0008, 0x0023, "DA", "20200102")     // Content Date, Z/D
        .tag(0x0008, 0x1110).header("SQ", 0xFFFFFFFF)   // Referenced Study Sequence, X/Z, one item
        .item(0xFFFFFFFF)
        .element(0x0008, 0x1155, "UI", std::string("1.2.3.5\0", 8))
        .itemEnd()
        .sequenceEnd()
        .element(0x0009, 0x0010, "LO", "ACME 1.0")     // private creator, X
        .element(0x0010, 0x0010, "PN", "DOE^JOHN")     // Patient's Name, Z
        .element(0x0010, 0x1010, "AS", "042Y")         // Patient's Age, X
        .element(0x0012, 0x0060, "LO", "CENTRE")       // Clinical Trial Coordinating Center Name, Z
        .element(0x0018, 0x1000, "LO", "SN123456")     // Device Serial Number, X/Z/D, a switch
        .tag(0x0040, 0x0555).header("SQ", 0xFFFFFFFF)   // Acquisition Context Sequence, X/Z, empty
        .sequenceEnd()
        .element(0x0040, 0xA032, "DT", "20200101120000") // Observation DateTime, X/D
        .element(0x3006, 0x0002, "SH", "SET1")         // Structure Set Label, D
        .element(0x3006, 0x0026, "LO", "GTV LIVER ")   // ROI Name, Z
        .element(0x300A, 0x0002, "SH", "PLAN1 ")       // RT Plan Label, D
        .elementU16(0x5000, 0x0005, "US", 1)           // Curve Dimensions, 50xx,xxxx X
        .elementU16(0x6000, 0x0010, "US", 4)           // Overlay Rows: goes with its data
        .tag(0x6000, 0x3000).header("OW", 2).u16(0xFFFF); // Overlay Data, 60xx,3000 X
    dicom::UidMap uids;
    const auto file = profiled(b.bytes(), uids);

    enum class Kind { Gone, Empty, Holds };
    struct Case {
        base::Tag tag;
        Kind kind;
        const char* value;
    };
    const Case cases[] = {
        {{0x0008, 0x0012}, Kind::Holds, "19000101"},
        {{0x0008, 0x0013}, Kind::Empty, ""},
        {{0x0008, 0x0020}, Kind::Empty, ""},
        {{0x0008, 0x0023}, Kind::Holds, "19000101"},
        {{0x0008, 0x1110}, Kind::Gone, ""},
        {{0x0009, 0x0010}, Kind::Gone, ""},
        {{0x0010, 0x0010}, Kind::Empty, ""},
        {{0x0010, 0x1010}, Kind::Gone, ""},
        {{0x0012, 0x0060}, Kind::Empty, ""},
        {{0x0018, 0x1000}, Kind::Holds, "ANONYMIZED"},
        {{0x0040, 0x0555}, Kind::Empty, ""},
        {{0x0040, 0xA032}, Kind::Holds, "19000101000000"},
        {{0x3006, 0x0002}, Kind::Holds, "ANONYMIZED"},
        {{0x3006, 0x0026}, Kind::Empty, ""},
        {{0x300A, 0x0002}, Kind::Holds, "ANONYMIZED"},
        {{0x5000, 0x0005}, Kind::Gone, ""},
        {{0x6000, 0x0010}, Kind::Gone, ""},
        {{0x6000, 0x3000}, Kind::Gone, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.tag.group << "," << c.tag.element);
        const auto* e = find(file.elements, c.tag);
        if (c.kind == Kind::Gone) {
            EXPECT_EQ(e, nullptr);
            continue;
        }
        ASSERT_NE(e, nullptr);
        EXPECT_TRUE(e->items.empty());
        EXPECT_EQ(text(*e), c.value);
    }
}

// Ranges of the table: curves, overlay data and comments, every odd group.
TEST(BasicProfile, TableMatchesItsRangeRows)
{
    EXPECT_EQ(dicom::basicProfileTable().size(), 621u);
    const std::pair<base::Tag, std::optional<std::string_view>> cases[] = {
        {{0x5012, 0x2000}, "X"},   {{0x60FE, 0x3000}, "X"}, {{0x6002, 0x4000}, "X"},
        {{0x6000, 0x0010}, {}},    {{0x0019, 0x1001}, "X"}, {{0x7FE1, 0x0010}, "X"},
        {{0x0008, 0x0018}, "U"},   {{0x0008, 0x0080}, "X/Z/D"}, {{0x0028, 0x0010}, {}},
    };
    for (const auto& [tag, code] : cases)
        EXPECT_EQ(dicom::profileCode(tag), code) << std::hex << tag.group << "," << tag.element;
}

struct ResolveCase {
    const char* code;
    bool sequence;
    bool empty;
    dicom::ProfileAction action;
};

class Resolve : public testing::TestWithParam<ResolveCase> {};

TEST_P(Resolve, KeepsWhatTheIodMayNeed)
{
    const auto& c = GetParam();
    EXPECT_EQ(dicom::resolveAction(c.code, c.sequence, c.empty), c.action);
}

using A = dicom::ProfileAction;
INSTANTIATE_TEST_SUITE_P(BasicProfile, Resolve,
                         testing::Values(ResolveCase {"X", false, false, A::Remove},
                                         ResolveCase {"Z", false, false, A::Empty},
                                         ResolveCase {"D", false, true, A::Dummy},
                                         ResolveCase {"X/D", false, true, A::Dummy},
                                         ResolveCase {"X/Z/D", false, false, A::Dummy},
                                         ResolveCase {"X/Z/D", false, true, A::Empty},
                                         ResolveCase {"Z/D", false, false, A::Dummy},
                                         ResolveCase {"X/Z", false, false, A::Empty},
                                         ResolveCase {"X/Z/U*", true, false, A::ReplaceUid},
                                         ResolveCase {"X/Z", true, true, A::Empty},
                                         ResolveCase {"X/Z", true, false, A::Remove},
                                         ResolveCase {"X/Z/D", true, false, A::Remove},
                                         ResolveCase {"D", true, false, A::Dummy},
                                         ResolveCase {"K", false, false, A::Keep}));

class ProfileFiles : public testing::Test {
protected:
    void SetUp() override
    {
        m_root = fs::temp_directory_path() / ("tv-profile-" + std::to_string(::getpid()));
        fs::remove_all(m_root);
        fs::create_directories(m_root / "out");
    }
    void TearDown() override { fs::remove_all(m_root); }
    fs::path put(const std::string& name, const Bytes& bytes)
    {
        std::ofstream(m_root / name, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return m_root / name;
    }
    static Bytes cut()
    {
        DicomBytes b;
        b.part10Header("1.2.840.10008.1.2.1");
        b.tag(0x0010, 0x0010).vr("PN").len16(200).text("DOE^"); // Patient's Name: 200 bytes announced, 4 there
        return b.bytes();
    }
    fs::path m_root;
};

// A file that starts as DICOM and breaks off in its header is a failure, in
// place and through the profile; a file that never was DICOM is skipped.
TEST_F(ProfileFiles, CutDicomFileFailsAndIsNeverSkipped)
{
    const fs::path input = put("cut.dcm", cut());
    const fs::path text = put("notes.txt", Bytes(300, 'x'));
    for (bool profile : {false, true}) {
        auto options = dicom::AnonOptions::defaults();
        options.basicProfile = profile;
        dicom::BatchAnonymizer batch(m_root / "out", false, options, {input, text});
        const auto item = batch.process(input);
        EXPECT_EQ(item.outcome, dicom::BatchOutcome::Failed) << profile;
        EXPECT_EQ(item.error, AnonError::Malformed) << profile;
        EXPECT_FALSE(fs::exists(item.output));
        EXPECT_EQ(batch.process(text).outcome, dicom::BatchOutcome::SkippedNotDicom);
    }
    const std::atomic<bool> never {false};
    EXPECT_EQ(dicom::brokenDicomFiles(m_root, false, {text}, never), std::vector<fs::path> {input});
    EXPECT_TRUE(dicom::brokenDicomFiles(m_root, false, {input}, never).empty());
}
