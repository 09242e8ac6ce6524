// libFuzzer target for the header reports: every data set the reader makes of
// the input becomes an HTML page, an RTF report and their plain text, plain
// and anonymized. Header values reach these writers straight from files, in
// whatever character set the file claims, so every byte must come out as
// escaped text: a page may hold no raw '<' from a value and a report no
// unescaped brace, which would let a value close the table or the group.

#include "dicom/DicomReader.h"
#include "export/HtmlPage.h"
#include "export/ReportRows.h"
#include "export/RtfReport.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>

namespace {

// The braces of a report are balanced unless a value's brace escaped us.
bool balanced(const std::string& rtf)
{
    long depth = 0;
    for (std::size_t i = 0; i < rtf.size(); ++i) {
        if (rtf[i] == '\\') {
            // \bin N: N raw bytes follow, which may hold anything.
            if (rtf.compare(i, 4, "\\bin") == 0) {
                std::size_t end = i + 4;
                const std::size_t count = std::strtoul(rtf.c_str() + end, nullptr, 10);
                while (end < rtf.size() && rtf[end] != ' ')
                    ++end;
                i = end + count;
                continue;
            }
            ++i;
        } else if (rtf[i] == '{') {
            ++depth;
        } else if (rtf[i] == '}' && --depth < 0) {
            return false;
        }
    }
    return depth == 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    dicom::MemorySource source(std::span<const std::uint8_t>(data, size));
    dicom::ReadOptions options;
    options.headerOnly = dicom::HeaderOnly::Yes;
    dicom::DicomReader reader(options);
    dicom::DicomDataset dataset;
    reader.read(source, dataset);
    for (const bool anonymized : { false, true }) {
        const exporting::ReportHeader header = exporting::reportHeader(dataset, { anonymized });
        exporting::HtmlPageRequest page;
        page.title = "fuzz.html";
        page.header = header;
        const std::string html = exporting::htmlPage(page);
        // Every '<' of the page is one of ours: a tag name or a closing tag.
        for (std::size_t at = html.find('<'); at != std::string::npos; at = html.find('<', at + 1)) {
            const char next = at + 1 < html.size() ? html[at + 1] : '\0';
            if (!(next == '/' || (next >= 'A' && next <= 'Z')))
                std::abort();
        }
        if (!balanced(exporting::rtfHeaderReport("fuzz", header)))
            std::abort();
        (void)exporting::plainHeaderReport("fuzz", header);
    }
    return 0;
}
