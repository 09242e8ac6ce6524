// "Open by &Header...": a file picked by its header in a folder tree.

#include "app/CMainFrame.h"
#include "app/Command.h"
#include "app/commands/CommandTable.h"
#include "app/commands/Commands.h"
#include "app/dialogs/OpenFileDialog.h"

#include <QDir>
#include <QFileInfo>

void addOpenCommands(CommandTable& table, CMainFrame& frame)
{
    table.add(Command::OpenByHeader, [&frame] {
        const auto file = OpenFileDialog::choose(QDir::currentPath(), &frame);
        // Through the pending list, titled with the file's name.
        if (file)
            emit frame.openAsOneRequested({ *file }, QFileInfo(*file).fileName());
    });
}
