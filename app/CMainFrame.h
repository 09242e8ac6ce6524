#pragma once

#include <QMainWindow>

class QAction;

// The application's main window: menus, toolbars and status panes around the
// area where document windows live.
class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    explicit CMainFrame(QWidget* parent = nullptr);

    QAction* exitAction() const { return m_exitAction; }

private:
    void createMenus();

    QAction* m_exitAction = nullptr;
};
