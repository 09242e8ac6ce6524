#pragma once

#include <functional>

class CChildFrame;
class CMainFrame;

// Before a document with unsaved edits goes (its window closes, the program
// ends, or file navigation puts another file in its window) the user is
// asked "Save changes to <title>?".

// The window's document was edited since it was loaded or saved, and no
// other window shows it.
bool hasUnsavedEdits(const CMainFrame& frame, const CChildFrame& child);
// The first window (in the order they were opened) whose document has unsaved edits.
CChildFrame* firstWindowWithUnsavedEdits(const CMainFrame& frame);

// Asks about the window's document, made the active one so that the user
// sees what is meant. Yes saves it as "&Save" does (asking for a name where
// it needs one) and runs `proceed` once it was written; No runs `proceed`
// at once; Cancel, or a save that was cancelled or failed, keeps
// everything and runs `kept`. The question is window-modal: the call
// returns before it is answered. While one question is open no other is asked.
void askToSaveEdits(CMainFrame& frame, CChildFrame& child, const std::function<void()>& proceed,
                    const std::function<void()>& kept = {});

// For a window about to close: true when it may close now; otherwise the
// question is asked and the window closes once it is answered so.
bool mayCloseWindow(CMainFrame& frame, CChildFrame& child);
