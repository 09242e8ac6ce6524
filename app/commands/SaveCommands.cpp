// "&Save\tCtrl+S" and "Save &As...": the active document written as a
// secondary-capture DICOM file, guarded against overwriting other software's files.

#include "app/commands/CommandTable.h"
#include "app/commands/CommandTargets.h"
#include "app/commands/Commands.h"
#include "document/COrvoDoc.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QPointer>

namespace {

const QString OverwriteRefused
    = QStringLiteral("I can't overwrite a file created by other \nsoftware. Please select an other name.");
const QString CannotCreate = QStringLiteral("I can't create the file.");
const QString FramesDiffer = QStringLiteral("Frames differ in size or type; use Export.");

void saveAs(CMainFrame& frame);

// Window-modal, so the event loop runs on while it is up.
void tell(CMainFrame& frame, QMessageBox::Icon icon, const QString& text, const std::function<void()>& then = {})
{
    auto* box = new QMessageBox(icon, frame.windowTitle(), text, QMessageBox::Ok, &frame);
    box->setAttribute(Qt::WA_DeleteOnClose);
    if (then)
        QObject::connect(box, &QMessageBox::finished, &frame, [then](int) { then(); });
    box->open();
}

void saveTo(CMainFrame& frame, const QString& path)
{
    COrvoDoc* doc = documentWithImage(frame);
    if (!doc)
        return;
    if (!COrvoDoc::mayOverwrite(path)) {
        tell(frame, QMessageBox::Warning, OverwriteRefused, [&frame] { saveAs(frame); });
        return;
    }
    switch (doc->save(path)) {
    case COrvoDoc::SaveResult::Saved:
        if (CChildFrame* child = frame.activeChild())
            child->setWindowTitle(doc->fileTitle());
        break;
    case COrvoDoc::SaveResult::FramesDiffer: tell(frame, QMessageBox::Warning, FramesDiffer); break;
    case COrvoDoc::SaveResult::CannotCreate: tell(frame, QMessageBox::Critical, CannotCreate); break;
    case COrvoDoc::SaveResult::NothingToSave: break;
    }
    frame.commands().update();
}

void saveAs(CMainFrame& frame)
{
    const COrvoDoc* doc = documentWithImage(frame);
    if (!doc)
        return;
    auto* dialog = new QFileDialog(&frame, QObject::tr("Save As"), doc->filePath(), QObject::tr("All Files (*)"));
    dialog->setObjectName(QStringLiteral("SaveAsDialog"));
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(dialog, &QFileDialog::fileSelected, &frame, [&frame](const QString& path) { saveTo(frame, path); });
    dialog->open();
}

} // namespace

void addSaveCommands(CommandTable& table, CMainFrame& frame)
{
    const auto canSave = [&frame] { return documentWithImage(frame) != nullptr; };
    table.add(
        Command::Save,
        [&frame] {
            const COrvoDoc* doc = documentWithImage(frame);
            if (!doc)
                return;
            if (doc->saveNeedsName())
                saveAs(frame);
            else
                saveTo(frame, doc->filePath());
        },
        canSave);
    table.add(Command::SaveAs, [&frame] { saveAs(frame); }, canSave);
}
