#pragma once

class CMainFrame;

// The View menu's zoom commands on the active image view: fit, actual size,
// and back and forth through its zoom history.
void connectZoomCommands(CMainFrame& frame);
void updateZoomCommands(CMainFrame& frame);
