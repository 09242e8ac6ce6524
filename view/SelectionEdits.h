#pragma once

// The edits of a frame's selection that the Edit menu, the view's keys and
// its context menu share. Each works on the frames in scope: every frame
// while "Apply to all frames" is on, else the current one.

#include <functional>

class COrvoDoc;

namespace imaging {
class FrameImage;
}

namespace selectionedits {

enum class Edit { Unselect, InverseSelection, Clear, CropToSelection };

// Runs a change on each frame in scope. Each frame it changes (the change
// answers true) gets one pixel step of the edit history, as a selection
// change is an undo level of the image; the document announces the change
// once. Answers how many frames changed.
int changeFramesInScope(COrvoDoc& doc, const std::function<bool(imaging::FrameImage&)>& change);

// Each edit is offered while the current frame has a selection; inverting
// also needs a selection that leaves some pixels out, since inverting a
// selection of the whole frame would leave nothing selected.
bool canApply(const COrvoDoc& doc, Edit edit);
// False when the edit is not offered or changed no frame.
bool apply(COrvoDoc& doc, Edit edit);

} // namespace selectionedits
