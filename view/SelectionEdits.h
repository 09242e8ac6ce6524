#pragma once

// The edits of a frame's selection that the Edit menu, the view's keys and
// its context menu share. Each works on the frames in scope: every frame
// while "Apply to all frames" is on, else the current one.

class COrvoDoc;

namespace selectionedits {

enum class Edit { Unselect, InverseSelection, Clear, CropToSelection };

// Each edit is offered while the current frame has a selection; inverting
// also needs a selection that leaves some pixels out, since inverting a
// selection of the whole frame would leave nothing selected.
bool canApply(const COrvoDoc& doc, Edit edit);
// False when the edit is not offered or changed no frame.
bool apply(COrvoDoc& doc, Edit edit);

} // namespace selectionedits
