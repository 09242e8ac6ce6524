#include "app/UnsavedEdits.h"

#include "app/CChildFrame.h"
#include "app/CMainFrame.h"
#include "app/commands/Commands.h"
#include "document/COrvoDoc.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QPointer>

namespace {

const QString PromptName = QStringLiteral("SaveChangesPrompt");

bool questionOpen(const CMainFrame& frame)
{
    const QMessageBox* open = frame.findChild<QMessageBox*>(PromptName);
    return open && open->isVisible();
}

} // namespace

bool hasUnsavedEdits(const CMainFrame& frame, const CChildFrame& child)
{
    if (!child.document().isModified())
        return false;
    // A second window of the same document keeps the edits alive.
    for (QMdiSubWindow* window : frame.mdiArea()->subWindowList()) {
        const auto* other = qobject_cast<const CChildFrame*>(window);
        if (other && other != &child && &other->document() == &child.document())
            return false;
    }
    return true;
}

CChildFrame* firstWindowWithUnsavedEdits(const CMainFrame& frame)
{
    for (QMdiSubWindow* window : frame.mdiArea()->subWindowList(QMdiArea::CreationOrder)) {
        auto* child = qobject_cast<CChildFrame*>(window);
        if (child && hasUnsavedEdits(frame, *child))
            return child;
    }
    return nullptr;
}

void askToSaveEdits(CMainFrame& frame, CChildFrame& child, const std::function<void()>& proceed,
                    const std::function<void()>& kept)
{
    if (questionOpen(frame))
        return;
    frame.mdiArea()->setActiveSubWindow(&child);
    auto* box = new QMessageBox(QMessageBox::Warning, CMainFrame::programName(),
        QObject::tr("Save changes to %1?").arg(child.document().fileTitle()),
        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, &frame);
    box->setObjectName(PromptName);
    box->setDefaultButton(QMessageBox::Yes);
    box->setEscapeButton(QMessageBox::Cancel);
    box->setAttribute(Qt::WA_DeleteOnClose);
    const QPointer<CChildFrame> asked = &child;
    const auto keep = [kept] {
        if (kept)
            kept();
    };
    QObject::connect(box, &QMessageBox::finished, &frame, [&frame, box, asked, proceed, keep](int) {
        const QMessageBox::StandardButton answer = box->standardButton(box->clickedButton());
        // The window may have gone while the question was up.
        if (!asked || answer == QMessageBox::Cancel || answer == QMessageBox::NoButton)
            return keep();
        if (answer == QMessageBox::No)
            return proceed();
        // Save acts on the active window, which must still be the one asked about.
        frame.mdiArea()->setActiveSubWindow(asked);
        if (frame.activeChild() != asked)
            return keep();
        saveActiveDocument(frame, [asked, proceed, keep](bool saved) {
            if (saved && asked)
                proceed();
            else
                keep();
        });
    });
    box->open();
}

bool mayCloseWindow(CMainFrame& frame, CChildFrame& child)
{
    if (!hasUnsavedEdits(frame, child))
        return true;
    const QPointer<CChildFrame> window = &child;
    askToSaveEdits(frame, child, [window] {
        if (window)
            window->closeWithoutAsking();
    });
    return false;
}
