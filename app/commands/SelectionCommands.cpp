#include "app/commands/SelectionCommands.h"

#include "app/commands/CommandTargets.h"
#include "app/Command.h"
#include "document/COrvoDoc.h"
#include "view/SelectionEdits.h"

#include <QAction>

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

void connectSelectionCommands(CMainFrame& frame)
{
    for (const SelectionCommand& entry : SelectionCommands) {
        QObject::connect(frame.action(entry.command), &QAction::triggered, &frame, [&frame, entry] {
            if (COrvoDoc* doc = activeDocument(frame))
                selectionedits::apply(*doc, entry.edit);
            updateSelectionCommands(frame);
        });
    }
}

void updateSelectionCommands(CMainFrame& frame)
{
    const COrvoDoc* doc = activeDocument(frame);
    for (const SelectionCommand& entry : SelectionCommands)
        frame.action(entry.command)->setEnabled(doc && selectionedits::canApply(*doc, entry.edit));
}
