#include "tests/support/DeflateBytes.h"
#include "tests/support/DicomBytes.h"

#include "dicom/Anonymizer.h"
#include "dicom/BatchAnonymizer.h"
#include "dicom/BasicProfile.h"
#include "dicom/DicomReader.h"
#include "dicom/FolderScan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <mutex>

using dicom::AnonError;
using testsupport::DicomBytes;
using Syntax = testsupport::DicomBytes::Syntax;
namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<std::uint8_t>;

// Every switch's element with the value "VAL<n>", a referenced patient
// sequence holding a Patient's Name, a binary Rows element and 20000 bytes
// of pixel data.
Bytes everySwitch(Syntax syntax)
{
    DicomBytes b;
    b.part10Header(syntax == Syntax::ImplicitLittle ? "1.2.840.10008.1.2" : "1.2.840.10008.1.2.1");
    auto switches = dicom::anonSwitches();
    std::vector<dicom::AnonSwitch> sorted(switches.begin(), switches.end());
    std::sort(sorted.begin(), sorted.end(), [](const auto& a, const auto& c) { return a.tag < c.tag; });
    for (const auto& s : sorted) {
        if (s.tag.group == 0x0008 && s.tag.element > 0x1120) // keep tag order around the sequence
            continue;
        b.element(s.tag.group, s.tag.element, "LO", "VAL" + std::to_string(s.tag.element % 100) + "X");
    }
    b.tag(0x0008, 0x1120).header("SQ", 0xFFFFFFFF) // Referenced Patient Sequence, undefined length
        .item(16)                                   // one item of 16 bytes
        .element(0x0010, 0x0010, "PN", "INNER^NM");  // Patient's Name inside it
    b.sequenceEnd();
    for (const auto& s : sorted) {
        if (s.tag.group == 0x0008 && s.tag.element > 0x1120)
            b.element(s.tag.group, s.tag.element, "LO", "LATE" + std::to_string(s.tag.element % 100));
    }
    b.elementU16(0x0028, 0x0010, "US", 512); // Rows: binary, not a switch
    b.tag(0x7FE0, 0x0010).header("OW", 20000);  // Pixel Data past the header's first read
    for (int i = 0; i < 10000; ++i)
        b.u16(static_cast<std::uint16_t>(i));
    return b.bytes();
}

// Offsets of one top-level element's value in bytes, from the reader.
std::pair<std::uint32_t, std::uint32_t> valueOf(const Bytes& bytes, base::Tag tag)
{
    dicom::MemorySource source(bytes);
    dicom::DicomDataset dataset;
    dicom::DicomReader().read(source, dataset);
    const auto* e = dataset.find(tag);
    return e ? std::pair {e->valueOffset, e->length} : std::pair {0u, 0u};
}

struct SwitchCase {
    std::size_t index;
    Syntax syntax;
};

std::string caseName(const testing::TestParamInfo<SwitchCase>& info)
{
    return std::string(dicom::anonSwitches()[info.param.index].key) +
           (info.param.syntax == Syntax::ImplicitLittle ? "Implicit" : "Explicit");
}

std::vector<SwitchCase> allSwitches()
{
    std::vector<SwitchCase> cases;
    for (std::size_t i = 0; i < dicom::AnonSwitchCount; ++i) {
        cases.push_back({i, Syntax::ExplicitLittle});
        cases.push_back({i, Syntax::ImplicitLittle});
    }
    return cases;
}

class OneSwitch : public testing::TestWithParam<SwitchCase> {};

// Only the value bytes of the switch's own element turn into blanks; the size stays.
TEST_P(OneSwitch, BlanksExactlyItsElement)
{
    const Bytes original = everySwitch(GetParam().syntax);
    dicom::AnonOptions options;
    options.on[GetParam().index] = true;
    Bytes bytes = original;
    auto count = dicom::anonymizeBytes(bytes, options);
    ASSERT_TRUE(count.has_value());
    EXPECT_EQ(*count, 1u);
    ASSERT_EQ(bytes.size(), original.size());
    const auto [offset, length] = valueOf(original, dicom::anonSwitches()[GetParam().index].tag);
    ASSERT_GT(length, 0u);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const bool inside = i >= offset && i < offset + length;
        ASSERT_EQ(bytes[i], inside ? ' ' : original[i]) << "byte " << i;
    }
}
INSTANTIATE_TEST_SUITE_P(Switches, OneSwitch, testing::ValuesIn(allSwitches()), caseName);

