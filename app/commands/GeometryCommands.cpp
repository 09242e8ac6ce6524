#include "app/FrameJob.h"
#include "app/commands/FramePreview.h"
#include "app/commands/CommandTable.h"
#include "app/commands/CommandTargets.h"
#include "app/commands/Commands.h"
#include "app/dialogs/CustomRotateDialog.h"
#include "app/dialogs/ResampleDialog.h"
#include "document/COrvoDoc.h"
#include "imaging/FrameImage.h"
#include "imaging/Geometry.h"
#include "view/COrvoView.h"

#include <optional>

namespace {

struct TurnCommand {
    Command command;
    bool (*operation)(imaging::FrameImage&);
};

const TurnCommand TurnCommands[] = {
    { Command::Rotate180, imaging::rotate180 },
    { Command::Rotate90Clockwise, imaging::rotate90Clockwise },
    { Command::Rotate90CounterClockwise, imaging::rotate90CounterClockwise },
    { Command::FlipHorizontal, imaging::flipHorizontal },
    { Command::FlipVertical, imaging::flipVertical },
};

bool rotate(imaging::FrameImage& image, const CustomRotateDialog::Parameters& turn)
{
    return turn.turn == imaging::Turn::Clockwise ? imaging::rotateClockwise(image, turn.angle, turn.method)
                                                 : imaging::rotateCounterClockwise(image, turn.angle, turn.method);
}

// The dialog's previews turn the current frame inside one snapshot, which
// is put back before the chosen rotation runs as an edit; so the current
// frame gets one step, like every other frame in scope.
void rotateCustom(CMainFrame& frame, COrvoDoc& doc)
{
    std::optional<CustomRotateDialog::Parameters> chosen;
    {
        FramePreview preview(doc);
        chosen = CustomRotateDialog::ask(
            [&preview](const CustomRotateDialog::Parameters& turn) {
                preview.show([turn](imaging::FrameImage& image) { return rotate(image, turn); });
            },
            &frame);
    }
    if (chosen)
        runFrameJob(&frame, doc, [turn = *chosen](imaging::FrameImage& each) { return rotate(each, turn); });
}

// What the image view keeps between uses of "Resample...": the size last
// chosen and "Constrain Proportions". It lives and dies with the view.
class ResampleMemory : public QObject {
    Q_OBJECT
public:
    explicit ResampleMemory(QObject* view)
        : QObject(view)
    {
    }
    QSize size;
    bool constrain = true;
};

void resample(CMainFrame& frame, COrvoDoc& doc)
{
    COrvoView* view = activeView(frame);
    if (!view)
        return;
    auto* memory = view->findChild<ResampleMemory*>(QString(), Qt::FindDirectChildrenOnly);
    if (!memory)
        memory = new ResampleMemory(view);
    const imaging::FrameImage& image = *doc.frame();
    const auto chosen = ResampleDialog::ask(
        { QSize(image.width(), image.height()), doc.zoom(), memory->size, memory->constrain }, &frame);
    if (!chosen)
        return;
    memory->size = chosen->size;
    memory->constrain = chosen->constrain;
    const auto width = static_cast<std::int32_t>(chosen->size.width());
    const auto height = static_cast<std::int32_t>(chosen->size.height());
    const bool bilinear = chosen->method == imaging::Interpolation::Bilinear;
    runFrameJob(&frame, doc, [width, height, bilinear](imaging::FrameImage& each) {
        return bilinear ? imaging::resampleBilinear(each, width, height)
                        : imaging::resampleNearest(each, width, height);
    });
}

} // namespace

void addGeometryCommands(CommandTable& table, CMainFrame& frame)
{
    const auto enabled = [&frame] { return documentWithImage(frame) != nullptr; };
    for (const TurnCommand& entry : TurnCommands) {
        table.add(
            entry.command,
            [&frame, entry] {
                if (COrvoDoc* doc = documentWithImage(frame))
                    runFrameJob(&frame, *doc, entry.operation);
            },
            enabled);
    }
    table.add(
        Command::RotateCustom,
        [&frame] {
            if (COrvoDoc* doc = documentWithImage(frame))
                rotateCustom(frame, *doc);
        },
        enabled);
    table.add(
        Command::Resample,
        [&frame] {
            if (COrvoDoc* doc = documentWithImage(frame))
                resample(frame, *doc);
        },
        enabled);
}

#include "GeometryCommands.moc"
