#include "app/commands/EditCommands.h"

#include "app/commands/CommandTargets.h"
#include "app/Command.h"
#include "document/COrvoDoc.h"

#include <QAction>

namespace {

// The step goes back (or forward) on the current frame, and on the others
// too while they are edited together.
void step(CMainFrame& frame, bool (COrvoDoc::*change)(int))
{
    COrvoDoc* doc = activeDocument(frame);
    if (!doc)
        return;
    const int current = doc->currentFrameIndex();
    const bool all = doc->applyToAll();
    (doc->*change)(current);
    for (int f = 0; all && f < doc->frameCount(); ++f) {
        if (f != current)
            (doc->*change)(f);
    }
    updateEditCommands(frame);
}

} // namespace

void connectEditCommands(CMainFrame& frame)
{
    QObject::connect(frame.action(Command::Undo), &QAction::triggered, &frame, [&frame] { step(frame, &COrvoDoc::undo); });
    QObject::connect(frame.action(Command::Redo), &QAction::triggered, &frame, [&frame] { step(frame, &COrvoDoc::redo); });
}

void updateEditCommands(CMainFrame& frame)
{
    const COrvoDoc* doc = activeDocument(frame);
    const int current = doc ? doc->currentFrameIndex() : -1;
    frame.action(Command::Undo)->setEnabled(doc && doc->canUndo(current));
    frame.action(Command::Redo)->setEnabled(doc && doc->canRedo(current));
}
