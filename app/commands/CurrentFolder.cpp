#include "app/commands/CurrentFolder.h"

#include "app/CMainFrame.h"
#include "app/SelectFileBar.h"
#include "app/Settings.h"

#include <QSettings>

QString currentFolder(const CMainFrame& frame)
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
