#include "app/CMainFrame.h"
#include "app/commands/CommandTable.h"
#include "app/commands/CommandTargets.h"
#include "app/commands/Commands.h"
#include "app/commands/CurrentFolder.h"
#include "app/dialogs/DirectoryContentsDialog.h"
#include "app/dialogs/ScanFileList.h"
#include "app/dialogs/SearchDialog.h"

#include <QPointer>

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
    auto contents = std::make_shared<QPointer<DirectoryContentsDialog>>();
    table.add(Command::DirectoryContents, [&frame, contents] {
        if (*contents && (*contents)->isVisible()) {
            (*contents)->reject();
            return;
        }
        if (!*contents) {
            *contents = new DirectoryContentsDialog(&frame);
            (*contents)->setObjectName(QStringLiteral("DirectoryContentsDialog"));
            openEach(frame, **contents);
        }
        // Each time it shows, the window starts where the user is now; what
        // it listed before stays in its folder list.
        if (!(*contents)->fileList()->scanning())
            (*contents)->fileList()->setFolder(currentFolder(frame));
        (*contents)->show();
        (*contents)->raise();
        (*contents)->activateWindow();
    });
    table.add(Command::Search, [&frame] {
        auto* dialog = new SearchDialog(&frame);
        dialog->setObjectName(QStringLiteral("SearchDialog"));
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        dialog->fileList()->setFolder(currentFolder(frame));
        openEach(frame, *dialog);
        dialog->show();
    });
}
