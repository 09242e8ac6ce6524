#pragma once

class CMainFrame;

// Unselect, Inverse Selection, Clear and Crop To Selection on the active
// document's frames in scope, enabled by the current frame's selection.
void connectSelectionCommands(CMainFrame& frame);
void updateSelectionCommands(CMainFrame& frame);
