#pragma once

// What the commands act on: the active child window's image view and document.

#include "app/CChildFrame.h"
#include "app/CMainFrame.h"

class COrvoDoc;
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
