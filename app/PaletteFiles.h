#pragma once

// Where the user palettes live: the program's folder ships some and is
// read-only once installed, so palettes the user saves go to their own data
// folder. Both are read at start-up.

#include "imaging/CustomPalette.h"

#include <QString>
#include <QStringList>

#include <optional>

class COrvoDoc;

// "Palettes" beside the program, then "Palettes" in the user's data folder.
QStringList paletteFolders();
// The folder palettes are saved into.
QString userPaletteFolder();

// Appends the palettes of every folder, in folder order; a missing folder
// adds nothing. Answers how many were added.
std::size_t loadCustomPalettes(imaging::CustomPaletteList& list);

// Writes `palette` under its sanitised name to a temporary file beside
// `file`, renames it into place, and only then appends it to `list`. The
// file's folder is created when missing.
bool saveCustomPalette(imaging::CustomPaletteList& list, const QString& file, const imaging::CustomPalette& palette);

// The palette colour tables of the document's current file, named after its
// maker; none unless the file is "PALETTE COLOR".
std::optional<imaging::CustomPalette> documentPalette(const COrvoDoc& doc);
bool hasDocumentPalette(const COrvoDoc& doc);
