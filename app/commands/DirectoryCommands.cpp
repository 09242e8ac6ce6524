#include "app/CMainFrame.h"
#include "app/Settings.h"
#include "app/commands/CommandTable.h"
#include "app/commands/CommandTargets.h"
#include "app/commands/Commands.h"
#include "app/dialogs/DirectoryContentsDialog.h"
#include "app/dialogs/ScanFileList.h"
#include "app/dialogs/SearchDialog.h"

#include <QPointer>
#include <QSettings>

#include <memory>

namespace {

void openEach(CMainFrame& frame, DirectoryContentsDialog& dialog)
{
    QObject::connect(&dialog, &DirectoryContentsDialog::openRequested, &frame, [&frame](const QStringList& paths) {
        for (const QString& path : paths)
            emit frame.openRequested(path);
    });
}

} // namespace

void addDirectoryCommands(CommandTable& table, CMainFrame& frame)
{
    const auto startFolder = followWorkingDirectory(frame);
    auto contents = std::make_shared<QPointer<DirectoryContentsDialog>>();
    table.add(Command::DirectoryContents, [&frame, startFolder, contents] {
        if (*contents && (*contents)->isVisible()) {
            (*contents)->reject();
            return;
        }
        if (!*contents) {
            *contents = new DirectoryContentsDialog(&frame);
            (*contents)->setObjectName(QStringLiteral("DirectoryContentsDialog"));
            (*contents)->fileList()->setFolder(*startFolder);
            openEach(frame, **contents);
        }
        (*contents)->show();
        (*contents)->raise();
        (*contents)->activateWindow();
    });
    table.add(Command::Search, [&frame, startFolder] {
        auto* dialog = new SearchDialog(&frame);
        dialog->setObjectName(QStringLiteral("SearchDialog"));
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        dialog->fileList()->setFolder(*startFolder);
        openEach(frame, *dialog);
        dialog->show();
    });
}
