#pragma once

// What the commands act on: the active child window's image view and document.

#include "app/CChildFrame.h"
#include "app/CMainFrame.h"
#include "document/COrvoDoc.h"
#include "imaging/FrameImage.h"

class COrvoView;

inline COrvoView* activeView(const CMainFrame& frame)
{
    const CChildFrame* child = frame.activeChild();
    return child ? child->imageView() : nullptr;
}

inline COrvoDoc* activeDocument(const CMainFrame& frame)
{
    const CChildFrame* child = frame.activeChild();
    return child ? &child->document() : nullptr;
}

// The active document while its current frame holds an image, which every
// pixel command needs; none otherwise.
inline COrvoDoc* documentWithImage(const CMainFrame& frame)
{
    COrvoDoc* doc = activeDocument(frame);
    const imaging::FrameImage* image = doc ? doc->frame() : nullptr;
    return image && image->sampleDepth() != 0 ? doc : nullptr;
}
