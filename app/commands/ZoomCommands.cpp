#include "app/commands/CommandTable.h"
#include "app/commands/CommandTargets.h"
#include "app/commands/Commands.h"
#include "view/COrvoView.h"


namespace {

struct ZoomCommandEntry {
    Command command;
    COrvoView::ZoomCommand zoom;
};

constexpr ZoomCommandEntry ZoomCommands[] = {
    { Command::ZoomFit, COrvoView::ZoomCommand::Fit },
    { Command::ZoomActualSize, COrvoView::ZoomCommand::ActualSize },
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
}
