#include "app/commands/CommandTable.h"
#include "app/commands/CommandTargets.h"
#include "app/commands/Commands.h"
#include "app/dialogs/FramesDialog.h"
#include "document/COrvoDoc.h"

void addFrameListCommands(CommandTable& table, CMainFrame& frame)
{
    table.add(
        Command::AllFrames,
        [&frame] {
            if (COrvoDoc* doc = activeDocument(frame))
                FramesDialog::showFrames(*doc, &frame);
        },
        [&frame] {
            const COrvoDoc* doc = activeDocument(frame);
            return doc && doc->frameCount() > 1;
        });
}
