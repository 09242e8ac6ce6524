#include "app/ReportContent.h"

#include "app/Settings.h"
#include "app/dialogs/AnonymizeOptionsDialog.h"
#include "dicom/Anonymizer.h"
#include "dicom/Tags.h"
#include "document/COrvoDoc.h"
#include "document/ExportPictures.h"
#include "export/ReportText.h"

#include <QSettings>

namespace reports {

namespace {

QString decoded(const std::string& bytes, exporting::CharacterSet set)
{
    const std::u32string text = exporting::decodeText(bytes, set);
    return QString::fromUcs4(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

exporting::ReportOptions reportOptions(const COrvoDoc& doc)
{
    exporting::ReportOptions options;
    options.anonymized = doc.anonymizedExports();
    if (options.anonymized)
        options.anonOptions = AnonymizeOptionsDialog::load(*settings::open());
    return options;
}

std::optional<exporting::ReportHeader> reportHeader(const COrvoDoc& doc, const exporting::ReportOptions& options)
{
    const dicom::DicomDataset* dataset = doc.dataset();
    if (!dataset)
        return std::nullopt;
    return exporting::reportHeader(*dataset, options);
}

QString shownText(const COrvoDoc& doc, const QString& text, const exporting::ReportOptions& options)
{
    const dicom::DicomDataset* dataset = doc.dataset();
    const dicom::DicomElement* element = dataset ? dataset->find(dicom::tags::PatientName) : nullptr;
    if (!options.anonymized || !element)
        return text;
    const exporting::CharacterSet set = exporting::characterSetOf(*dataset);
    const QString name = decoded(std::string(element->text()), set).trimmed();
    if (name.isEmpty())
        return text;
    const auto hidden = dicom::anonymizedValueText(*element, true, options.anonOptions);
    const QString replacement = hidden ? decoded(*hidden, set).trimmed() : name;
    QString result = text;
    QString spaced = name;
    spaced.replace(QLatin1Char('^'), QLatin1Char(' '));
    for (const QString& form : { name, spaced, spaced.trimmed() })
        result.replace(form, replacement, Qt::CaseInsensitive);
    return result;
}

std::optional<std::vector<imaging::DisplayBitmap>> reportPictures(const COrvoDoc& doc, const PictureChoice& choice,
                                                                  const exporting::Progress& progress)
{
    try {
        std::vector<imaging::DisplayBitmap> pictures;
        pictures.reserve(choice.frames.size());
        for (const int frame : choice.frames) {
            if (progress.isCancelled())
                return std::nullopt;
            auto picture = choice.width > 0 && choice.height > 0
                ? document::sizedBitmap(doc, frame, choice.width, choice.height, choice.scaling)
                : document::reportBitmap(doc, frame);
            if (!picture)
                return std::nullopt;
            pictures.push_back(std::move(*picture));
            if (progress.advance)
                progress.advance(static_cast<int>(pictures.size()));
        }
        return pictures;
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

std::vector<int> allFrames(const COrvoDoc& doc)
{
    std::vector<int> frames(static_cast<std::size_t>(std::max(0, doc.frameCount())));
    for (std::size_t i = 0; i < frames.size(); ++i)
        frames[i] = static_cast<int>(i);
    return frames;
}

} // namespace reports
