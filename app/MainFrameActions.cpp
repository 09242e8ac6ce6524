#include "app/MainFrameActions.h"

#include <QAction>
#include <QKeySequence>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

namespace {

// One row per menu entry. A row with text "-" is a separator, a row with
// submenu set opens a submenu that the following rows fill until "<".
struct MenuRow {
    const char* text;
    Command command = Command::None;
};

constexpr const char* Separator = "-";
constexpr const char* EndSubmenu = "<";

// A submenu starts with a row whose text begins with '>'.
const MenuRow FileMenu[] = {
    { "&New\tCtrl+N", Command::New },
    { "&Open...\tCtrl+O", Command::Open },
    { "Open &Multiple Files...\tAlt+O" },
    { "Open by &Header..." },
    { "Open from &Internet...\tCtrl+I" },
    { "&Close", Command::Close },
    { Separator },
    { "&Save\tCtrl+S" },
    { "Save &As..." },
    { "Relo&ad", Command::Reload },
    { "D&uplicate", Command::Duplicate },
    { Separator },
    { "Export as &TIFF..." },
    { "Export as &JPEG..." },
    { "Export as &BMP..." },
    { "Export as &Raw file..." },
    { "Export &frames..." },
    { "Export as &HTML..." },
    { "Export as &AVI..." },
    { "&Batch Convert..." },
    { Separator },
    { "&Anonymize..." },
    { "&Batch Anonymize..." },
    { "Anonymizing &Options..." },
    { "&Anonymized copies and exports", Command::AnonymizedCopies },
    { Separator },
    { "Pag&e Setup..." },
    { "&Print...\tCtrl+P" },
    { "Print Pre&view" },
    { "P&rint Setup...", Command::PrintSetup },
    { "View Report" },
    { Separator },
    { "E&xit\tCtrl+Q", Command::Exit },
};

const MenuRow EditMenu[] = {
    { "&Undo\tCtrl+Z", Command::Undo },
    { "&Redo\tCtrl+Y", Command::Redo },
    { Separator },
    { "&Copy Frame\tCtrl+C" },
    { "Copy all &Frames\tCtrl+F" },
    { "Copy &Header\tCtrl+H" },
    { "Copy &All\tCtrl+A" },
    { "Copy S&elected Frames..." },
    { "Copy R&OI" },
    { "Insert Clipboard contents" },
    { Separator },
    { "Cl&ear" },
    { "&Inverse Selection\tI" },
    { "&Unselect\tCtrl+D" },
    { "Crop To &Selection" },
    { Separator },
    { "Select drawing color" },
    { "&Preferences..." },
};

const MenuRow ViewMenu[] = {
    { "&File Toolbar", Command::ToggleFileBar },
    { "&Edit Toolbar", Command::ToggleEditBar },
    { "&View Toolbar", Command::ToggleViewBar },
    { "&Zoom Toolbar", Command::ToggleZoomBar },
    { "&Navigation Toolbar", Command::ToggleNavigationBar },
    { "S&elect File Toolbar", Command::ToggleSelectFileBar },
    { "&Tools Toolbar", Command::ToggleToolsBar },
    { "&Status Bar", Command::ToggleStatusBar },
    { Separator },
    { "Singl&e Frame\tCtrl+Alt+F", Command::SingleFrame },
    { "Hea&der\tCtrl+Alt+H", Command::Header },
    { Separator },
    { "&Zoom In/Out\t+-", Command::ZoomTool },
    { "Zoom &Limits\t*", Command::ZoomFit },
    { "Zoom &Window", Command::ZoomRectangleTool },
    { "Zoom &Normal\t/", Command::ZoomActualSize },
    { "Zoom &Dynamic", Command::DynamicZoomTool },
    { "&Pan Hand", Command::PanHandTool },
    { "&Previous Zoom", Command::ZoomBack },
    { "N&ext Zoom", Command::ZoomForward },
    { Separator },
    { "&Annotations" },
    { "&Measurments" },
    { "&Rulers" },
    { "&Rulers Setup..." },
    { "Pixel &Spacing Setup..." },
};

const MenuRow ImageMenu[] = {
    { "&Apply to all", Command::ApplyToAll },
    { ">R&otate Canvas" },
    { "&180°" },
    { "&90° Clock Wise" },
    { "9&0° Counter CW" },
    { "&Custom..." },
    { "Flip &Horizontal" },
    { "Flip &Vertical" },
    { EndSubmenu },
    { "&Resample..." },
    { Separator },
    { "I&nverse" },
    { "&Thresholding..." },
    { "&Brightness - Contrast...\tB" },
    { "Re&move Burned In Annotations" },
    { "&Auto Levels" },
    { "&Histogram..." },
    { "&Info..." },
    { Separator },
    { ">&Color" },
    { "&RGB" },
    { "&Grayscale" },
    { "&Blackbody" },
    { "&Cardiac" },
    { "&Fiveramp" },
    { "Flo&w" },
    { "F&usion16" },
    { "Ge_c&olor" },
    { "Gr&ayrain" },
    { "&Hotiron" },
    { "&Nih" },
    { "&Spectrum" },
    { ">Custom &Palettes" },
    { "(Not Found)" },
    { EndSubmenu },
    { Separator },
    { "&Extract Palette..." },
    { "&View Palettes..." },
    { EndSubmenu },
};

const MenuRow ToolsMenu[] = {
    { "&Annotation Text" },
    { "Selection &Rectangle" },
    { "&Move Annotation" },
    { "&Delete Annotation" },
    { "Mesure &Length" },
    { "M&esure Angle" },
    { "&Crop" },
    { "Level-&Window", Command::LevelWindowTool },
    { Separator },
    { "&Directory Contents..." },
    { "&Search..." },
    { "Calculat&or..." },
};

const MenuRow NavigationMenu[] = {
    { "&First frame\tArrowUp", Command::FirstFrame },
    { "&Previous frame\tArrowLeft", Command::PreviousFrame },
    { "&Next frame\tArrowRight", Command::NextFrame },
    { "&Last frame\tArrowDown", Command::LastFrame },
    { "M&ovie\tCtrl+Alt+M", Command::Movie },
    { "&Reverse movie", Command::ReverseMovie },
    { "Video ti&me setup...", Command::VideoTimeSetup },
    { "All &Frames\tCtrl+Alt+A" },
    { Separator },
    { "&First File\tCtrl+ArrowUp", Command::FirstFile },
    { "&Previous  File\tCtrl+ArrowLeft", Command::PreviousFile },
    { "&Next  File\tCtrl+ArrowRight", Command::NextFile },
    { "&Last File\tCtrl+ArrowDown", Command::LastFile },
    { "Select &current directory...", Command::SelectDirectory },
    { "&Refresh", Command::Refresh },
};

const MenuRow WindowMenu[] = {
    { "&New Window", Command::NewWindow },
    { "&Cascade", Command::CascadeWindows },
    { "&Tile", Command::TileWindows },
};

const MenuRow HelpMenu[] = {
    { "&About Tolan Viewer...", Command::About },
    { "&System Info..." },
};

// The names on the keys as the menus spell them, mapped to Qt's.
QKeySequence shortcutFor(QString accelerator)
{
    accelerator.replace(QStringLiteral("Arrow"), QString());
    // "+-", "*", "/" and the bare letters are typed into the image view, which
    // handles them itself; a window-wide shortcut would steal them from edits.
    // Up is only shown beside "First frame": the key stays the image view's
    // and the list's own, as on the menus of old.
    if (!accelerator.contains(QLatin1Char('+')) || accelerator == QStringLiteral("+-"))
        return accelerator == QStringLiteral("Down") || accelerator == QStringLiteral("Left")
                || accelerator == QStringLiteral("Right")
            ? QKeySequence::fromString(accelerator)
            : QKeySequence();
    return QKeySequence::fromString(accelerator);
}

bool isBuiltIn(Command command) { return command != Command::None; }

} // namespace

