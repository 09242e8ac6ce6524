// "&Save\tCtrl+S" and "Save &As...": the active document written as a
// secondary-capture DICOM file, guarded against overwriting other software's files.

#include "app/CMainFrame.h"
#include "app/commands/CommandTable.h"
#include "app/commands/CommandTargets.h"
#include "app/commands/Commands.h"
#include "document/COrvoDoc.h"
#include "net/UrlAddress.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPointer>

#include <functional>

namespace {

const QString OverwriteRefused
    = QStringLiteral("I can't overwrite a file created by other \nsoftware. Please select an other name.");
const QString CannotCreate = QStringLiteral("I can't create the file.");
const QString FramesDiffer = QStringLiteral("Frames differ in size or type; use Export.");
const QString ReloadFailed = QStringLiteral("The file was written, but it could not be read back:\n%1\n"
                                            "The window still shows the frames as they were before saving.");

// Learns whether the document was written; false when the user cancelled
// or the write failed.
using Done = std::function<void(bool saved)>;

void saveAs(CMainFrame& frame, const Done& done);

// Window-modal, so the event loop runs on while it is up.
void tell(CMainFrame& frame, QMessageBox::Icon icon, const QString& text, const std::function<void()>& then = {})
{
    auto* box = new QMessageBox(icon, CMainFrame::programName(), text, QMessageBox::Ok, &frame);
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
    dicom::SaveOptions options;
    options.keepPatientAndStudy = frame.options().keepPatientAndStudy;
    const COrvoDoc::SaveResult result = doc->save(path, options);
    switch (result) {
    case COrvoDoc::SaveResult::Saved:
        doc->markSaved();
        if (CChildFrame* child = frame.activeChild())
            child->setWindowTitle(doc->fileTitle());
        // As after any load: the select-file bar and the recent files learn the file.
        if (!doc->sourcePaths().isEmpty())
            frame.fileOpened(doc->sourcePaths().first());
        break;
    case COrvoDoc::SaveResult::FramesDiffer: tell(frame, QMessageBox::Warning, FramesDiffer); break;
    case COrvoDoc::SaveResult::CannotCreate:
        tell(frame, QMessageBox::Critical,
             doc->saveError().isEmpty() ? CannotCreate : CannotCreate + QLatin1Char('\n') + doc->saveError());
        break;
    case COrvoDoc::SaveResult::ReloadFailed:
        tell(frame, QMessageBox::Critical, ReloadFailed.arg(doc->saveError()));
        break;
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
    // A private copy's path is the program's cache: the address names the file instead.
    const QString proposed = doc->sourceIsPrivateCopy()
        ? QDir::current().filePath(QString::fromStdString(net::proposedSaveName(doc->fileTitle().toStdString())))
        : doc->filePath();
    auto* dialog = new QFileDialog(&frame, QObject::tr("Save As"), proposed, QObject::tr("All Files (*)"));
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
