#include "export/ExportPlan.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace exporting;

namespace {

using Flags = std::vector<std::uint8_t>;

TEST(ExportPlan, DefaultNames)
{
    struct Case {
        const char* title;
        TitleSource source;
        Anonymized anonymized;
        const char* name;
    };
    const Case cases[] = {
        { "CT.dcm", TitleSource::FileName, Anonymized::Yes, "CT" },
        { "IMG0001", TitleSource::FileName, Anonymized::No, "IMG0001" },
        { "a.b.c", TitleSource::FileName, Anonymized::No, "a.b" },
        { ".hidden", TitleSource::FileName, Anonymized::No, "_hidden" },
        { "..x.dcm", TitleSource::FileName, Anonymized::No, "__x" },
        { "http://host.org/dir/file.dcm", TitleSource::FileName, Anonymized::No, "http___host.org_dir_file" },
        { "http://host.org/dir/file", TitleSource::FileName, Anonymized::No, "http___host.org_dir_file" },
        { "C:\\x\ty\x7F", TitleSource::FileName, Anonymized::No, "C__x_y_" },
        { "", TitleSource::FileName, Anonymized::No, "export" },
        { "DOE^JANE - CT", TitleSource::HeaderValues, Anonymized::Yes, "export" },
        { "DOE^JANE - CT", TitleSource::HeaderValues, Anonymized::No, "DOE^JANE - CT" },
    };
    for (const Case& c : cases)
        EXPECT_EQ(defaultExportName(c.title, c.source, c.anonymized), c.name) << c.title;
}

TEST(ExportPlan, OutputNames)
{
    struct Case {
        Scope scope;
        int frameCount;
        int current;
        Flags selection;
        Numbering numbering;
        std::vector<std::string> files;
    };
    const Case cases[] = {
        { Scope::Current, 3, 1, {}, Numbering::Continual, { "CT_0002.raw" } },
        { Scope::Current, 3, 7, {}, Numbering::FrameNumber, {} },
        { Scope::All, 3, 0, {}, Numbering::Continual, { "CT_0001.raw", "CT_0002.raw", "CT_0003.raw" } },
        { Scope::Selected, 6, 0, { 0, 1, 0, 0, 1, 0 }, Numbering::Continual, { "CT_0001.raw", "CT_0002.raw" } },
        { Scope::Selected, 6, 0, { 0, 1, 0, 0, 1, 0 }, Numbering::FrameNumber, { "CT_0002.raw", "CT_0005.raw" } },
        { Scope::Selected, 2, 0, { 1, 0, 1, 1 }, Numbering::FrameNumber, { "CT_0001.raw" } },
        { Scope::All, 0, 0, {}, Numbering::FrameNumber, {} },
    };
    for (const Case& c : cases) {
        std::vector<std::string> files;
        for (const PlannedOutput& out : planOutputs("CT", "raw", c.scope, c.frameCount, c.current, c.selection,
                                                    c.numbering))
            files.push_back(out.fileName);
        EXPECT_EQ(files, c.files) << static_cast<int>(c.scope) << " " << c.frameCount;
    }
}

TEST(ExportPlan, ScopeSelection)
{
    EXPECT_EQ(scopeSelection(Scope::Current, 3, 2), (Flags { 0, 0, 1 }));
    EXPECT_EQ(scopeSelection(Scope::All, 3, 2), (Flags { 1, 1, 1 }));
    EXPECT_EQ(scopeSelection(Scope::Selected, 3, 2), (Flags { 0, 0, 0 }));
}

TEST(ExportPlan, Sizes)
{
    struct Case {
        const char* what;
        std::int32_t got;
        std::int32_t want;
    };
    const PictureSize frame { 513, 512 };
    const Case cases[] = {
        { "half zoom width", scaledSize(frame, 0.5).width, 257 },
        { "half zoom height", scaledSize(frame, 0.5).height, 256 },
        { "tiny zoom", scaledSize({ 3, 3 }, 0.01).width, 1 },
        { "NaN zoom", scaleSide(40, std::nan("")), 40 },
        { "huge zoom", scaleSide(2'000'000'000, 8.0), 2147483647 },
        { "constrained height", constrainedHeight({ 300, 200 }, 100), 67 },
        { "constrained width", constrainedWidth({ 300, 200 }, 67), 101 },
        { "constrained to 1", constrainedHeight({ 1000, 1 }, 10), 1 },
        { "constrained cap", constrainedHeight({ 1, 1000 }, 65535), 65535 },
        { "percent", sideFromPercent(512, 33), 169 },
        { "percent zero", sideFromPercent(512, 0), 1 },
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.got, c.want) << c.what;
}

TEST(ExportPlan, UserSideLimits)
{
    EXPECT_FALSE(userSideValid(0));
    EXPECT_TRUE(userSideValid(1));
    EXPECT_TRUE(userSideValid(65535));
    EXPECT_FALSE(userSideValid(65536));
}

TEST(ExportPlan, LeadingRun)
{
    struct Case {
        Flags selection;
        bool leading;
    };
    const Case cases[] = {
        { {}, true }, { { 0, 0 }, true }, { { 1, 1, 0 }, true }, { { 1, 0, 1 }, false }, { { 0, 1 }, false },
    };
    for (const Case& c : cases)
        EXPECT_EQ(selectionIsLeadingRun(c.selection), c.leading) << c.selection.size();
}

TEST(ExportPlan, Enabling)
{
    struct Case {
        const char* what;
        Scope scope;
        ExportFormat format;
        bool header;
        Flags selection;
        std::vector<int> highlighted;
        bool directoryEmpty;
        bool sizeValid;
        DialogEnabling on; // list, export, not export, continual, quality, header, Export
    };
    const Case cases[] = {
        { "current", Scope::Current, ExportFormat::Tiff, false, { 1, 0 }, { 0 }, false, true,
          { false, false, false, false, false, false, true } },
        { "gap", Scope::Selected, ExportFormat::Jpeg, false, { 1, 0, 1 }, { 0, 1 }, false, true,
          { true, true, true, true, true, false, true } },
        { "leading run", Scope::Selected, ExportFormat::Tiff, false, { 1, 1, 0 }, { 2 }, false, true,
          { true, true, false, false, false, false, true } },
        { "none selected", Scope::Selected, ExportFormat::Tiff, false, { 0, 0 }, {}, false, true,
          { true, false, false, false, false, false, false } },
        { "header only", Scope::Selected, ExportFormat::Html, true, { 0, 0 }, { 9 }, false, true,
          { true, false, false, false, true, true, true } },
        { "no directory", Scope::All, ExportFormat::Tiff, false, { 1, 1 }, {}, true, true,
          { false, false, false, false, false, false, false } },
        { "bad size", Scope::All, ExportFormat::Raw, false, { 1, 1 }, {}, false, false,
          { false, false, false, false, false, false, false } },
        { "empty list", Scope::Selected, ExportFormat::Bmp, false, {}, { 0 }, false, true,
          { false, false, false, false, false, false, false } },
    };
    for (const Case& c : cases) {
        const DialogState state { c.scope, c.format, c.header, c.selection, c.highlighted, c.directoryEmpty,
                                  c.sizeValid };
        EXPECT_EQ(dialogEnabling(state), c.on) << c.what;
    }
}

} // namespace
