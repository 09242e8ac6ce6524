// "&Batch Convert...": many files to pictures or pages without opening them.

#include "app/CMainFrame.h"
#include "app/Command.h"
#include "app/commands/CommandTable.h"
#include "app/commands/Commands.h"
#include "app/dialogs/BatchConvertDialog.h"

void addBatchConvertCommands(CommandTable& table, CMainFrame& frame)
{
    table.add(Command::BatchConvert, [&frame] {
        BatchConvertDialog dialog(&frame);
        dialog.exec();
    });
}
