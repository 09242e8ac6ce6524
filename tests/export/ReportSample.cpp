// Writes the HTML page, the header-and-picture RTF report and the plain
// header text of one DICOM file (or of a built data set full of markup and
// control bytes), so that the conformance script can hand them to xmllint and unrtf.
//
//   report_sample OUTDIR FILE
//   report_sample OUTDIR --hostile

#include "dicom/DicomReader.h"
#include "export/HtmlPage.h"
#include "export/RtfReport.h"
#include "tests/support/DicomBytes.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

std::vector<std::uint8_t> hostileBytes()
{
    testsupport::DicomBytes b;
    b.part10Header("1.2.840.10008.1.2.1")
        .element(0x0008, 0x0005, "CS", "ISO_IR 192")
        .element(0x0010, 0x0010, "PN", "<script>alert(1)</script> ")
        .element(0x0010, 0x0020, "LO", "&<>\"\\{}\x01\x1B[31m ")
        .element(0x0010, 0x4000, "LT", "}{\\par\\b x} <!-- --> Zo\xC3\xAB \xE2\x82\xAC ");
    return b.bytes();
}

bool writeFile(const std::filesystem::path& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: report_sample OUTDIR FILE|--hostile\n");
        return 2;
    }
    const std::filesystem::path outDir = argv[1];
    const std::string input = argv[2];
    dicom::ReadOptions options;
    options.headerOnly = dicom::HeaderOnly::Yes;
    dicom::DicomReader reader(options);
    dicom::DicomDataset dataset;
    std::string title;
    if (input == "--hostile") {
        const auto bytes = hostileBytes();
        dicom::MemorySource source(bytes);
        reader.read(source, dataset);
        title = "<script>alert(1)</script> {\\b}";
    } else {
        reader.read(std::filesystem::path(input), dataset);
        title = std::filesystem::path(input).filename().string();
    }
    if (dataset.elementCount() == 0) {
        std::fprintf(stderr, "%s: no elements read\n", input.c_str());
        return 1;
    }
    const auto header = exporting::reportHeader(dataset, {});
    exporting::HtmlPageRequest page;
    page.title = title;
    page.heading = title;
    page.date = "07.12.2026";
    page.header = header;
    page.pictures = std::vector<exporting::HtmlPicture> {{exporting::pictureSource(title, 1), 1}};
    auto bitmap = imaging::DisplayBitmap::create(3, 2, 8);
    if (!bitmap)
        return 1;
    const std::vector<imaging::DisplayBitmap> pictures = [&] {
        std::vector<imaging::DisplayBitmap> list;
        list.push_back(std::move(*bitmap));
        return list;
    }();
    const bool ok = writeFile(outDir / "page.html", exporting::htmlPage(page))
                    && writeFile(outDir / "report.rtf", exporting::rtfHeaderAndPictureReport(title, header, pictures))
                    && writeFile(outDir / "header.rtf", exporting::rtfHeaderReport(title, header))
                    && writeFile(outDir / "plain.txt", exporting::plainHeaderReport(title, header));
    return ok ? 0 : 1;
}
