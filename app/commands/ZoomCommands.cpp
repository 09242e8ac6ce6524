#include "app/commands/CommandTable.h"
#include "app/commands/CommandTargets.h"
#include "app/commands/Commands.h"
#include "document/COrvoDoc.h"
#include "view/COrvoView.h"


namespace {

struct ZoomCommandEntry {
    Command command;
    COrvoView::ZoomCommand zoom;
};

constexpr ZoomCommandEntry ZoomCommands[] = {
    { Command::ZoomFit, COrvoView::ZoomCommand::Fit },
    { Command::ZoomBack, COrvoView::ZoomCommand::Back },
    { Command::ZoomForward, COrvoView::ZoomCommand::Forward },
};

} // namespace

void addZoomCommands(CommandTable& table, CMainFrame& frame)
{
    for (const ZoomCommandEntry& entry : ZoomCommands) {
        table.add(
            entry.command,
            [&frame, entry] {
                if (COrvoView* view = activeView(frame))
                    view->zoom(entry.zoom);
            },
            [&frame, entry] {
                const COrvoView* view = activeView(frame);
                return view && view->canZoom(entry.zoom);
            });
    }
    // The item and its button stay enabled at 1:1 (only the "/" key asks for
    // another factor first): a button that greys out as it is pressed reads
    // as broken.
    table.add(
        Command::ZoomActualSize,
        [&frame] {
            if (COrvoView* view = activeView(frame))
                view->setZoomFactor(1.0F);
        },
        [&frame] {
            const COrvoView* view = activeView(frame);
            return view && view->document().frame();
        });
}
