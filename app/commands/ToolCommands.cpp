#include "app/commands/CommandTable.h"
#include "app/commands/CommandTargets.h"
#include "app/commands/Commands.h"
#include "app/commands/ToolIds.h"
#include "app/dialogs/VideoSpeedDialog.h"
#include "document/COrvoDoc.h"
#include "view/COrvoView.h"

#include <QColorDialog>
#include <QPointer>

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

QColor toQColor(document::ColorRef c) { return { document::redOf(c), document::greenOf(c), document::blueOf(c) }; }

document::ColorRef drawingColour(const COrvoDoc& doc, viewmodel::DrawingColour which)
{
    switch (which) {
    case viewmodel::DrawingColour::Length: return doc.measurementStyle().lengthColour;
    case viewmodel::DrawingColour::Angle: return doc.measurementStyle().angleColour;
    case viewmodel::DrawingColour::Annotation: break;
    }
    return doc.annotationColour();
}

void setDrawingColour(COrvoDoc& doc, viewmodel::DrawingColour which, document::ColorRef colour)
{
    COrvoDoc::MeasurementStyle style = doc.measurementStyle();
    switch (which) {
    case viewmodel::DrawingColour::Length: style.lengthColour = colour; break;
    case viewmodel::DrawingColour::Angle: style.angleColour = colour; break;
    case viewmodel::DrawingColour::Annotation: doc.setAnnotationColour(colour); return;
    }
    doc.setMeasurementStyle(style);
}

// "Select drawing color": the colour the active tool draws with next, in
// the colour dialog; what is drawn keeps its colour.
void chooseDrawingColour(CMainFrame& frame)
{
    const COrvoView* view = activeView(frame);
    if (!view)
        return;
    const QPointer<COrvoDoc> doc = &view->document();
    const viewmodel::DrawingColour which = viewmodel::drawingColourOf(view->currentTool());
    auto* dialog = new QColorDialog(toQColor(drawingColour(*doc, which)), &frame);
    dialog->setObjectName(QStringLiteral("DrawingColourDialog"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    // The window may close while the dialog is up; its document with it.
    QObject::connect(dialog, &QColorDialog::colorSelected, &frame, [doc, which](const QColor& chosen) {
        if (doc && chosen.isValid())
            setDrawingColour(*doc, which, document::makeColorRef(chosen.red(), chosen.green(), chosen.blue()));
    });
    dialog->open();
}

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
    table.add(Command::SelectDrawingColor, [&frame] { chooseDrawingColour(frame); },
        [&frame] { return activeView(frame) != nullptr; });
}
