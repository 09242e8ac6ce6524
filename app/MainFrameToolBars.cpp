// The main frame's bars: their buttons, docking and show/hide commands.

#include "app/CMainFrame.h"

#include "app/LevelWindowBar.h"
#include "app/SelectFileBar.h"
#include "app/ToolIcons.h"
#include "app/ToolsPalette.h"
#include "app/commands/CommandTable.h"

#include <QAction>
#include <QComboBox>
#include <QDockWidget>
#include <QStatusBar>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QToolBar>

#include <algorithm>
#include <initializer_list>

namespace {

// Command::None between the buttons of a bar is a separator.
constexpr Command Separator = Command::None;

QToolBar* addCommandBar(CMainFrame& frame, const QString& title, const char* name,
                        std::initializer_list<Command> buttons)
{
    QToolBar* bar = frame.addToolBar(title);
    bar->setObjectName(QString::fromLatin1(name));
    for (const Command button : buttons) {
        if (button == Separator) {
            bar->addSeparator();
            continue;
        }
        QAction* item = frame.action(button);
        if (item->icon().isNull())
            item->setIcon(commandIcon(button));
        bar->addAction(item);
    }
    return bar;
}

} // namespace

void CMainFrame::createToolBars()
{
    QToolBar* fileBar = addCommandBar(*this, tr("File Toolbar"), "FileToolbar",
        { Command::New, Command::Open, Command::Save, Command::About });
    bindToolBarToggle(Command::ToggleFileBar, fileBar);
    QToolBar* editBar = addCommandBar(*this, tr("Edit Toolbar"), "EditToolbar",
        { Command::Undo, Command::Redo, Separator, Command::CopyFrame,
            Command::Clear, Command::Unselect, Command::CropToSelection });
    bindToolBarToggle(Command::ToggleEditBar, editBar);

    addToolBarBreak();
    bindToolBarToggle(Command::ToggleZoomBar, createZoomBar());
    QToolBar* navigation = addCommandBar(*this, tr("Navigation Toolbar"), "NavigationToolbar",
        { Command::FirstFrame, Command::PreviousFrame, Command::NextFrame, Command::LastFrame, Separator,
            Command::FirstFile, Command::PreviousFile, Command::NextFile, Command::LastFile });
    bindToolBarToggle(Command::ToggleNavigationBar, navigation);
    QToolBar* viewBar = addCommandBar(*this, tr("View Toolbar"), "ViewToolbar",
        { Command::SingleFrame, Command::Header, Separator,
            Command::ZoomTool, Command::ZoomRectangleTool, Command::DynamicZoomTool,
            Command::PanHandTool, Separator, Command::ZoomBack, Command::ZoomForward,
            Command::ZoomFit, Command::ZoomActualSize });
    bindToolBarToggle(Command::ToggleViewBar, viewBar);

    m_selectFileBar = new SelectFileBar(this);
    addToolBar(Qt::BottomToolBarArea, m_selectFileBar);
    bindToolBarToggle(Command::ToggleSelectFileBar, m_selectFileBar);

    bindBarToggle(Command::ToggleStatusBar, statusBar());

    auto* tools = new QDockWidget(tr("Tools"), this);
    tools->setObjectName(QStringLiteral("ToolsPalette"));
    tools->setWidget(new ToolsPalette(*this, tools));
    addDockWidget(Qt::LeftDockWidgetArea, tools);
    bindToolBarToggle(Command::ToggleToolsBar, tools);

    auto* levelWindow = new QDockWidget(tr("Window"), this);
    levelWindow->setObjectName(QStringLiteral("LevelWindowBar"));
    levelWindow->setWidget(new LevelWindowBar(*this, levelWindow));
    addDockWidget(Qt::RightDockWidgetArea, levelWindow);
}

QToolBar* CMainFrame::createZoomBar()
{
    QToolBar* bar = addToolBar(tr("Zoom Toolbar"));
    bar->setObjectName(QStringLiteral("ZoomToolbar"));
    m_zoomList = new QComboBox(bar);
    m_zoomList->setObjectName(QStringLiteral("ZoomList"));
    m_zoomList->addItems({ QStringLiteral("50.00 %"), QStringLiteral("75.00%"), QStringLiteral("100.00%"),
        QStringLiteral("150.00%"), QStringLiteral("200.00%"), QStringLiteral("250.00%"), QStringLiteral("300.00%"),
        QStringLiteral("350.00%"), QStringLiteral("400.00%"), QStringLiteral("fit") });
    // Typed factors are taken too; they are not kept as entries.
    m_zoomList->setEditable(true);
    m_zoomList->setInsertPolicy(QComboBox::NoInsert);
    m_zoomList->setCurrentIndex(2);
    m_zoomList->setMaxVisibleItems(10);
    // 13 average characters, but no less than the field needs to show a
    // four-digit factor ("1268.75%") whole: fit and typed factors go there.
    QStyleOptionComboBox option;
    option.initFrom(m_zoomList);
    option.editable = true;
    const QFontMetrics metrics = m_zoomList->fontMetrics();
    // The edit keeps a margin and the cursor's width beside the text.
    const QSize text(metrics.horizontalAdvance(QStringLiteral("0000.00%")) + 2 * metrics.averageCharWidth(),
                     metrics.height());
    const int needed = m_zoomList->style()->sizeFromContents(QStyle::CT_ComboBox, &option, text, m_zoomList).width();
    m_zoomList->setMinimumWidth(std::max(fontMetrics().averageCharWidth() * 13, needed));
    bar->addWidget(m_zoomList);
    return bar;
}

void CMainFrame::bindToolBarToggle(Command command, QWidget* bar)
{
    bindBarToggle(command, bar);
    // A floating bar closed by its own button.
    const auto follow = [this] { m_commands->update(); };
    if (auto* toolBar = qobject_cast<QToolBar*>(bar))
        connect(toolBar, &QToolBar::visibilityChanged, this, follow);
    else if (auto* dock = qobject_cast<QDockWidget*>(bar))
        connect(dock, &QDockWidget::visibilityChanged, this, follow);
}

void CMainFrame::bindBarToggle(Command command, QWidget* bar)
{
    // isHidden, not isVisible: the bars of a window not yet shown are not
    // visible, but they are meant to be.
    m_commands->add(command, [bar] { bar->setVisible(bar->isHidden()); }, {}, [bar] { return !bar->isHidden(); });
}
