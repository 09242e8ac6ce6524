#include "app/commands/ZoomCommands.h"

#include "app/commands/CommandTargets.h"
#include "app/Command.h"
#include "view/COrvoView.h"

#include <QAction>

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

void connectZoomCommands(CMainFrame& frame)
{
    for (const ZoomCommandEntry& entry : ZoomCommands) {
        QObject::connect(frame.action(entry.command), &QAction::triggered, &frame, [&frame, entry] {
            if (COrvoView* view = activeView(frame))
                view->zoom(entry.zoom);
            updateZoomCommands(frame);
        });
    }
}

void updateZoomCommands(CMainFrame& frame)
{
    const COrvoView* view = activeView(frame);
    for (const ZoomCommandEntry& entry : ZoomCommands)
        frame.action(entry.command)->setEnabled(view && view->canZoom(entry.zoom));
}
