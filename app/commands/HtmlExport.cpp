// The HTML page of a document with its JPEG pictures, and "Export as &HTML...".

#include "app/CMainFrame.h"
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
#include "export/HtmlPageFiles.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QSettings>

#include <filesystem>

namespace {

std::filesystem::path fileSystemPath(const QString& path) { return std::filesystem::path(QFile::encodeName(path).toStdString()); }

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
        // The page goes where the user said, under the name the dialog
        // proposed as its title; only the picture folder follows the name.
        choice.pageFile = info.fileName();
        choice.title = exportBaseName(*chosen) + QStringLiteral(".html");
        choice.frames = reports::allFrames(*chosen);
        if (const auto written = exportHtmlPage(&frame, *chosen, choice); !written) {
            auto* box = new QMessageBox(QMessageBox::Critical, CMainFrame::programName(),
                                        failureText(QObject::tr("File creation error"), written.error().detail),
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

exporting::Result<void> exportHtmlPage(QWidget* parent, const COrvoDoc& doc, const HtmlExportChoice& choice)
{
    const dicom::DicomDataset* dataset = doc.dataset();
    if (!dataset)
        return exporting::Error { exporting::ExportError::RenderFailed, {} };
    exporting::HtmlExportOptions options;
    options.report = reports::reportOptions(doc);
    options.title
        = reports::shownText(doc, choice.title.isEmpty() ? choice.name : choice.title, options.report).toStdString();
    options.pageFileName = QFile::encodeName(choice.pageFile).toStdString();
    options.heading = reports::shownText(doc, doc.fileTitle(), options.report).toStdString();
    options.date = doc.fileDate().toStdString();
    options.fileSize = static_cast<std::uint64_t>(std::max<qint64>(0, doc.fileSize()));
    options.header = choice.header;
    options.continual = choice.continual;
    options.zoom = doc.zoom();
    options.quality = choice.quality;
    options.scaling = choice.scaling;
    const exporting::PictureSource source = document::exportPictureSource(doc);
    // Cancelling keeps the pictures written so far: the page lists just those.
    exporting::Result<void> outcome;
    runExportJob(parent, static_cast<int>(choice.frames.size()), [&](const exporting::Progress& progress) {
        const auto written = exporting::exportHtml(fileSystemPath(choice.directory),
                                                   QFile::encodeName(choice.name).toStdString(), *dataset, source,
                                                   choice.frames, options, progress);
        if (!written)
            outcome = written.error();
        return written.has_value();
    });
    return outcome;
}

void addHtmlExportCommands(CommandTable& table, CMainFrame& frame)
{
    table.add(Command::ExportHtml, [&frame] { exportFromMenu(frame); },
              [&frame] { return documentWithImage(frame) != nullptr; });
}
