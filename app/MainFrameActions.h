#pragma once

#include "app/Command.h"

#include <QHash>
#include <QList>
#include <QString>

class QAction;
class QMainWindow;
class QMenu;

// Every menu of the main window, built from one table so each item's text,
// accelerator and place are written down once.
class MainFrameActions {
public:
    explicit MainFrameActions(QMainWindow& window);

    QAction* action(Command command) const { return m_byCommand.value(command); }
    QMenu* menu(const QString& title) const { return m_menus.value(title); }
    QMenu* recentFilesAnchor() const { return m_fileMenu; }
    QAction* recentFilesSeparator() const { return m_recentSeparator; }
    QList<QAction*> allActions() const { return m_byCommand.values(); }
    // The items whose keys act only in the image view, which must carry them.
    const QList<QAction*>& viewKeys() const { return m_viewKeys; }

private:
    QAction* addItem(QMenu* menu, const char* text, Command command);

    QMainWindow& m_window;
    QHash<Command, QAction*> m_byCommand;
    QHash<QString, QMenu*> m_menus;
    QList<QAction*> m_viewKeys;
    QMenu* m_fileMenu = nullptr;
    QAction* m_recentSeparator = nullptr;
};
