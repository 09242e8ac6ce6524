#include "app/CMainFrame.h"

#include <QAction>
#include <QApplication>
#include <QKeySequence>
#include <QMenuBar>

CMainFrame::CMainFrame(QWidget* parent)
    : QMainWindow(parent)
{
    setWindowTitle(QStringLiteral("Tolan Viewer"));
    createMenus();
    resize(1024, 768);
}

void CMainFrame::createMenus()
{
    QMenu* fileMenu = menuBar()->addMenu(tr("&File"));
    m_exitAction = fileMenu->addAction(tr("E&xit"));
    m_exitAction->setShortcut(QKeySequence::Quit);
    connect(m_exitAction, &QAction::triggered, this, &QWidget::close);
}
