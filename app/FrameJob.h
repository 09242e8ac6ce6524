#pragma once

#include "document/COrvoDoc.h"

#include <functional>

class QWidget;
namespace imaging {
class FrameImage;
}

// Runs a pixel operation on the frames an edit covers: the current frame, or
// every frame while "Apply to all" is on. Each frame it changed gets one
// pixel step and the document announces the edit once.
//
// Over several frames the other frames go to worker threads, one frame at a
// time each, under a "Please wait..." window with Cancel. Cancel stops the
// workers before their next frame, so every frame is either changed, with
// its step, or untouched. The current frame, which the window keeps on the
// screen, is changed on this thread at the end, unless cancelled.
//
// `change` must touch only the frame it is given. `scope` says which frames
// (CurrentOnly is not for a job). `workers` 0 is one per core. Answers how
// many frames changed.
int runFrameJob(QWidget* parent, COrvoDoc& doc, const std::function<bool(imaging::FrameImage&)>& change,
                COrvoDoc::Scope scope = COrvoDoc::Scope::InScope, unsigned workers = 0);
