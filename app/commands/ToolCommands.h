#pragma once

class CMainFrame;

// The commands that choose the image view's tool: each acts on the active
// view, is enabled while there is one, and is checked for the view's tool.
void connectToolCommands(CMainFrame& frame);
// "M&ovie" and "&Reverse movie" start, turn round or stop the active view's movie.
void connectMovieCommands(CMainFrame& frame);
void updateToolCommands(CMainFrame& frame);
