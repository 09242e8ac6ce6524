#include "app/commands/CommandTable.h"
#include "app/commands/CommandTargets.h"
#include "app/commands/Commands.h"
#include "app/dialogs/VideoSpeedDialog.h"
#include "document/COrvoDoc.h"
#include "view/COrvoView.h"

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
    { Command::SelectionRectangleTool, viewmodel::Tool::SelectionRectangle },
    { Command::CropTool, viewmodel::Tool::Crop },
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

void addToolCommands(CommandTable& table, CMainFrame& frame)
{
    for (const ToolCommand& entry : ToolCommands) {
        table.add(
            entry.command,
            [&frame, entry] {
                if (COrvoView* view = activeView(frame))
                    view->selectTool(entry.tool);
            },
            [&frame] {
                const COrvoView* view = activeView(frame);
                return view && view->document().frame();
            },
            [&frame, entry] {
                const COrvoView* view = activeView(frame);
                return view && view->currentTool() == entry.tool;
            });
    }
    for (const MovieCommand& entry : MovieCommands) {
        table.add(
            entry.command,
            [&frame, entry] {
                if (COrvoView* view = activeView(frame))
                    view->playMovie(entry.direction);
            },
            [&frame] {
                const COrvoView* view = activeView(frame);
                return view && (view->canPlayMovie() || view->playingMovie());
            },
            [&frame, entry] {
                const COrvoView* view = activeView(frame);
                return view && view->currentTool() == entry.playing;
            });
    }
    table.add(
        Command::VideoTimeSetup,
        [&frame] {
            COrvoDoc* doc = activeDocument(frame);
            if (!doc)
                return;
            if (const auto chosen = VideoSpeedDialog::ask(doc->frameTime(), doc->headerFrameTime(), &frame))
                doc->setFrameTime(chosen->frameTime);
        },
        [&frame] {
            const COrvoDoc* doc = activeDocument(frame);
            return doc && doc->frameCount() > 1;
        });
}
