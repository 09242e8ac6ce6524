// "Open &Multiple Files...": a folder's DICOM files in groups, a group
// opened as one document.

#include "app/CMainFrame.h"
#include "app/Command.h"
#include "app/SelectFileBar.h"
#include "app/Settings.h"
#include "app/commands/CommandTable.h"
#include "app/commands/Commands.h"
#include "app/dialogs/OpenMultipleDialog.h"

#include <QSettings>

namespace {

// The folder the dialog starts in: the folder the shell is in, or the one
// stored from the last run.
QString startFolder(const CMainFrame& frame)
{
    QString folder = frame.selectFileBar() ? frame.selectFileBar()->currentDirectory() : QString();
    if (folder.isEmpty()) {
        if (auto store = settings::open())
            folder = settings::readString(*store, settings::SettingsGroup, settings::CurrentWorkingDirectory);
    }
    if (!folder.isEmpty() && !folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder;
}

} // namespace

void addOpenMultipleCommands(CommandTable& table, CMainFrame& frame)
{
    table.add(Command::OpenMultiple, [&frame] {
        OpenMultipleDialog dialog(startFolder(frame), &frame);
        QObject::connect(&dialog, &OpenMultipleDialog::directoryChosen, &frame, &CMainFrame::currentDirectoryChosen);
        QObject::connect(&dialog, &OpenMultipleDialog::openRequested, &frame, &CMainFrame::openAsOneRequested);
        dialog.exec();
    });
}
