// "&System Info...": a read-only report of this machine; nothing is stored.

#include "app/CMainFrame.h"
#include "app/commands/CommandTable.h"
#include "app/commands/Commands.h"
#include "app/dialogs/SystemInfoDialog.h"

void addSystemInfoCommands(CommandTable& table, CMainFrame& frame)
{
    table.add(Command::SystemInfo, [&frame] {
        SystemInfoDialog dialog(systeminfo::gatherReport(), systeminfo::queryOpenGl(), &frame);
        dialog.exec();
    });
}
