#include "dicom/DicomDataset.h"

#include "dicom/TagDictionary.h"

namespace dicom {

const DicomElement* DicomDataset::elementAt(std::size_t index) const
{
    return index < elements.size() ? &elements[index] : nullptr;
}

const DicomElement* DicomDataset::find(base::Tag tag) const
{
    for (const DicomElement& e : elements) {
        if (e.tag() == tag)
            return &e;
    }
    return nullptr;
}

DicomElement DicomDataset::handOut(const DicomElement& source) const
{
    DicomElement copy = source;
    if (implicitVr) {
        auto vr = TagDictionary::vr(source.tag());
        copy.vr = vr ? std::string(*vr) : std::string("  ");
    }
    return copy;
}

std::optional<DicomElement> DicomDataset::getElementAt(std::size_t index) const
{
    const DicomElement* e = elementAt(index);
    if (!e)
        return std::nullopt;
    return handOut(*e);
}

std::optional<DicomElement> DicomDataset::findElement(std::uint16_t group, std::uint16_t element) const
{
    const DicomElement* e = find({group, element});
    if (!e)
        return std::nullopt;
    return handOut(*e);
}

std::optional<DicomElement> DicomDataset::copyElement(std::uint16_t group, std::uint16_t element) const
{
    // Copies own their value already; the two differ only in name, kept so
    // callers say whether they mean to keep the copy.
    return findElement(group, element);
}

} // namespace dicom
