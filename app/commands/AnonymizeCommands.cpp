// "&Anonymize...", "&Batch Anonymize..." and "Anonymizing &Options...".

#include "app/CMainFrame.h"
#include "app/Command.h"
#include "app/Settings.h"
#include "app/commands/CommandTable.h"
#include "app/commands/CommandTargets.h"
#include "app/commands/Commands.h"
#include "app/dialogs/AnonymizeOptionsDialog.h"
#include "app/dialogs/AttentionDialog.h"
#include "app/dialogs/BatchAnonymizeDialog.h"
#include "dicom/BatchAnonymizer.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QProgressDialog>
#include <QSettings>

#include <filesystem>
#include <map>
#include <memory>
#include <vector>

namespace {

// The single-file messages, trailing blanks included; failures the messages
// do not name take the write failure's text.
QString failureText(const dicom::AnonFailure& failure, const QString& input, const QString& output)
{
    switch (failure.code) {
    case dicom::AnonError::FileNotFound:
        return input + QStringLiteral("    \n File not found!");
    case dicom::AnonError::ZeroLength:
        return QStringLiteral("File has zero length.    ");
    case dicom::AnonError::ReadFailed:
        return QStringLiteral("Error during reading file.    ");
    case dicom::AnonError::NotCreated:
        return output + QStringLiteral("    \n File not created!");
    default:
        return QObject::tr("I can't create the file.");
    }
}

void anonymizeTo(CMainFrame& frame, const QString& input, const QString& output)
{
    auto store = settings::open();
    if (!store)
        return;
    const auto options = AnonymizeOptionsDialog::load(*store);
    dicom::UidMap uids; // one run: this file
    // The offsets come from the file's own bytes, never from the document,
    // which may no longer match the file.
    if (auto done = dicom::anonymizeFile(input.toStdString(), output.toStdString(), options, &uids); !done) {
        QMessageBox::critical(&frame, CMainFrame::programName(), failureText(done.error(), input, output));
        return;
    }
    AttentionDialog::applyRule(*store, &frame);
}

// The name is asked for window-modally, so that the frame's loop keeps
// running; the file path is taken now, the document may be gone by the answer.
void anonymizeOne(CMainFrame& frame, const QString& input)
{
    // "(*)": a filter with a dot would hide the files that have none.
    auto* dialog = new QFileDialog(&frame, QObject::tr("Anonymize"),
                                   QString::fromStdString(dicom::anonymizedName(input.toStdString())),
                                   QObject::tr("All Files (*)"));
    dialog->setObjectName(QStringLiteral("AnonymizeSaveDialog"));
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(dialog, &QFileDialog::fileSelected, &frame,
                     [&frame, input](const QString& output) { anonymizeTo(frame, input, output); });
    dialog->open();
}

QString summary(const std::vector<dicom::BatchItem>& items)
{
    int written = 0, skipped = 0, failed = 0;
    QStringList details;
    for (const auto& item : items) {
        const QString name = QString::fromStdString(item.input.string());
        switch (item.outcome) {
        case dicom::BatchOutcome::Written:
            ++written;
            break;
        case dicom::BatchOutcome::SkippedInput:
            ++skipped;
            details << QObject::tr("%1: skipped, it would replace an input file").arg(name);
            break;
        case dicom::BatchOutcome::SkippedNotDicom:
            ++skipped;
            details << QObject::tr("%1: not DICOM, skipped").arg(name);
            break;
        case dicom::BatchOutcome::Failed:
            ++failed;
            details << QObject::tr("%1: not anonymized").arg(name);
            break;
        }
    }
    QString message = QObject::tr("%1 files written, %2 skipped, %3 failed.    ").arg(written).arg(skipped).arg(failed);
    if (!details.isEmpty())
        message += QLatin1Char('\n') + details.join(QLatin1Char('\n'));
    return message;
}

// Every file of a document of several: each copy beside its input with
// "_anon" before the extension, one UID mapping for them all, one progress
// window, one message of the counts.
void anonymizeEach(CMainFrame& frame, const QStringList& inputs)
{
    namespace fs = std::filesystem;
    auto store = settings::open();
    if (!store)
        return;
    const auto options = AnonymizeOptionsDialog::load(*store);
    std::vector<fs::path> paths;
    for (const QString& input : inputs)
        paths.emplace_back(QFile::encodeName(input).toStdString());
    // One batch runs them all; one plan per folder names each copy in its input's folder.
    dicom::BatchAnonymizer runner(fs::path(), true, options, paths);
    std::map<fs::path, std::unique_ptr<dicom::BatchAnonymizer>> planners;
    std::vector<dicom::BatchItem> items;
    QProgressDialog progress(QObject::tr("Please wait..."), QObject::tr("Cancel"), 0, static_cast<int>(paths.size()),
                             &frame);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(0);
    for (const auto& path : paths) {
        if (progress.wasCanceled())
            break;
        auto& planner = planners[path.parent_path()];
        if (!planner)
            planner = std::make_unique<dicom::BatchAnonymizer>(path.parent_path(), true, options, paths);
        items.push_back(planner->plan(path));
        runner.run(items.back());
        progress.setValue(static_cast<int>(items.size()));
        QCoreApplication::processEvents();
    }
    progress.reset();
    QMessageBox::information(&frame, CMainFrame::programName(), summary(items));
    AttentionDialog::applyRule(*store, &frame);
}

// The document's DICOM files: a picture it was read from holds no header.
void anonymizeDocument(CMainFrame& frame, const COrvoDoc& doc)
{
    QStringList inputs;
    for (const QString& path : doc.sourcePaths()) {
        if (COrvoDoc::documentPath(path) == path)
            inputs << path;
    }
    if (inputs.isEmpty())
        QMessageBox::information(&frame, CMainFrame::programName(),
                                 QObject::tr("The document holds no DICOM file: there is nothing to anonymize.    "));
    else if (doc.sourcePaths().size() == 1)
        anonymizeOne(frame, inputs.front());
    else
        anonymizeEach(frame, inputs);
}

} // namespace

void addAnonymizeCommands(CommandTable& table, CMainFrame& frame)
{
    const auto startFolder = followWorkingDirectory(frame);
    table.add(
        Command::Anonymize,
        [&frame] {
            if (const COrvoDoc* doc = activeDocument(frame))
                anonymizeDocument(frame, *doc);
        },
        [&frame] {
            const COrvoDoc* doc = activeDocument(frame);
            return doc && !doc->sourcePaths().isEmpty();
        });
    table.add(Command::BatchAnonymize, [&frame, startFolder] {
        BatchAnonymizeDialog dialog(&frame);
        if (!startFolder->isEmpty())
            dialog.scanList()->setFolder(*startFolder);
        dialog.exec();
    });
    table.add(Command::AnonymizingOptions, [&frame] {
        auto store = settings::open();
        if (!store)
            return;
        if (auto chosen = AnonymizeOptionsDialog::ask(AnonymizeOptionsDialog::load(*store), &frame))
            AnonymizeOptionsDialog::save(*store, *chosen);
    });
}
