#include "app/PaletteFiles.h"

#include "dicom/DicomDataset.h"
#include "dicom/PaletteColour.h"
#include "dicom/Tags.h"
#include "document/COrvoDoc.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <algorithm>
#include <filesystem>

namespace {

const QString PaletteFolderName = QStringLiteral("Palettes");

std::filesystem::path nativePath(const QString& path)
{
    return std::filesystem::path(QFile::encodeName(path).toStdString());
}

} // namespace

QStringList paletteFolders()
{
    return { QCoreApplication::applicationDirPath() + QLatin1Char('/') + PaletteFolderName, userPaletteFolder() };
}

QString userPaletteFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QLatin1Char('/') + PaletteFolderName;
}

std::size_t loadCustomPalettes(imaging::CustomPaletteList& list)
{
    std::size_t added = 0;
    QStringList seen;
    for (const QString& folder : paletteFolders()) {
        // Run from its install folder, the program's folder may be the user's.
        const QString canonical = QFileInfo(folder).canonicalFilePath();
        if (canonical.isEmpty() || seen.contains(canonical))
            continue;
        seen.append(canonical);
        added += list.loadFolder(nativePath(canonical));
    }
    return added;
}

bool saveCustomPalette(imaging::CustomPaletteList& list, const QString& file, const imaging::CustomPalette& palette)
{
    QDir().mkpath(QFileInfo(file).absolutePath());
    return list.save(nativePath(file), palette).has_value();
}

bool hasDocumentPalette(const COrvoDoc& doc)
{
    const dicom::DicomDataset* dataset = doc.dataset();
    if (!dataset || dataset->image.photometricKind() != dicom::Photometric::PaletteColor)
        return false;
    const dicom::PaletteData& data = dataset->palette;
    constexpr std::size_t entries = 256;
    return data.red.size() == entries && data.green.size() == entries && data.blue.size() == entries;
}

std::optional<imaging::CustomPalette> documentPalette(const COrvoDoc& doc)
{
    if (!hasDocumentPalette(doc))
        return std::nullopt;
    const dicom::DicomDataset* dataset = doc.dataset();
    const dicom::PaletteData& data = dataset->palette;
    dicom::PaletteTables tables;
    std::copy(data.red.begin(), data.red.end(), tables.red.begin());
    std::copy(data.green.begin(), data.green.end(), tables.green.begin());
    std::copy(data.blue.begin(), data.blue.end(), tables.blue.begin());
    const dicom::DicomElement* maker = dataset->find(dicom::tags::Manufacturer);
    const dicom::PaletteRecord record = dicom::makePaletteRecord(maker ? maker->text() : std::string_view(), tables);
    imaging::CustomPalette palette;
    palette.name = record.name;
    const auto widen = [](const auto& from, auto& to) {
        std::transform(from.begin(), from.end(), to.begin(),
                       [](std::uint32_t v) { return static_cast<std::int32_t>(v); });
    };
    widen(record.red, palette.red);
    widen(record.green, palette.green);
    widen(record.blue, palette.blue);
    return palette;
}
