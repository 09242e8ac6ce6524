#include "app/MainFrameActions.h"

#include "app/CommandPrompts.h"
#include "export/ExportFormats.h"

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

// The export items are named by the one list of formats.
const char* exportText(exporting::ExportFormat format)
{
    return exporting::formatInfo(format).menuText.data();
}
constexpr const char* EndSubmenu = "<";

// A submenu starts with a row whose text begins with '>'.
const MenuRow FileMenu[] = {
    { "&New\tCtrl+N", Command::New },
    { "&Open...\tCtrl+O", Command::Open },
    { "Open &Multiple Files...\tAlt+O", Command::OpenMultiple },
    { "Open by &Header...", Command::OpenByHeader },
    { "Open from &Internet...\tCtrl+I", Command::OpenFromInternet },
    { "&Close", Command::Close },
    { Separator },
    { "&Save\tCtrl+S", Command::Save },
    { "Save &As...", Command::SaveAs },
    { "Relo&ad", Command::Reload },
    { "D&uplicate", Command::Duplicate },
    { Separator },
    { exportText(exporting::ExportFormat::Tiff), Command::ExportTiff },
    { exportText(exporting::ExportFormat::Jpeg), Command::ExportJpeg },
    { exportText(exporting::ExportFormat::Bmp), Command::ExportBmp },
    { exportText(exporting::ExportFormat::Raw), Command::ExportRaw },
    { "Export &frames...", Command::ExportFrames },
    { exportText(exporting::ExportFormat::Html), Command::ExportHtml },
    { exportText(exporting::ExportFormat::Avi), Command::ExportAvi },
    { "&Batch Convert...", Command::BatchConvert },
    { Separator },
    { "&Anonymize...", Command::Anonymize },
    { "&Batch Anonymize...", Command::BatchAnonymize },
    { "Anonymizing &Options...", Command::AnonymizingOptions },
    { "&Anonymized copies and exports", Command::AnonymizedCopies },
    { Separator },
    { "Pag&e Setup...", Command::PageSetup },
    { "&Print...\tCtrl+P", Command::Print },
    { "Print Pre&view", Command::PrintPreview },
    { "P&rint Setup...", Command::PrintSetup },
    { "View Report", Command::ViewReport },
    { Separator },
    { "E&xit\tCtrl+Q", Command::Exit },
};

const MenuRow EditMenu[] = {
    { "&Undo\tCtrl+Z", Command::Undo },
    { "&Redo\tCtrl+Y", Command::Redo },
    { Separator },
    { "&Copy Frame\tCtrl+C", Command::CopyFrame },
    { "Copy all &Frames\tCtrl+F", Command::CopyAllFrames },
    { "Copy &Header\tCtrl+H", Command::CopyHeader },
    { "Copy &All\tCtrl+A", Command::CopyAll },
    { "Copy S&elected Frames...", Command::CopySelectedFrames },
    { "Copy R&OI", Command::CopyRoi },
    { "Insert Clipboard contents", Command::InsertClipboard },
    { Separator },
    { "Cl&ear", Command::Clear },
    { "&Inverse Selection\tI", Command::InverseSelection },
    { "&Unselect\tCtrl+D", Command::Unselect },
    { "Crop To &Selection", Command::CropToSelection },
    { Separator },
    { "Select drawing color", Command::SelectDrawingColor },
    { "&Preferences...", Command::Preferences },
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
    { "&Annotations", Command::ShowAnnotations },
    { "&Measurments", Command::ShowMeasurements },
    { "&Rulers", Command::ShowRulers },
    { "&Rulers Setup...", Command::RulersSetup },
    { "Pixel &Spacing Setup...", Command::PixelSpacingSetup },
};

