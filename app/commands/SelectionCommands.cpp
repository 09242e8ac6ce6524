#include "app/commands/CommandTable.h"
#include "app/commands/CommandTargets.h"
#include "app/commands/Commands.h"
#include "document/COrvoDoc.h"
#include "view/SelectionEdits.h"

namespace {

struct SelectionCommand {
    Command command;
    selectionedits::Edit edit;
};

constexpr SelectionCommand SelectionCommands[] = {
    { Command::Unselect, selectionedits::Edit::Unselect },
    { Command::InverseSelection, selectionedits::Edit::InverseSelection },
    { Command::Clear, selectionedits::Edit::Clear },
    { Command::CropToSelection, selectionedits::Edit::CropToSelection },
};

} // namespace

void addSelectionCommands(CommandTable& table, CMainFrame& frame)
{
    for (const SelectionCommand& entry : SelectionCommands) {
        table.add(
            entry.command,
            [&frame, entry] {
                if (COrvoDoc* doc = activeDocument(frame))
                    selectionedits::apply(*doc, entry.edit);
            },
            [&frame, entry] {
                const COrvoDoc* doc = activeDocument(frame);
                return doc && selectionedits::canApply(*doc, entry.edit);
            });
    }
}
