#pragma once

class CMainFrame;

// Undo and Redo of the active document's current frame (every frame while
// "Apply to all frames" is on), enabled by what that frame can take back.
void connectEditCommands(CMainFrame& frame);
void updateEditCommands(CMainFrame& frame);
