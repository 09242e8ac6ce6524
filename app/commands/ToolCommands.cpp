#include "app/commands/CommandTable.h"
#include "app/commands/CommandTargets.h"
#include "app/commands/Commands.h"
#include "app/commands/ToolIds.h"
#include "app/dialogs/VideoSpeedDialog.h"
#include "document/COrvoDoc.h"
#include "view/COrvoView.h"

namespace {

constexpr viewmodel::Tool ChosenTools[] = {
    viewmodel::Tool::PanHand,
    viewmodel::Tool::ZoomInOut,
    viewmodel::Tool::ZoomRectangle,
    viewmodel::Tool::DynamicZoom,
    viewmodel::Tool::SelectionRectangle,
    viewmodel::Tool::Crop,
    viewmodel::Tool::LevelWindow,
    viewmodel::Tool::AddTextAnnotation,
    viewmodel::Tool::MoveAnnotation,
    viewmodel::Tool::DeleteAnnotation,
    viewmodel::Tool::MeasureLength,
    viewmodel::Tool::MeasureAngle,
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
    for (const viewmodel::Tool tool : ChosenTools) {
        table.add(
            commandOfTool(tool),
            [&frame, tool] {
                if (COrvoView* view = activeView(frame))
                    view->selectTool(tool);
            },
            [&frame, tool] {
                const COrvoView* view = activeView(frame);
                if (!view)
                    return false;
                const COrvoDoc& doc = view->document();
                return viewmodel::isToolCommandEnabled(
                    tool, { doc.frame() != nullptr, doc.showAnnotations(), doc.showMeasurements() });
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
