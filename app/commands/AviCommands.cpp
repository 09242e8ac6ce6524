// "Export as &AVI...": the frames of a multi-frame document as a movie,
// rendered on the worker threads and written as they come.

#include "app/CMainFrame.h"
#include "app/ExportJob.h"
#include "app/Settings.h"
#include "app/commands/CommandTable.h"
#include "app/commands/CommandTargets.h"
#include "app/commands/Commands.h"
#include "app/commands/ExportNames.h"
#include "app/dialogs/FramePreviewIcon.h"
#include "app/dialogs/VideoSetupDialog.h"
#include "document/COrvoDoc.h"
#include "document/ExportPictures.h"
#include "export/AviWriter.h"
#include "export/ExportFormats.h"

#include <QDesktopServices>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QSettings>
#include <QUrl>

#include <optional>

namespace {

using exporting::ExportError;

const QString NotEnoughSpace = QStringLiteral("There is not enough space on disk!");
const QString TooLarge = QStringLiteral("The movie would be larger than 1 GB, the most an AVI file can hold.\n"
                                        "Choose fewer frames, a smaller size or Motion-JPEG.");
const QString Skipped = QStringLiteral("%1 frame(s) of another size than the first were left out of the movie.");

VideoSetupDialog::Parameters startingChoices(const COrvoDoc& doc, QSettings& store)
{
    const document::VideoChoices& video = doc.videoChoices();
    VideoSetupDialog::Parameters start;
    start.include = video.include;
    start.include.resize(static_cast<std::size_t>(doc.frameCount()), 1);
    start.frameTime = doc.frameTime();
    start.colour = video.colour;
    start.sizeMode = video.sizeMode;
    start.width = video.width;
    start.height = video.height;
    start.constrain = doc.exportChoices().constrain;
    using settings::SettingsGroup;
    start.scalingMethod = settings::readNumber(store, SettingsGroup, settings::VideoScalingMethod, 0, 0, 1);
    start.codec = static_cast<VideoSetupDialog::Codec>(settings::readNumber(store, SettingsGroup, settings::VideoCodec, 0, 0, 1));
    start.openVideo = settings::readNumber(store, SettingsGroup, settings::OpenVideo, 1, 0, 1) != 0;
    return start;
}

void keepChoices(COrvoDoc& doc, QSettings& store, const VideoSetupDialog::Parameters& chosen)
{
    document::VideoChoices& video = doc.videoChoices();
    video.include = chosen.include;
    video.colour = chosen.colour;
    video.sizeMode = chosen.sizeMode;
    video.width = chosen.width;
    video.height = chosen.height;
    doc.exportChoices().constrain = chosen.constrain;
    doc.setFrameTime(chosen.frameTime);
    using settings::SettingsGroup;
    const bool compressed = chosen.codec != VideoSetupDialog::Codec::Uncompressed;
    settings::writeNumber(store, SettingsGroup, settings::OpenVideo, chosen.openVideo ? 1 : 0);
    settings::writeNumber(store, SettingsGroup, settings::ShowCodecs, compressed ? 1 : 0);
    settings::writeNumber(store, SettingsGroup, settings::VideoCodec, static_cast<int>(chosen.codec));
    settings::writeNumber(store, SettingsGroup, settings::UseScalingInVideo,
                          chosen.sizeMode != document::SizeMode::Actual ? 1 : 0);
    settings::writeNumber(store, SettingsGroup, settings::VideoScalingMethod, chosen.scalingMethod);
}

struct Outcome {
    std::optional<exporting::Error> failure;
    exporting::AviSummary summary;
};

Outcome writeMovie(CMainFrame& frame, const COrvoDoc& doc, const QString& path,
                   const VideoSetupDialog::Parameters& chosen)
{
    std::vector<int> frames;
    for (std::size_t k = 0; k < chosen.include.size(); ++k) {
        if (chosen.include[k] != 0)
            frames.push_back(static_cast<int>(k));
    }
    Outcome outcome;
    if (frames.empty())
        return outcome;
    const bool scaled = chosen.sizeMode != document::SizeMode::Actual;
    const std::int32_t width = scaled ? chosen.width : 0;
    const std::int32_t height = scaled ? chosen.height : 0;
    const imaging::FrameImage* first = doc.frame(frames.front());
    const std::int32_t expectedWidth = scaled ? width : first ? first->width() : 0;
    const std::int32_t expectedHeight = scaled ? height : first ? first->height() : 0;
    const exporting::AviSettings settings {
        chosen.frameTime,
        chosen.codec == VideoSetupDialog::Codec::MotionJpeg ? exporting::AviCodec::MotionJpeg
                                                             : exporting::AviCodec::Uncompressed,
        chosen.colour ? exporting::AviColour::Rgb : exporting::AviColour::Grey,
        90,
    };
    const exporting::AviMovie movie {
        settings, frames, width, height, expectedWidth, expectedHeight,
        chosen.scalingMethod == 1 ? exporting::Scaling::Bilinear : exporting::Scaling::Nearest, 0,
    };
    const exporting::PictureSource source = document::exportPictureSource(doc);
    runExportJob(&frame, static_cast<int>(frames.size()), [&](const exporting::Progress& progress) {
        auto written = exporting::writeAviMovie(QFile::encodeName(path).toStdString(), movie, source, progress);
        if (written)
            outcome.summary = *written;
        else
            outcome.failure = written.error();
        return written.has_value();
    });
    return outcome;
}

void tell(CMainFrame& frame, QMessageBox::Icon icon, const QString& text)
{
    QMessageBox box(icon, CMainFrame::programName(), text, QMessageBox::Ok, &frame);
    box.exec();
}

void exportAvi(CMainFrame& frame)
{
    COrvoDoc* doc = activeDocument(frame);
    if (!doc || doc->frameCount() <= 1)
        return;
    auto store = settings::open();
    if (!store)
        return;
    const QString folder = settings::readString(*store, settings::SettingsGroup, settings::AviExportDirectory);
    const QString start = (folder.isEmpty() ? QString() : folder) + exportBaseName(*doc) + QStringLiteral(".avi");
    const QString filter = QString::fromUtf8(exporting::formatInfo(exporting::ExportFormat::Avi).filter);
    QFileDialog save(&frame, QObject::tr("Export as AVI"), start, filter);
    save.setObjectName(QStringLiteral("AviSaveDialog"));
    save.setAcceptMode(QFileDialog::AcceptSave);
    save.setDefaultSuffix(QStringLiteral("avi"));
    if (save.exec() != QDialog::Accepted || save.selectedFiles().isEmpty())
        return;
    const QString path = save.selectedFiles().constFirst();

    const imaging::FrameImage* current = doc->frame();
    const VideoSetupDialog::Facts facts {
        current ? current->width() : 1, current ? current->height() : 1, doc->zoom(), doc->headerFrameTime(),
        doc->currentFrameIndex(), framePreview(*doc, 128),
    };
    const auto chosen = VideoSetupDialog::ask(startingChoices(*doc, *store), facts, &frame);
    if (!chosen)
        return;
    keepChoices(*doc, *store, *chosen);

    const Outcome outcome = writeMovie(frame, *doc, path, *chosen);
    settings::writeString(*store, settings::SettingsGroup, settings::AviExportDirectory,
                          QFileInfo(path).absolutePath() + QLatin1Char('/'));
    if (outcome.failure) {
        switch (outcome.failure->code) {
        case ExportError::Cancelled: break;
        case ExportError::NotEnoughSpace: tell(frame, QMessageBox::Warning, NotEnoughSpace); break;
        case ExportError::TooLarge: tell(frame, QMessageBox::Warning, TooLarge); break;
        default: {
            const auto message = exporting::formatInfo(exporting::ExportFormat::Avi).failureMessage;
            tell(frame, QMessageBox::Critical,
                 QString::fromUtf8(message.data(), static_cast<qsizetype>(message.size())));
        }
        }
        return;
    }
    if (outcome.summary.frames == 0)
        return;
    if (outcome.summary.skipped > 0)
        tell(frame, QMessageBox::Information, Skipped.arg(outcome.summary.skipped));
    if (chosen->openVideo)
        QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

} // namespace

void addAviCommands(CommandTable& table, CMainFrame& frame)
{
    table.add(
        Command::ExportAvi, [&frame] { exportAvi(frame); },
        [&frame] {
            const COrvoDoc* doc = activeDocument(frame);
            return doc && doc->frameCount() > 1;
        });
}
