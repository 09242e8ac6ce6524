#include "app/commands/CommandTable.h"
#include "app/commands/Commands.h"
#include "app/CMainFrame.h"
#include "app/SelectFileBar.h"

#include <QFileDialog>
#include <QMdiArea>

namespace {

struct FileStep {
    Command command;
    void (SelectFileBar::*step)();
    bool (SelectFileBar::*possible)() const;
};

constexpr FileStep FileSteps[] = {
    { Command::FirstFile, &SelectFileBar::first, &SelectFileBar::canGoBack },
    { Command::PreviousFile, &SelectFileBar::previous, &SelectFileBar::canGoBack },
    { Command::NextFile, &SelectFileBar::next, &SelectFileBar::canGoForward },
    { Command::LastFile, &SelectFileBar::last, &SelectFileBar::canGoForward },
    { Command::Refresh, &SelectFileBar::refresh, &SelectFileBar::hasDirectories },
};

struct AreaCommand {
    Command command;
    void (QMdiArea::*run)();
};

constexpr AreaCommand AreaCommands[] = {
    { Command::Close, &QMdiArea::closeActiveSubWindow },
    { Command::CascadeWindows, &QMdiArea::cascadeSubWindows },
    { Command::TileWindows, &QMdiArea::tileSubWindows },
};

} // namespace

void addWindowCommands(CommandTable& table, CMainFrame& frame)
{
    SelectFileBar& files = *frame.selectFileBar();
    for (const FileStep& entry : FileSteps)
        table.add(entry.command, [&files, entry] { (files.*entry.step)(); }, [&files, entry] { return (files.*entry.possible)(); });
    table.add(Command::SelectDirectory, [&frame, &files] {
        const QString chosen
            = QFileDialog::getExistingDirectory(&frame, QObject::tr("Select current directory"), files.currentDirectory());
        if (!chosen.isEmpty())
            frame.selectDirectory(chosen);
    });
    QMdiArea& area = *frame.mdiArea();
    for (const AreaCommand& entry : AreaCommands) {
        const bool needsWindow = entry.command == Command::Close;
        table.add(entry.command, [&area, entry] { (area.*entry.run)(); },
            [&area, needsWindow] { return !needsWindow || area.activeSubWindow() != nullptr; });
    }
    table.add(Command::Exit, [&frame] { frame.close(); });
}
