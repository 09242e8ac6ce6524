#pragma once

#include <QString>

class CMainFrame;

// The folder the user is in: the one the select-file bar shows (the folder
// of the file opened last, or the one chosen since), else the one stored
// from the last run; ending in "/", or empty when there is none. Folder
// dialogs start there.
QString currentFolder(const CMainFrame& frame);
