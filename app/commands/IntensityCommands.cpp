#include "app/FrameJob.h"
#include "app/commands/CommandTable.h"
#include "app/commands/CommandTargets.h"
#include "app/commands/Commands.h"
#include "app/dialogs/BrightnessContrastDialog.h"
#include "app/dialogs/ThresholdDialog.h"
#include "document/COrvoDoc.h"
#include "imaging/FrameImage.h"
#include "imaging/Intensity.h"

#include <functional>
#include <optional>

namespace {

using FrameChange = std::function<bool(imaging::FrameImage&)>;

COrvoDoc* documentWithImage(const CMainFrame& frame)
{
    COrvoDoc* doc = activeDocument(frame);
    const imaging::FrameImage* image = doc ? doc->frame() : nullptr;
    return image && image->sampleDepth() != 0 ? doc : nullptr;
}

// Tries a dialog's parameters on the document's current frame, each try in
// place of the last, and leaves the frame exactly as it found it (pixels,
// window, undo levels) when it goes, so that the chosen change can then be
// made once, as one step, by the frame job.
class FramePreview {
public:
    explicit FramePreview(COrvoDoc& doc)
        : m_doc(doc)
        , m_frame(*doc.frame())
        , m_active(m_frame.beginPreview())
    {
    }
    FramePreview(const FramePreview&) = delete;
    FramePreview& operator=(const FramePreview&) = delete;

    ~FramePreview()
    {
        if (!m_active)
            return;
        if (!m_shown) {
            m_frame.endPreview(imaging::PreviewEnd::Discard);
            return;
        }
        // FIXME: a restore that runs out of memory leaves the last try on the
        // frame; only its snapshot is dropped.
        if (!m_frame.endPreview(imaging::PreviewEnd::Restore))
            m_frame.endPreview(imaging::PreviewEnd::Discard);
        emit m_doc.changed();
    }

    void show(const FrameChange& change)
    {
        if (m_shown) {
            // Back to the snapshot, and a fresh one for the next try.
            if (!m_frame.endPreview(imaging::PreviewEnd::Restore))
                return;
            m_shown = false;
            m_active = m_frame.beginPreview();
        }
        if (!m_active)
            return;
        m_shown = change(m_frame);
        emit m_doc.changed();
    }

private:
    COrvoDoc& m_doc;
    imaging::FrameImage& m_frame;
    bool m_active = false;
    bool m_shown = false;
};

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
        chosen = Dialog::ask(*doc->frame(), tryOut, &frame);
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
