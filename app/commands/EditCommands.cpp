#include "app/commands/CommandTable.h"
#include "app/commands/CommandTargets.h"
#include "app/commands/Commands.h"
#include "document/COrvoDoc.h"


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
}

} // namespace

void addEditCommands(CommandTable& table, CMainFrame& frame)
{
    const auto can = [&frame](bool (COrvoDoc::*test)(int) const) {
        return [&frame, test] {
            const COrvoDoc* doc = activeDocument(frame);
            return doc && (doc->*test)(doc->currentFrameIndex());
        };
    };
    table.add(Command::Undo, [&frame] { step(frame, &COrvoDoc::undo); }, can(&COrvoDoc::canUndo));
    table.add(Command::Redo, [&frame] { step(frame, &COrvoDoc::redo); }, can(&COrvoDoc::canRedo));
}
