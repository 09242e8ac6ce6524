#include "export/ReportRows.h"

#include "dicom/HeaderListing.h"
#include "dicom/Tags.h"

namespace exporting {

namespace {

bool holdsNoText(std::string_view vr)
{
    return vr == "OB" || vr == "OW" || vr == "SQ";
}

ReportRow rowOf(const dicom::DicomElement& element, base::Endian order, const ReportOptions& options)
{
    ReportRow row;
    row.group = element.group;
    row.element = element.element;
    row.name = element.name;
    row.vr = element.vr;
    row.length = element.length;
    row.textVr = !dicom::isBinaryVr(element.vr);
    if (auto hidden = dicom::anonymizedValueText(element, options.anonymized, options.anonOptions))
        row.value = std::move(*hidden);
    else if (row.textVr)
        row.value = std::string(element.text());
    else
        row.value = dicom::headerRow(element, order).value;
    return row;
}

} // namespace

ReportHeader reportHeader(const dicom::DicomDataset& dataset, const ReportOptions& options)
{
    ReportHeader header;
    header.characterSet = characterSetOf(dataset);
    const base::Endian order = dataset.bigEndian ? base::Endian::Big : base::Endian::Little;
    header.rows.reserve(dataset.elementCount());
    for (std::size_t i = 0; i < dataset.elementCount(); ++i) {
        if (auto element = dataset.getElementAt(i))
            header.rows.push_back(rowOf(*element, order, options));
    }
    return header;
}

std::string valueCell(const ReportRow& row, std::uint32_t limit)
{
    if (!row.textVr)
        return row.value;
    if (holdsNoText(row.vr))
        return base::Tag {row.group, row.element} == dicom::tags::PixelData ? "\"Frame Data\"" : "\"Sequence Data\"";
    if (row.length > limit)
        return "\"Long Size Data\"";
    return "\"" + row.value + "\"";
}

} // namespace exporting
