// "&Batch Convert...": many files to pictures or pages without opening them.

#include "app/CMainFrame.h"
#include "app/Command.h"
#include "app/commands/CommandTable.h"
#include "app/commands/CommandTargets.h"
#include "app/commands/Commands.h"
#include "app/dialogs/BatchConvertDialog.h"

void addBatchConvertCommands(CommandTable& table, CMainFrame& frame)
{
    const auto startFolder = followWorkingDirectory(frame);
    table.add(Command::BatchConvert, [&frame, startFolder] {
        BatchConvertDialog dialog(&frame);
        // The folder to scan starts as the working directory, ready to be scanned.
        dialog.scanList()->setFolder(*startFolder);
        dialog.exec();
    });
}
