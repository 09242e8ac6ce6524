// "&Anonymize...", "&Batch Anonymize..." and "Anonymizing &Options...".

#include "app/Command.h"
#include "app/Settings.h"
#include "app/commands/CommandTable.h"
#include "app/commands/CommandTargets.h"
#include "app/commands/Commands.h"
#include "app/dialogs/AnonymizeOptionsDialog.h"
#include "app/dialogs/AttentionDialog.h"
#include "app/dialogs/BatchAnonymizeDialog.h"
#include "dicom/BatchAnonymizer.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QSettings>

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
        QMessageBox::critical(&frame, frame.windowTitle(), failureText(done.error(), input, output));
        return;
    }
    AttentionDialog::applyRule(*store, &frame);
}

// The name is asked for window-modally, so that the frame's loop keeps
// running; the file path is taken now, the document may be gone by the answer.
void anonymizeDocument(CMainFrame& frame, const COrvoDoc& doc)
{
    const QString input = doc.filePath();
    auto* dialog = new QFileDialog(&frame, QObject::tr("Anonymize"),
                                   QString::fromStdString(dicom::anonymizedName(input.toStdString())),
                                   QObject::tr("All Files (*.*)"));
    dialog->setObjectName(QStringLiteral("AnonymizeSaveDialog"));
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(dialog, &QFileDialog::fileSelected, &frame,
                     [&frame, input](const QString& output) { anonymizeTo(frame, input, output); });
    dialog->open();
}

} // namespace

void addAnonymizeCommands(CommandTable& table, CMainFrame& frame)
{
    table.add(
        Command::Anonymize,
        [&frame] {
            if (const COrvoDoc* doc = activeDocument(frame))
                anonymizeDocument(frame, *doc);
        },
        [&frame] {
            const COrvoDoc* doc = activeDocument(frame);
            return doc && !doc->filePath().isEmpty();
        });
    table.add(Command::BatchAnonymize, [&frame] {
        BatchAnonymizeDialog dialog(&frame);
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
