#include "app/commands/CommandTable.h"
#include "app/commands/CommandTargets.h"
#include "app/commands/Commands.h"
#include "app/dialogs/HistogramDialog.h"
#include "app/dialogs/InfoDialog.h"
#include "app/dialogs/PixelSpacingDialog.h"
#include "document/COrvoDoc.h"
#include "imaging/FrameImage.h"

namespace {

void setUpSpacing(CMainFrame& frame)
{
    COrvoDoc* doc = activeDocument(frame);
    if (!doc)
        return;
    const auto [row, column] = doc->pixelSpacing();
    const auto [headerRow, headerColumn] = doc->headerPixelSpacing();
    if (const auto chosen = PixelSpacingDialog::ask({ row, column, doc->sliceThickness() },
                                                    { headerRow, headerColumn, doc->headerSliceThickness() }, &frame))
        doc->setVoxelSize({ chosen->row, chosen->column }, chosen->thickness);
}

} // namespace

void addImageInfoCommands(CommandTable& table, CMainFrame& frame)
{
    const auto enabled = [&frame] { return documentWithImage(frame) != nullptr; };
    table.add(
        Command::ImageInfo,
        [&frame] {
            if (documentWithImage(frame))
                InfoDialog::showFor(*activeDocument(frame), &frame);
        },
        enabled);
    table.add(
        Command::Histogram,
        [&frame] {
            if (!documentWithImage(frame))
                return;
            HistogramDialog dialog(*activeDocument(frame)->frame(), &frame);
            dialog.exec();
        },
        enabled);
    table.add(Command::PixelSpacingSetup, [&frame] { setUpSpacing(frame); }, enabled);
}