TEST(Anonymize, AllSwitchesLeaveSequencesAndBinaryValuesAlone)
{
    const Bytes original = everySwitch(Syntax::ExplicitLittle);
    Bytes bytes = original;
    ASSERT_EQ(*dicom::anonymizeBytes(bytes, dicom::AnonOptions::defaults()), dicom::AnonSwitchCount);
    const std::string text(bytes.begin(), bytes.end());
    EXPECT_NE(text.find("INNER^NM"), std::string::npos);
    EXPECT_EQ(valueOf(bytes, {0x0028, 0x0010}), valueOf(original, {0x0028, 0x0010}));
    EXPECT_EQ(text.find("VAL"), std::string::npos);
}

struct BoundsCase {
    const char* name;
    std::uint64_t offset;
    std::uint64_t length;
    bool binary;
    bool fits;
};

class BlankBounds : public testing::TestWithParam<BoundsCase> {};

// A forged offset or length never writes outside the bytes.
TEST_P(BlankBounds, ChecksBeforeWriting)
{
    Bytes bytes(8, 'A');
    auto done = dicom::blankValue(bytes, GetParam().offset, GetParam().length, GetParam().binary);
    EXPECT_EQ(done.has_value(), GetParam().fits);
    if (!GetParam().fits) {
        EXPECT_EQ(done.error().code, AnonError::OutOfBounds);
        EXPECT_EQ(bytes, Bytes(8, 'A'));
    } else {
        EXPECT_EQ(bytes[GetParam().offset], GetParam().binary ? 0 : ' ');
    }
}
INSTANTIATE_TEST_SUITE_P(Cases, BlankBounds,
    testing::Values(BoundsCase {"lastByte", 7, 1, false, true},
                    BoundsCase {"binaryZeroed", 2, 4, true, true},
                    BoundsCase {"onePast", 7, 2, false, false},
                    BoundsCase {"offsetPast", 9, 0, false, false},
                    BoundsCase {"wrapsAround", 4, 0xFFFFFFFFFFFFFFFFull, true, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Anonymize, ValuePastTheEndIsRefusedUntouched)
{
    DicomBytes b;
    b.part10Header("1.2.840.10008.1.2.1").element(0x0008, 0x0060, "CS", "CT");
    b.tag(0x0010, 0x0010).vr("PN").len16(200).text("TRUNCATED"); // claims 200 bytes, has 9
    Bytes bytes = b.bytes();
    auto done = dicom::anonymizeBytes(bytes, dicom::AnonOptions::defaults());
    ASSERT_FALSE(done.has_value());
    EXPECT_EQ(done.error().code, AnonError::Malformed); // a DICOM file cut short, not a file of another kind
    EXPECT_EQ(bytes, b.bytes());
}

TEST(Anonymize, DeflatedDataSetIsRefused)
{
    DicomBytes b;
    DicomBytes dataSet;
    dataSet.element(0x0010, 0x0010, "PN", "DOE^JOHN");
    const auto deflated = testsupport::storedBlock(dataSet.bytes(), static_cast<std::uint16_t>(dataSet.size()));
    b.part10Header("1.2.840.10008.1.2.1.99").raw(deflated); // the data set as one stored deflate block
    Bytes bytes = b.bytes();
    auto done = dicom::anonymizeBytes(bytes, dicom::AnonOptions::defaults());
    ASSERT_FALSE(done.has_value());
    EXPECT_EQ(done.error().code, AnonError::Unsupported);
}

struct NameCase {
    const char* input;
    const char* expected;
};

class OutputName : public testing::TestWithParam<NameCase> {};

TEST_P(OutputName, InsertsBeforeTheLastExtension)
{
    EXPECT_EQ(dicom::anonymizedName(GetParam().input), GetParam().expected);
}
INSTANTIATE_TEST_SUITE_P(Cases, OutputName,
    testing::Values(NameCase {"ct.1.dcm", "ct.1_anon.dcm"}, NameCase {"data.old/img", "data.old/img_anon"},
                    NameCase {"/a/b/scan", "/a/b/scan_anon"}, NameCase {"/a.b/c.dcm", "/a.b/c_anon.dcm"},
                    NameCase {".hidden", "_anon.hidden"}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

struct RenderCase {
    const char* name;
    base::Tag tag;
    const char* vr;
    bool flag;
    std::optional<std::string> expected;
};

class RenderValue : public testing::TestWithParam<RenderCase> {};

TEST_P(RenderValue, MasksOnlySwitchedElementsWithTheFlag)
{
    dicom::DicomElement e;
    e.group = GetParam().tag.group;
    e.element = GetParam().tag.element;
    e.vr = GetParam().vr;
    EXPECT_EQ(dicom::anonymizedValueText(e, GetParam().flag, dicom::AnonOptions::defaults()), GetParam().expected);
}
INSTANTIATE_TEST_SUITE_P(Cases, RenderValue,
    testing::Values(RenderCase {"textBlank", {0x0010, 0x0010}, "PN", true, " "},
                    RenderCase {"binaryZero", {0x0010, 0x1020}, "FL", true, "0"},
                    RenderCase {"flagOff", {0x0010, 0x0010}, "PN", false, std::nullopt},
                    RenderCase {"notASwitch", {0x0028, 0x0010}, "US", true, std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

class Folder : public testing::Test {
protected:
    void SetUp() override
    {
        m_root = fs::temp_directory_path() / ("tv-anon-" + std::to_string(::getpid()) + "-" +
                                              testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(m_root);
        fs::create_directories(m_root);
    }
    void TearDown() override { fs::remove_all(m_root); }
    fs::path put(const fs::path& relative, const Bytes& bytes)
    {
        fs::create_directories((m_root / relative).parent_path());
        std::ofstream(m_root / relative, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return m_root / relative;
    }
    static Bytes read(const fs::path& path)
    {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    fs::path m_root;
};

// Same names from three folders: "_anon", "_anon_2", "_anon_3"; text is skipped.
TEST_F(Folder, BatchNumbersRepeatedNamesAndSkipsNonDicom)
{
    const Bytes file = everySwitch(Syntax::ExplicitLittle);
    std::vector<fs::path> inputs {put("a/ct.dcm", file), put("b/ct.dcm", file), put("c/ct.dcm", file),
                                  put("a/notes.txt", Bytes(200, 'x'))};
    fs::create_directories(m_root / "out");
    dicom::BatchAnonymizer batch(m_root / "out", true, dicom::AnonOptions::defaults(), inputs);
    std::vector<std::string> names;
    for (const auto& input : inputs)
        names.push_back(batch.process(input).output.filename().string());
    EXPECT_EQ(names, (std::vector<std::string> {"ct_anon.dcm", "ct_anon_2.dcm", "ct_anon_3.dcm", "notes_anon.txt"}));
    const auto counts = batch.counts();
    EXPECT_EQ(counts.written, 3u);
    EXPECT_EQ(counts.skipped, 1u);
    EXPECT_EQ(counts.failed, 0u);
    // The copy made from the header bytes and a kernel copy of the rest equals
    // the whole file anonymized in memory.
    Bytes whole = file;
    ASSERT_TRUE(dicom::anonymizeBytes(whole, dicom::AnonOptions::defaults()).has_value());
    EXPECT_EQ(read(m_root / "out/ct_anon_3.dcm"), whole);
    EXPECT_FALSE(fs::exists(m_root / "out/notes_anon.txt"));
}

// Without the suffix into the input's own folder, the input would be replaced.
TEST_F(Folder, BatchNeverWritesOverAnInput)
{
    const Bytes file = everySwitch(Syntax::ExplicitLittle);
    const fs::path input = put("ct.dcm", file);
    dicom::BatchAnonymizer batch(m_root, false, dicom::AnonOptions::defaults(), {input});
    const auto item = batch.process(input);
    EXPECT_EQ(item.outcome, dicom::BatchOutcome::SkippedInput);
    EXPECT_EQ(item.error, AnonError::InputConflict);
    EXPECT_EQ(read(input), file);
    EXPECT_EQ(batch.counts().skipped, 1u);
}

TEST_F(Folder, SingleFileMessagesHaveTheirCodes)
{
    const fs::path empty = put("empty.dcm", {});
    EXPECT_EQ(dicom::anonymizeFile(m_root / "missing.dcm", m_root / "o1", {}).error().code, AnonError::FileNotFound);
    EXPECT_EQ(dicom::anonymizeFile(empty, m_root / "o2", {}).error().code, AnonError::ZeroLength);
    const fs::path good = put("good.dcm", everySwitch(Syntax::ExplicitLittle));
    EXPECT_EQ(dicom::anonymizeFile(good, m_root / "no/such/folder/out.dcm", {}).error().code, AnonError::NotCreated);
}

// One UID mapping per run: two files of one study keep one study UID, their
// instances get two; names in sequences and private elements are gone.
TEST_F(Folder, ProfileKeepsUidsConsistentAcrossABatch)
{
    auto file = [](const char* instance) {
        DicomBytes b;
        b.part10Header("1.2.840.10008.1.2.1")
            .element(0x0008, 0x0018, "UI", instance)
            .tag(0x0008, 0x1120).header("SQ", 0xFFFFFFFF) // Referenced Patient Sequence
            .item(0xFFFFFFFF)
            .element(0x0010, 0x0010, "PN", "INNER^NM")
            .itemEnd()
            .sequenceEnd()
            .element(0x0009, 0x0010, "LO", "PRIVATE ")     // private creator
            .element(0x0010, 0x0010, "PN", "DOE^JOHN")
            .element(0x0020, 0x000D, "UI", "1.2.3.4")     // Study Instance UID
            .element(0x0020, 0x000E, "UI", "1.2.3.4.5.6");
        return b.bytes();
    };
    std::vector<fs::path> inputs {put("a.dcm", file("1.2.3.7")), put("b.dcm", file("1.2.3.8"))};
    fs::create_directories(m_root / "out");
    auto options = dicom::AnonOptions::defaults();
    options.basicProfile = true;
    dicom::BatchAnonymizer batch(m_root / "out", false, options, inputs);
    std::vector<dicom::DicomDataset> outputs(2);
    for (std::size_t i = 0; i < 2; ++i) {
        const auto item = batch.process(inputs[i]);
        ASSERT_EQ(item.outcome, dicom::BatchOutcome::Written);
        ASSERT_TRUE(dicom::DicomReader().read(item.output, outputs[i]));
    }
    auto text = [](const dicom::DicomDataset& d, base::Tag t) { return std::string(d.find(t)->text()); };
    EXPECT_EQ(text(outputs[0], {0x0020, 0x000D}), text(outputs[1], {0x0020, 0x000D}));
    EXPECT_EQ(text(outputs[0], {0x0020, 0x000E}), text(outputs[1], {0x0020, 0x000E}));
    EXPECT_NE(text(outputs[0], {0x0008, 0x0018}), text(outputs[1], {0x0008, 0x0018}));
    EXPECT_EQ(text(outputs[0], {0x0020, 0x000D}).rfind("2.25.", 0), 0u);
    EXPECT_EQ(text(outputs[0], {0x0012, 0x0062}), "YES ");
    EXPECT_EQ(outputs[0].find({0x0009, 0x0010}), nullptr);
    EXPECT_EQ(outputs[0].find({0x0008, 0x1120}), nullptr);
    EXPECT_EQ(outputs[0].find({0x0010, 0x0010})->length, 0u);
}

TEST(Profile, FreshUidIsAUuidAsOneDecimalInteger)
{
    const std::string uid = dicom::UidMap::freshUid();
    ASSERT_EQ(uid.rfind("2.25.", 0), 0u);
    EXPECT_LE(uid.size(), 64u);
    EXPECT_TRUE(std::all_of(uid.begin() + 5, uid.end(), [](char c) { return c >= '0' && c <= '9'; }));
    EXPECT_NE(uid, dicom::UidMap::freshUid());
}

// Regular files only, sub-folders on request, a link loop entered never.
TEST_F(Folder, ScanListsRegularFilesWithoutFollowingLinkLoops)
{
    put("one.dcm", {1});
    put("sub/two.dcm", {2});
    fs::create_directory_symlink(m_root, m_root / "sub/loop");
    for (bool recursive : {false, true}) {
        std::vector<std::string> found;
        dicom::ScanCounts counts;
        const std::atomic<bool> never {false};
        dicom::FolderScan::walk(m_root, recursive, [&](const dicom::FoundFile& f) { found.push_back(f.name); }, counts,
                                never);
        std::sort(found.begin(), found.end());
        const std::vector<std::string> expected =
            recursive ? std::vector<std::string> {"one.dcm", "two.dcm"} : std::vector<std::string> {"one.dcm"};
        EXPECT_EQ(found, expected);
    }
}

TEST_F(Folder, ScanStopsWhenCancelled)
{
    for (int i = 0; i < 50; ++i)
        put("f" + std::to_string(i), {1});
    std::atomic<int> seen {0};
    const std::atomic<bool> stop {true};
    dicom::ScanCounts counts;
    EXPECT_FALSE(dicom::FolderScan::walk(m_root, true, [&](const dicom::FoundFile&) { ++seen; }, counts, stop));
    EXPECT_EQ(seen.load(), 0);
}

} // namespace
