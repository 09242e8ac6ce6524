#include "view/SelectionEdits.h"

#include "document/COrvoDoc.h"
#include "imaging/FrameImage.h"
#include "imaging/Geometry.h"
#include "imaging/Intensity.h"

#include <cstdint>

namespace selectionedits {

namespace {

bool cropToSelection(imaging::FrameImage& frame)
{
    if (!frame.hasSelection())
        return false;
    const imaging::RegionBox box = frame.selectionBox(1.0); // right and bottom exclusive
    if (box.left == 0 && box.top == 0 && box.right == frame.width() && box.bottom == frame.height())
        return false;
    return imaging::crop(frame, box.left, box.top, box.right, box.bottom);
}

bool change(imaging::FrameImage& frame, Edit edit)
{
    // A frame in scope without a selection of its own is left alone: an
    // empty region would otherwise mean the whole frame.
    if (!frame.hasSelection())
        return false;
    switch (edit) {
    case Edit::Unselect: return frame.removeSelection();
    case Edit::InverseSelection: return frame.invertSelection();
    case Edit::Clear: return imaging::clearSelection(frame);
    case Edit::CropToSelection: return cropToSelection(frame);
    }
    return false;
}

} // namespace

bool canApply(const COrvoDoc& doc, Edit edit)
{
    const imaging::FrameImage* frame = doc.frame();
    if (!frame || !frame->hasSelection())
        return false;
    if (edit != Edit::InverseSelection)
        return true;
    const auto all = static_cast<std::uint64_t>(frame->width()) * static_cast<std::uint64_t>(frame->height());
    return frame->selectionPixelCount() < all;
}

bool apply(COrvoDoc& doc, Edit edit)
{
    if (!canApply(doc, edit))
        return false;
    // A selection change is an undo level of the image: a pixel step.
    return doc.changeFrames([edit](imaging::FrameImage& frame, int) { return change(frame, edit); }) > 0;
}

} // namespace selectionedits
