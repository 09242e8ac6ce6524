#include "app/commands/ToolCommands.h"

#include "app/commands/CommandTargets.h"
#include "app/Command.h"
#include "app/dialogs/VideoSpeedDialog.h"
#include "document/COrvoDoc.h"
#include "view/COrvoView.h"

#include <QAction>

namespace {

struct ToolCommand {
    Command command;
    viewmodel::Tool tool;
};

// Tools whose behaviour is built; the others' items stay disabled.
constexpr ToolCommand ToolCommands[] = {
    { Command::PanHandTool, viewmodel::Tool::PanHand },
    { Command::ZoomTool, viewmodel::Tool::ZoomInOut },
    { Command::ZoomRectangleTool, viewmodel::Tool::ZoomRectangle },
    { Command::DynamicZoomTool, viewmodel::Tool::DynamicZoom },
    { Command::LevelWindowTool, viewmodel::Tool::LevelWindow },
};

struct MovieCommand {
    Command command;
    COrvoView::Movie direction;
    viewmodel::Tool playing;
};

constexpr MovieCommand MovieCommands[] = {
    { Command::Movie, COrvoView::Movie::Forward, viewmodel::Tool::MoviePlayingForward },
    { Command::ReverseMovie, COrvoView::Movie::Backward, viewmodel::Tool::MoviePlayingBackward },
};


} // namespace

void connectToolCommands(CMainFrame& frame)
{
    for (const ToolCommand& entry : ToolCommands) {
        QAction* item = frame.action(entry.command);
        item->setCheckable(true);
        QObject::connect(item, &QAction::triggered, &frame, [&frame, entry] {
            if (COrvoView* view = activeView(frame))
                view->selectTool(entry.tool);
            updateToolCommands(frame);
        });
    }
}

void connectMovieCommands(CMainFrame& frame)
{
    QObject::connect(frame.action(Command::VideoTimeSetup), &QAction::triggered, &frame, [&frame] {
        COrvoDoc* doc = activeDocument(frame);
        if (!doc)
            return;
        if (const auto chosen = VideoSpeedDialog::ask(doc->frameTime(), doc->headerFrameTime(), &frame))
            doc->setFrameTime(chosen->frameTime);
        updateToolCommands(frame);
    });
    for (const MovieCommand& entry : MovieCommands) {
        QAction* item = frame.action(entry.command);
        item->setCheckable(true);
        QObject::connect(item, &QAction::triggered, &frame, [&frame, entry] {
            if (COrvoView* view = activeView(frame))
                view->playMovie(entry.direction);
            updateToolCommands(frame);
        });
    }
}

void updateToolCommands(CMainFrame& frame)
{
    const COrvoView* view = activeView(frame);
    for (const ToolCommand& entry : ToolCommands) {
        QAction* item = frame.action(entry.command);
        item->setEnabled(view != nullptr);
        item->setChecked(view && view->currentTool() == entry.tool);
    }
    frame.action(Command::VideoTimeSetup)->setEnabled(view && view->document().frameCount() > 1);
    for (const MovieCommand& entry : MovieCommands) {
        QAction* item = frame.action(entry.command);
        item->setEnabled(view && (view->canPlayMovie() || view->playingMovie()));
        item->setChecked(view && view->currentTool() == entry.playing);
    }
}
