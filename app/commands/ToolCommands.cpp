#include "app/commands/CommandTable.h"
#include "app/commands/CommandTargets.h"
#include "app/commands/Commands.h"
#include "app/commands/ToolIds.h"
#include "app/dialogs/VideoSpeedDialog.h"
#include "document/COrvoDoc.h"
#include "view/COrvoView.h"

namespace {

// Tools whose behaviour is built; the others' items stay disabled.
constexpr viewmodel::Tool BuiltTools[] = {
    viewmodel::Tool::PanHand,
    viewmodel::Tool::ZoomInOut,
    viewmodel::Tool::ZoomRectangle,
    viewmodel::Tool::DynamicZoom,
    viewmodel::Tool::SelectionRectangle,
    viewmodel::Tool::Crop,
    viewmodel::Tool::LevelWindow,
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
    for (const viewmodel::Tool tool : BuiltTools) {
        table.add(
            commandOfTool(tool),
            [&frame, tool] {
                if (COrvoView* view = activeView(frame))
                    view->selectTool(tool);
            },
            [&frame] {
                const COrvoView* view = activeView(frame);
                return view && view->document().frame();
            },
            [&frame, tool] {
                const COrvoView* view = activeView(frame);
                return view && view->currentTool() == tool;
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