const MenuRow ImageMenu[] = {
    { "&Apply to all", Command::ApplyToAll },
    { ">R&otate Canvas" },
    { "&180°", Command::Rotate180 },
    { "&90° Clock Wise", Command::Rotate90Clockwise },
    { "9&0° Counter CW", Command::Rotate90CounterClockwise },
    { "&Custom...", Command::RotateCustom },
    { "Flip &Horizontal", Command::FlipHorizontal },
    { "Flip &Vertical", Command::FlipVertical },
    { EndSubmenu },
    { "&Resample...", Command::Resample },
    { Separator },
    { "I&nverse", Command::Inverse },
    { "&Thresholding...", Command::Thresholding },
    { "&Brightness - Contrast...\tB", Command::BrightnessContrast },
    { "Re&move Burned In Annotations", Command::RemoveBurnedIn },
    { "&Auto Levels", Command::AutoLevels },
    { "&Histogram...", Command::Histogram },
    { "&Info...", Command::ImageInfo },
    { Separator },
    { ">&Color" },
    { "&RGB", Command::PaletteRgb },
    { "&Grayscale", Command::PaletteGrayscale },
    { "&Blackbody", Command::PaletteBlackbody },
    { "&Cardiac", Command::PaletteCardiac },
    { "&Fiveramp", Command::PaletteFiveramp },
    { "Flo&w", Command::PaletteFlow },
    { "F&usion16", Command::PaletteFusion16 },
    { "Ge_c&olor", Command::PaletteGeColor },
    { "Gr&ayrain", Command::PaletteGrayrain },
    { "&Hotiron", Command::PaletteHotiron },
    { "&Nih", Command::PaletteNih },
    { "&Spectrum", Command::PaletteSpectrum },
    { ">Custom &Palettes" },
    { "(Not Found)", Command::CustomPaletteNotFound },
    { EndSubmenu },
    { Separator },
    { "&Extract Palette...", Command::ExtractPalette },
    { "&View Palettes...", Command::ViewPalettes },
    { EndSubmenu },
};

const MenuRow ToolsMenu[] = {
    { "&Annotation Text", Command::AnnotationTextTool },
    { "Selection &Rectangle", Command::SelectionRectangleTool },
    { "&Move Annotation", Command::MoveAnnotationTool },
    { "&Delete Annotation", Command::DeleteAnnotationTool },
    { "Mesure &Length", Command::MeasureLengthTool },
    { "M&esure Angle", Command::MeasureAngleTool },
    { "&Crop", Command::CropTool },
    { "Level-&Window", Command::LevelWindowTool },
    { Separator },
    { "&Directory Contents...", Command::DirectoryContents },
    { "&Search...", Command::Search },
    { "Calculat&or...", Command::Calculator },
};

const MenuRow NavigationMenu[] = {
    { "&First frame\tArrowUp", Command::FirstFrame },
    { "&Previous frame\tArrowLeft", Command::PreviousFrame },
    { "&Next frame\tArrowRight", Command::NextFrame },
    { "&Last frame\tArrowDown", Command::LastFrame },
    { "M&ovie\tCtrl+Alt+M", Command::Movie },
    { "&Reverse movie", Command::ReverseMovie },
    { "Video ti&me setup...", Command::VideoTimeSetup },
    { "All &Frames\tCtrl+Alt+A", Command::AllFrames },
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
    { "&System Info...", Command::SystemInfo },
};

// The names on the keys as the menus spell them, mapped to Qt's.
QList<QKeySequence> shortcutsFor(QString accelerator)
{
    accelerator.replace(QStringLiteral("Arrow"), QString());
    // A bare letter is the image view's, typed either case.
    if (accelerator.size() == 1 && accelerator.at(0).isLetter())
        return { QKeySequence(accelerator), QKeySequence(QStringLiteral("Shift+") + accelerator) };
    // "+-", "*", "/" are typed into the image view, which handles them
    // itself. Up is only shown beside "First frame": the key stays the image
    // view's and the list's own.
    if (!accelerator.contains(QLatin1Char('+')) || accelerator == QStringLiteral("+-"))
        return accelerator == QStringLiteral("Down") || accelerator == QStringLiteral("Left")
                || accelerator == QStringLiteral("Right")
            ? QList<QKeySequence> { QKeySequence::fromString(accelerator) }
            : QList<QKeySequence> {};
    return { QKeySequence::fromString(accelerator) };
}

// A menu title without its '&', the key of menu().
QString plainText(const QString& menuText)
{
    QString text = menuText.section(QLatin1Char('\t'), 0, 0);
    text.remove(QLatin1Char('&'));
    return text;
}

} // namespace

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
        item->setShortcuts(shortcutsFor(accelerator));
        // Bare keys act only where the image view has the focus; the header
        // list and the edits keep them.
        if (!accelerator.contains(QLatin1Char('+')) && !item->shortcut().isEmpty()) {
            item->setShortcutContext(Qt::WidgetWithChildrenShortcut);
            m_viewKeys.append(item);
        }
        // A key the window does not bind is still named on the menu.
        if (item->shortcut().isEmpty())
            item->setText(menuText);
    }
    // Shown in the status bar while the item is under the mouse.
    item->setStatusTip(commandPrompt(command));
    // The command table enables what it runs.
    item->setEnabled(false);
    menu->addAction(item);
    m_byCommand.insert(command, item);
    return item;
}
