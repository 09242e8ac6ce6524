#include "app/FrameJob.h"
#include "app/commands/FramePreview.h"
#include "app/commands/CommandTable.h"
#include "app/commands/CommandTargets.h"
#include "app/commands/Commands.h"
#include "app/dialogs/BrightnessContrastDialog.h"
#include "app/dialogs/ThresholdDialog.h"
#include "document/COrvoDoc.h"
#include "imaging/FrameImage.h"
#include "imaging/Intensity.h"
#include "view/COrvoView.h"

#include <QRect>

#include <functional>
#include <optional>

namespace {

FrameChange thresholdChange(const ThresholdDialog::Parameters& chosen)
{
    return [chosen](imaging::FrameImage& image) {
        return imaging::threshold(image, chosen.lower, chosen.upper, chosen.mode);
    };
}

FrameChange brightnessContrastChange(const BrightnessContrastDialog::Parameters& chosen)
{
    return [chosen](imaging::FrameImage& image) {
        return imaging::brightnessContrast(image, chosen.brightness, chosen.contrast);
    };
}

// The part of the current frame its view shows, in screen coordinates: what
// a preview changes.
QRect shownPicture(const CMainFrame& frame)
{
    const COrvoView* view = activeView(frame);
    if (!view)
        return {};
    const QRect shown = view->displayedImageRect().intersected(view->viewport()->rect());
    return shown.isEmpty() ? QRect() : QRect(view->viewport()->mapToGlobal(shown.topLeft()), shown.size());
}

// Opens a dialog with its preview on the current frame and, on OK, makes the
// change it chose on the frames in scope. The preview is gone before the job
// starts, so the job finds each frame as it was.
template<typename Dialog>
void askAndApply(CMainFrame& frame, FrameChange (*changeOf)(const typename Dialog::Parameters&))
{
    COrvoDoc* doc = documentWithImage(frame);
    if (!doc)
        return;
    std::optional<typename Dialog::Parameters> chosen;
    {
        FramePreview preview(*doc);
        const auto tryOut = [&preview, changeOf](const typename Dialog::Parameters& tried) {
            preview.show(changeOf(tried));
        };
        chosen = Dialog::ask(*doc->frame(), tryOut, &frame, shownPicture(frame));
    }
    if (chosen)
        runFrameJob(&frame, *doc, changeOf(*chosen));
}

void applyToFrames(CMainFrame& frame, const FrameChange& change)
{
    if (COrvoDoc* doc = documentWithImage(frame))
        runFrameJob(&frame, *doc, change);
}

} // namespace

void addIntensityCommands(CommandTable& table, CMainFrame& frame)
{
    const auto enabled = [&frame] { return documentWithImage(frame) != nullptr; };
    table.add(
        Command::Inverse,
        [&frame] { applyToFrames(frame, [](imaging::FrameImage& image) { return imaging::invert(image); }); },
        enabled);
    table.add(Command::Thresholding, [&frame] { askAndApply<ThresholdDialog>(frame, thresholdChange); }, enabled);
    table.add(
        Command::BrightnessContrast,
        [&frame] { askAndApply<BrightnessContrastDialog>(frame, brightnessContrastChange); }, enabled);
    table.add(
        Command::RemoveBurnedIn,
        [&frame] { applyToFrames(frame, [](imaging::FrameImage& image) { return imaging::removeBurnedIn(image); }); },
        enabled);
}
