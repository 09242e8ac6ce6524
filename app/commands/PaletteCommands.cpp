#include "app/CMainFrame.h"
#include "app/MainFrameActions.h"
#include "app/PaletteFiles.h"
#include "app/PaletteMenu.h"
#include "app/commands/CommandTable.h"
#include "app/commands/CommandTargets.h"
#include "app/commands/Commands.h"
#include "app/dialogs/DialogSize.h"
#include "app/dialogs/PalettesDialog.h"
#include "app/dialogs/SavePaletteDialog.h"
#include "app/FrameJob.h"
#include "document/COrvoDoc.h"
#include "imaging/FrameImage.h"
#include "imaging/Palettes.h"

#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QMenu>

namespace {

using imaging::BuiltInPalette;

struct BuiltInItem {
    Command id;
    BuiltInPalette palette;
};

// Grayscale is not here: it also turns RGB frames grey.
constexpr BuiltInItem ColourItems[] = {
    { Command::PaletteBlackbody, BuiltInPalette::Blackbody },
    { Command::PaletteCardiac, BuiltInPalette::Cardiac },
    { Command::PaletteFiveramp, BuiltInPalette::Fiveramp },
    { Command::PaletteFlow, BuiltInPalette::Flow },
    { Command::PaletteFusion16, BuiltInPalette::Fusion16 },
    { Command::PaletteGeColor, BuiltInPalette::GeColor },
    { Command::PaletteGrayrain, BuiltInPalette::GrayRain },
    { Command::PaletteHotiron, BuiltInPalette::Hotiron },
    { Command::PaletteNih, BuiltInPalette::Nih },
    { Command::PaletteSpectrum, BuiltInPalette::Spectrum },
};

const imaging::FrameImage* currentImage(const CMainFrame& frame)
{
    const COrvoDoc* doc = documentWithImage(frame);
    return doc ? doc->frame() : nullptr;
}

bool currentIs(const CMainFrame& frame, imaging::SampleKind kind)
{
    const imaging::FrameImage* image = currentImage(frame);
    return image && image->kind() == kind;
}

bool greyWithPalette(const CMainFrame& frame, int number)
{
    return currentIs(frame, imaging::SampleKind::Grey) && imaging::getPalette(*currentImage(frame)) == number;
}

// An RGB frame has no palette to set: Grayscale makes it a grey frame.
void applyGrayscale(CMainFrame& frame, PaletteMenu& menu)
{
    COrvoDoc* doc = activeDocument(frame);
    if (!doc)
        return;
    const imaging::CustomPaletteList& custom = menu.palettes();
    runFrameJob(&frame, *doc, [&custom](imaging::FrameImage& image) {
        if (image.kind() == imaging::SampleKind::Rgb)
            return image.convertToGrey();
        return imaging::setPalette(image, imaging::kGrayscalePalette, custom);
    });
}

void viewPalettes(CMainFrame& frame, PaletteMenu& menu)
{
    const imaging::FrameImage* image = currentImage(frame);
    if (!image)
        return;
    // The list shows which custom palette, not only that it is one.
    const int shown = image->paletteNumber() >= 0 ? image->paletteNumber() : imaging::getPalette(*image);
    const auto chosen = PalettesDialog::ask(menu.palettes(), shown, &frame);
    if (!chosen)
        return;
    // As the "&Color" items do, custom palettes too: on the frames "Apply to
    // all" covers. The custom palette last chosen from its menu stays the
    // one that menu checks.
    menu.applyPalette(*chosen);
}

void extractPalette(CMainFrame& frame, PaletteMenu& menu)
{
    const COrvoDoc* doc = activeDocument(frame);
    std::optional<imaging::CustomPalette> palette = doc ? documentPalette(*doc) : std::nullopt;
    if (!palette)
        return;
    const auto name = SavePaletteDialog::ask(QString::fromStdString(palette->name), &frame);
    if (!name)
        return;
    palette->name = name->toStdString();
    const QString folder = userPaletteFolder();
    QDir().mkpath(folder);
    const QString suggested = QString::fromStdString(imaging::paletteFileName(palette->name));
    QFileDialog dialog(&frame, QString(), folder + QLatin1Char('/') + suggested, QObject::tr("Palette File (*.txt)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("txt"));
    dialogsize::fitToScreen(dialog);
    dialogsize::widenFileColumns(dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    menu.save(dialog.selectedFiles().constFirst(), *palette);
}

} // namespace

void addPaletteCommands(CommandTable& table, CMainFrame& frame)
{
    QMenu* submenu = frame.actions().menu(QStringLiteral("Custom Palettes"));
    QAction* placeholder = frame.action(Command::CustomPaletteNotFound);
    Q_ASSERT(submenu && placeholder);
    auto* menu = new PaletteMenu(frame, *submenu, *placeholder);

    const auto grey = [&frame] { return currentIs(frame, imaging::SampleKind::Grey); };
    const auto rgb = [&frame] { return currentIs(frame, imaging::SampleKind::Rgb); };
    table.add(Command::PaletteRgb, [] {}, rgb, rgb);
    table.add(
        Command::PaletteGrayscale, [&frame, menu] { applyGrayscale(frame, *menu); },
        [&frame] { return currentImage(frame) != nullptr; },
        [&frame] { return greyWithPalette(frame, imaging::kGrayscalePalette); });
    for (const BuiltInItem& item : ColourItems) {
        const int number = static_cast<int>(item.palette);
        table.add(
            item.id, [menu, number] { menu->applyPalette(number); }, grey,
            [&frame, number] { return greyWithPalette(frame, number); });
    }
    table.add(Command::CustomPaletteNotFound, [] {}, [] { return false; });
    table.add(Command::ViewPalettes, [&frame, menu] { viewPalettes(frame, *menu); }, grey);
    table.add(
        Command::ExtractPalette, [&frame, menu] { extractPalette(frame, *menu); },
        [&frame] {
            const COrvoDoc* doc = activeDocument(frame);
            return doc && hasDocumentPalette(*doc);
        });
}