QString MainFrameActions::plainText(const QString& menuText)
{
    QString text = menuText.section(QLatin1Char('\t'), 0, 0);
    text.remove(QLatin1Char('&'));
    return text;
}

MainFrameActions::MainFrameActions(QMainWindow& window)
    : m_window(window)
{
    struct TopMenu {
        const char* title;
        const MenuRow* rows;
        std::size_t count;
    };
    const TopMenu menus[] = {
        { "&File", FileMenu, std::size(FileMenu) },
        { "&Edit", EditMenu, std::size(EditMenu) },
        { "&View", ViewMenu, std::size(ViewMenu) },
        { "&Image", ImageMenu, std::size(ImageMenu) },
        { "&Tools", ToolsMenu, std::size(ToolsMenu) },
        { "&Navigation", NavigationMenu, std::size(NavigationMenu) },
        { "&Window", WindowMenu, std::size(WindowMenu) },
        { "&Help", HelpMenu, std::size(HelpMenu) },
    };
    for (const auto& top : menus) {
        QMenu* menu = window.menuBar()->addMenu(QObject::tr(top.title));
        m_menus.insert(plainText(QString::fromUtf8(top.title)), menu);
        if (top.rows == FileMenu)
            m_fileMenu = menu;
        QList<QMenu*> stack { menu };
        for (std::size_t i = 0; i < top.count; ++i) {
            const MenuRow& row = top.rows[i];
            const QString text = QString::fromUtf8(row.text);
            if (text == QLatin1String(Separator)) {
                stack.last()->addSeparator();
            } else if (text == QLatin1String(EndSubmenu)) {
                stack.removeLast();
            } else if (text.startsWith(QLatin1Char('>'))) {
                QMenu* sub = stack.last()->addMenu(text.mid(1));
                m_menus.insert(plainText(text.mid(1)), sub);
                stack.append(sub);
            } else {
                addItem(stack.last(), row.text, row.command);
            }
        }
    }
    // The recent files go between the last group of the File menu and Exit.
    m_recentSeparator = m_fileMenu->insertSeparator(action(Command::Exit));
}

QAction* MainFrameActions::addItem(QMenu* menu, const char* text, Command command)
{
    const QString menuText = QString::fromUtf8(text);
    auto* item = new QAction(menuText.section(QLatin1Char('\t'), 0, 0), &m_window);
    const QString accelerator = menuText.section(QLatin1Char('\t'), 1);
    if (!accelerator.isEmpty()) {
        item->setShortcut(shortcutFor(accelerator));
        // Bare arrow keys step frames only where the image view has the
        // focus; the header list and the edits keep them.
        if (!accelerator.contains(QLatin1Char('+')))
            item->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        // A key the window does not bind is still named on the menu.
        if (item->shortcut().isEmpty())
            item->setText(menuText);
    }
    item->setEnabled(isBuiltIn(command));
    menu->addAction(item);
    m_byText.insert(plainText(menuText), item);
    if (command != Command::None)
        m_byCommand.insert(command, item);
    return item;
}
