// "Open &Multiple Files...": a folder's DICOM files in groups, a group
// opened as one document.

#include "app/CMainFrame.h"
#include "app/Command.h"
#include "app/commands/CommandTable.h"
#include "app/commands/Commands.h"
#include "app/commands/CurrentFolder.h"
#include "app/dialogs/OpenMultipleDialog.h"

void addOpenMultipleCommands(CommandTable& table, CMainFrame& frame)
{
    table.add(Command::OpenMultiple, [&frame] {
        OpenMultipleDialog dialog(currentFolder(frame), &frame);
        QObject::connect(&dialog, &OpenMultipleDialog::directoryChosen, &frame, &CMainFrame::currentDirectoryChosen);
        QObject::connect(&dialog, &OpenMultipleDialog::openRequested, &frame, &CMainFrame::openAsOneRequested);
        dialog.exec();
    });
}
