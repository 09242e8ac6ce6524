#include "tests/view/DocumentFacts.h"

#include "dicom/DicomDataset.h"
#include "dicom/HeaderListing.h"
#include "document/COrvoDoc.h"
#include "imaging/FrameImage.h"

namespace testfacts {

int frameWidth(const COrvoDoc& doc, int index)
{
    const imaging::FrameImage* frame = doc.frame(index);
    return frame ? frame->width() : -1;
}

QStringList headerTags(const COrvoDoc& doc)
{
    QStringList tags;
    if (const dicom::DicomDataset* dataset = doc.dataset())
        for (const auto& row : dicom::headerRows(*dataset))
            tags.append(QString::fromStdString(row.tag));
    return tags;
}

QStringList headerValues(const COrvoDoc& doc)
{
    QStringList values;
    if (const dicom::DicomDataset* dataset = doc.dataset())
        for (const auto& row : dicom::headerRows(*dataset))
            values.append(QString::fromLatin1(row.value.c_str()));
    return values;
}

} // namespace testfacts
