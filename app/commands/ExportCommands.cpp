// "Export as &TIFF...", "&JPEG...", "&BMP...", "&Raw file...": the current
// frame at the zoom, to a file the user names; and "Export &frames...".

#include "app/CMainFrame.h"
#include "app/Settings.h"
#include "app/commands/CommandTable.h"
#include "app/commands/CommandTargets.h"
#include "app/commands/Commands.h"
#include "app/commands/ExportNames.h"
#include "app/dialogs/ExportFramesDialog.h"
#include "document/COrvoDoc.h"
#include "document/ExportPictures.h"
#include "export/ExportFormats.h"
#include "export/ExportPlan.h"
#include "export/ImageWriters.h"
#include "export/OutputFile.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QSettings>

#include <algorithm>

namespace {

using exporting::ExportFormat;

// The current frame as the format takes it: TIFF, JPEG and raw files the
// export picture at the zoom, nearest neighbour; BMP files the display
// bitmap at the zoom's percentage.
exporting::Result<void> writeCurrentFrame(const COrvoDoc& doc, ExportFormat format, const QString& path, int quality)
{
    const std::filesystem::path target = localPath(path);
    const auto own = protectedPaths(doc);
    std::error_code error;
    for (const std::filesystem::path& source : own) {
        if (target == source || std::filesystem::equivalent(target, source, error))
            return exporting::Error { exporting::ExportError::CannotCreate, "the document's own file" };
    }
    const int frame = doc.currentFrameIndex();
    if (format == ExportFormat::Bmp) {
        auto bitmap = document::reportBitmap(doc, frame);
        if (!bitmap)
            return bitmap.error();
        return exporting::writeOutputFile(target, [&](std::ostream& out) { return exporting::writeBmp(*bitmap, out); });
    }
    const exporting::PictureSource source = document::exportPictureSource(doc);
    auto picture = source.picture ? source.picture(frame)
                                  : exporting::Result<exporting::Picture>(
                                        exporting::Error { exporting::ExportError::RenderFailed, "no pictures" });
    if (!picture)
        return picture.error();
    const exporting::PictureSize size = exporting::scaledSize({ picture->width, picture->height }, doc.zoom());
    auto sized = exporting::resamplePicture(*picture, size.width, size.height, exporting::Scaling::Nearest);
    if (!sized)
        return sized.error();
    return exporting::writeOutputFile(target, [&](std::ostream& out) -> exporting::Result<void> {
        switch (format) {
        case ExportFormat::Tiff: return exporting::writeTiff(*sized, out);
        case ExportFormat::Jpeg: return exporting::writeJpeg(*sized, quality, out);
        default: return exporting::writeRaw(*sized, out);
        }
    });
}

void exportCurrentFrame(CMainFrame& frame, ExportFormat format)
{
    const COrvoDoc* doc = documentWithImage(frame);
    if (!doc)
        return;
    const exporting::FormatInfo& info = exporting::formatInfo(format);
    const QString extension = QString::fromUtf8(info.extension);
    const QByteArray key = QByteArray(info.directorySetting.data(), static_cast<qsizetype>(info.directorySetting.size()));
    const auto store = settings::open();
    const QString directory = settings::readString(*store, settings::SettingsGroup, key.constData());
    const QString name = exportBaseName(*doc) + QLatin1Char('.') + extension;
    auto* dialog = new QFileDialog(&frame, QString(), directory.isEmpty() ? name : withTrailingSlash(directory) + name,
                                   QString::fromUtf8(info.filter));
    dialog->setObjectName(QStringLiteral("ExportFileDialog"));
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setDefaultSuffix(extension);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(dialog, &QFileDialog::fileSelected, &frame, [&frame, format, key](const QString& path) {
        const COrvoDoc* current = documentWithImage(frame);
        if (!current)
            return;
        const auto settingsStore = settings::open();
        const int quality = settings::readNumber(*settingsStore, settings::SettingsGroup, settings::ExportJpegQuality,
                                                 75, 0, 100);
        const auto written = writeCurrentFrame(*current, format, path, quality);
        if (written) {
            settings::writeString(*settingsStore, settings::SettingsGroup, key.constData(),
                                  withTrailingSlash(QFileInfo(path).absolutePath()));
            return;
        }
        auto* box = new QMessageBox(QMessageBox::Critical, CMainFrame::programName(),
                                    failureText(QString::fromUtf8(exporting::formatInfo(format).failureMessage),
                                                written.error().detail),
                                    QMessageBox::Ok, &frame);
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->open();
    });
    dialog->open();
}

} // namespace

void addExportCommands(CommandTable& table, CMainFrame& frame)
{
    const auto hasFrame = [&frame] { return documentWithImage(frame) != nullptr; };
    const std::pair<Command, ExportFormat> single[] = {
        { Command::ExportTiff, ExportFormat::Tiff },
        { Command::ExportJpeg, ExportFormat::Jpeg },
        { Command::ExportBmp, ExportFormat::Bmp },
        { Command::ExportRaw, ExportFormat::Raw },
    };
    for (const auto& [id, format] : single)
        table.add(id, [&frame, format] { exportCurrentFrame(frame, format); }, hasFrame);
    table.add(
        Command::ExportFrames,
        [&frame] {
            COrvoDoc* doc = documentWithImage(frame);
            if (!doc)
                return;
            auto* dialog = new ExportFramesDialog(*doc, &frame);
            dialog->setObjectName(QStringLiteral("ExportFramesDialog"));
            dialog->setAttribute(Qt::WA_DeleteOnClose);
            dialog->open();
        },
        hasFrame);
}
