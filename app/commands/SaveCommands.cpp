// "&Save\tCtrl+S" and "Save &As...": the active document written as a
// secondary-capture DICOM file, guarded against overwriting other software's files.

#include "app/commands/CommandTable.h"
#include "app/commands/CommandTargets.h"
#include "app/commands/Commands.h"
#include "document/COrvoDoc.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QPointer>

#include <functional>

namespace {

const QString OverwriteRefused
    = QStringLiteral("I can't overwrite a file created by other \nsoftware. Please select an other name.");
const QString CannotCreate = QStringLiteral("I can't create the file.");
const QString FramesDiffer = QStringLiteral("Frames differ in size or type; use Export.");

// Learns whether the document was written; false when the user cancelled
// or the write failed.
using Done = std::function<void(bool saved)>;

void saveAs(CMainFrame& frame, const Done& done);

// Window-modal, so the event loop runs on while it is up.
void tell(CMainFrame& frame, QMessageBox::Icon icon, const QString& text, const std::function<void()>& then = {})
{
    auto* box = new QMessageBox(icon, frame.windowTitle(), text, QMessageBox::Ok, &frame);
    box->setAttribute(Qt::WA_DeleteOnClose);
    if (then)
        QObject::connect(box, &QMessageBox::finished, &frame, [then](int) { then(); });
    box->open();
}

void saveTo(CMainFrame& frame, const QString& path, const Done& done)
{
    COrvoDoc* doc = documentWithImage(frame);
    if (!doc)
        return done(false);
    if (!COrvoDoc::mayOverwrite(path)) {
        tell(frame, QMessageBox::Warning, OverwriteRefused, [&frame, done] { saveAs(frame, done); });
        return;
    }
    const COrvoDoc::SaveResult result = doc->save(path);
    switch (result) {
    case COrvoDoc::SaveResult::Saved:
        doc->markSaved();
        if (CChildFrame* child = frame.activeChild())
            child->setWindowTitle(doc->fileTitle());
        break;
    case COrvoDoc::SaveResult::FramesDiffer: tell(frame, QMessageBox::Warning, FramesDiffer); break;
    case COrvoDoc::SaveResult::CannotCreate: tell(frame, QMessageBox::Critical, CannotCreate); break;
    case COrvoDoc::SaveResult::NothingToSave: break;
    }
    frame.commands().update();
    done(result == COrvoDoc::SaveResult::Saved);
}

void saveAs(CMainFrame& frame, const Done& done)
{
    const COrvoDoc* doc = documentWithImage(frame);
    if (!doc)
        return done(false);
    auto* dialog = new QFileDialog(&frame, QObject::tr("Save As"), doc->filePath(), QObject::tr("All Files (*)"));
    dialog->setObjectName(QStringLiteral("SaveAsDialog"));
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(dialog, &QFileDialog::fileSelected, &frame,
        [&frame, done](const QString& path) { saveTo(frame, path, done); });
    QObject::connect(dialog, &QDialog::rejected, &frame, [done] { done(false); });
    dialog->open();
}

} // namespace

void saveActiveDocument(CMainFrame& frame, const std::function<void(bool saved)>& done)
{
    const COrvoDoc* doc = documentWithImage(frame);
    if (!doc)
        return done(false);
    if (doc->saveNeedsName())
        saveAs(frame, done);
    else
        saveTo(frame, doc->filePath(), done);
}

void addSaveCommands(CommandTable& table, CMainFrame& frame)
{
    const auto canSave = [&frame] { return documentWithImage(frame) != nullptr; };
    const auto ignore = [](bool) {};
    table.add(Command::Save, [&frame, ignore] { saveActiveDocument(frame, ignore); }, canSave);
    table.add(Command::SaveAs, [&frame, ignore] { saveAs(frame, ignore); }, canSave);
}
