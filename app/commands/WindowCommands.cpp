#include "app/commands/CommandTable.h"
#include "app/commands/Commands.h"
#include "app/CMainFrame.h"
#include "app/MainFrameActions.h"
#include "app/SelectFileBar.h"

#include "view/model/ShellLayout.h"

#include <QFileDialog>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPointer>
#include <QStyle>

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
    { Command::TileWindows, &QMdiArea::tileSubWindows },
};

// The area's own cascade sizes each window by what its content asks for,
// which for a document window is next to nothing: only title bars remain.
void cascade(QMdiArea& area)
{
    QList<QMdiSubWindow*> windows;
    for (QMdiSubWindow* window : area.subWindowList(QMdiArea::CreationOrder)) {
        if (window->isVisible() && !window->isMinimized())
            windows.append(window);
    }
    // The active window goes last, so it stays on top.
    QMdiSubWindow* active = area.activeSubWindow();
    if (active && windows.removeOne(active))
        windows.append(active);
    if (windows.isEmpty())
        return;
    const int step = area.style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, windows.first());
    const QSize size = area.viewport()->size();
    const auto rects = viewmodel::cascadeRects(size.width(), size.height(), static_cast<int>(windows.size()), step);
    for (qsizetype i = 0; i < windows.size(); ++i) {
        const viewmodel::WindowRect& r = rects[static_cast<std::size_t>(i)];
        windows[i]->showNormal();
        windows[i]->setGeometry(r.x, r.y, r.width, r.height);
        windows[i]->raise();
    }
    if (active)
        area.setActiveSubWindow(active);
}

// The list of open windows at the foot of the Window menu, after
// `separator`: "&1 name", "&2 name", ... in the order they were opened, the
// active one checked; choosing one makes it active, so a window hidden
// behind a maximised one can be found.
void listWindows(QMenu& menu, QAction& separator, QMdiArea& area)
{
    const QList<QAction*> items = menu.actions();
    for (qsizetype i = items.indexOf(&separator) + 1; i > 0 && i < items.size(); ++i) {
        menu.removeAction(items[i]);
        items[i]->deleteLater();
    }
    const QList<QMdiSubWindow*> windows = area.subWindowList(QMdiArea::CreationOrder);
    separator.setVisible(!windows.isEmpty());
    for (qsizetype i = 0; i < windows.size(); ++i) {
        QMdiSubWindow* window = windows[i];
        QString name = window->windowTitle();
        name.replace(QLatin1Char('&'), QStringLiteral("&&"));
        // Only one digit can be typed as a mnemonic.
        const QString number = i < 9 ? QStringLiteral("&%1").arg(i + 1) : QString::number(i + 1);
        QAction* item = menu.addAction(number + QLatin1Char(' ') + name);
        item->setCheckable(true);
        item->setChecked(window == area.activeSubWindow());
        const QPointer<QMdiSubWindow> chosen = window;
        QObject::connect(item, &QAction::triggered, &area, [&area, chosen] {
            if (chosen)
                area.setActiveSubWindow(chosen);
        });
    }
}

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
    table.add(Command::CascadeWindows, [&area] { cascade(area); });
    if (QMenu* menu = frame.actions().menu(QStringLiteral("Window"))) {
        QAction* separator = menu->addSeparator();
        separator->setVisible(false);
        QObject::connect(menu, &QMenu::aboutToShow, &area, [menu, separator, &area] { listWindows(*menu, *separator, area); });
    }
    table.add(Command::Exit, [&frame] { frame.close(); });
}
