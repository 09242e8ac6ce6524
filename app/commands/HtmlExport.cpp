// The HTML page of a document with its JPEG pictures, and "Export as &HTML...".

#include "app/commands/HtmlExport.h"

#include "app/ExportJob.h"
#include "app/ReportContent.h"
#include "app/Settings.h"
#include "app/commands/CommandTable.h"
#include "app/commands/CommandTargets.h"
#include "app/commands/Commands.h"
#include "app/commands/ExportNames.h"
#include "document/COrvoDoc.h"
#include "document/ExportPictures.h"
#include "export/ExportFormats.h"
#include "export/FramePipeline.h"
#include "export/HtmlPage.h"
#include "export/ImageWriters.h"
#include "export/OutputFile.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QSettings>

#include <cmath>
#include <filesystem>

namespace {

std::filesystem::path fileSystemPath(const QString& path) { return std::filesystem::path(QFile::encodeName(path).toStdString()); }

std::int32_t zoomed(std::int32_t size, float zoom)
{
    return static_cast<std::int32_t>(std::max(1.0, std::round(size * static_cast<double>(zoom))));
}

// Writes one picture; its row is kept only when the file is complete.
bool writePicture(const QString& path, const exporting::Picture& picture, const HtmlExportChoice& choice, float zoom)
{
    auto sized = zoom == 1.0F ? exporting::Result<exporting::Picture>(picture)
                              : exporting::resamplePicture(picture, zoomed(picture.width, zoom),
                                                           zoomed(picture.height, zoom), choice.scaling);
    if (!sized)
        return false;
    return exporting::writeOutputFile(fileSystemPath(path), [&](std::ostream& out) {
               return exporting::writeJpeg(*sized, choice.quality, out);
           }).has_value();
}

const char* htmlDirectorySetting()
{
    static const std::string name(exporting::formatInfo(exporting::ExportFormat::Html).directorySetting);
    return name.c_str();
}

void exportFromMenu(CMainFrame& frame)
{
    const COrvoDoc* doc = documentWithImage(frame);
    if (!doc)
        return;
    const QString name = exportBaseName(*doc);
    auto store = settings::open();
    const QString start = settings::readString(*store, settings::SettingsGroup, htmlDirectorySetting());
    const QString initial = (start.isEmpty() ? QDir::currentPath() : start) + QLatin1Char('/') + name + QStringLiteral(".html");
    auto* dialog = new QFileDialog(&frame, QObject::tr("Export as HTML"), initial, QString::fromUtf8(exporting::formatInfo(exporting::ExportFormat::Html).filter));
    dialog->setObjectName(QStringLiteral("HtmlExportDialog"));
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setDefaultSuffix(QStringLiteral("html"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(dialog, &QFileDialog::fileSelected, &frame, [&frame](const QString& path) {
        const COrvoDoc* chosen = documentWithImage(frame);
        if (!chosen)
            return;
        const QFileInfo info(path);
        HtmlExportChoice choice;
        choice.directory = info.absolutePath() + QLatin1Char('/');
        choice.name = info.completeBaseName().isEmpty() ? info.fileName() : info.completeBaseName();
        choice.frames = reports::allFrames(*chosen);
        if (!exportHtmlPage(&frame, *chosen, choice)) {
            auto* box = new QMessageBox(QMessageBox::Critical, frame.windowTitle(), QObject::tr("File creation error"),
                                        QMessageBox::Ok, &frame);
            box->setAttribute(Qt::WA_DeleteOnClose);
            box->open();
            return;
        }
        settings::writeString(*settings::open(), settings::SettingsGroup, htmlDirectorySetting(), info.absolutePath());
    });
    dialog->open();
}

} // namespace

bool exportHtmlPage(QWidget* parent, const COrvoDoc& doc, const HtmlExportChoice& choice)
{
    const auto options = reports::reportOptions(doc);
    exporting::HtmlPageRequest page;
    page.title = reports::shownText(doc, choice.name, options).toStdString();
    page.heading = reports::shownText(doc, doc.fileTitle(), options).toStdString();
    page.date = doc.fileDate().toStdString();
    page.fileSize = static_cast<std::uint64_t>(std::max<qint64>(0, doc.fileSize()));
    if (choice.header)
        page.header = reports::reportHeader(doc, options);

    const std::string pageName = choice.name.toStdString();
    const QString folder = choice.directory + QString::fromStdString(exporting::pictureFolderName(pageName));
    if (!choice.frames.empty()) {
        page.pictures.emplace();
        if (QDir().mkpath(folder)) {
            const exporting::PictureSource source = document::exportPictureSource(doc);
            const float zoom = doc.zoom();
            auto& pictures = *page.pictures;
            const auto work = [&](const exporting::Progress& progress) {
                const auto sink = [&](std::size_t index, int frame, exporting::Result<exporting::Picture>&& picture) {
                    const int number = choice.continual ? static_cast<int>(index) + 1 : frame + 1;
                    const QString path = folder + QLatin1Char('/') + QString::fromStdString(exporting::pictureFileName(number));
                    if (picture && writePicture(path, *picture, choice, zoom))
                        pictures.push_back({ exporting::pictureSource(pageName, number), number });
                    return true;
                };
                // Cancelling keeps the pictures written so far: the page lists just those.
                static_cast<void>(exporting::renderInOrder(source, choice.frames, 0, 0, choice.scaling, 0, progress, sink));
                return true;
            };
            runExportJob(parent, static_cast<int>(choice.frames.size()), work);
        }
    }
    const QString pagePath = choice.directory + choice.name + QStringLiteral(".html");
    return exporting::writeOutputFile(fileSystemPath(pagePath), [&](std::ostream& out) -> exporting::Result<void> {
               if (!exporting::writeHtmlPage(out, page))
                   return exporting::Error { exporting::ExportError::WriteFailed, "the page could not be written" };
               return {};
           }).has_value();
}

void addHtmlExportCommands(CommandTable& table, CMainFrame& frame)
{
    table.add(Command::ExportHtml, [&frame] { exportFromMenu(frame); },
              [&frame] { return documentWithImage(frame) != nullptr; });
}
