#pragma once

class QFileDialog;
class QRect;
class QWidget;

namespace dialogsize {

// A large dialog (a file dialog, a folder tree with a header list) opens at
// a good share of the screen it appears on, not at the few hundred pixels
// its contents ask for at least.
void fitToScreen(QWidget& dialog);

// The detail columns of a file dialog wide enough for what they show: a
// size, a file type and a date in this locale's short form; the name takes
// what is left.
void widenFileColumns(QFileDialog& dialog);

// A dialog whose preview changes a picture opens beside `keepClear` (the
// picture as shown, in screen coordinates) where the screen has room, so
// the change stays in sight. An empty rectangle leaves the dialog where it
// would open anyway.
void placeBeside(QWidget& dialog, const QRect& keepClear);

} // namespace dialogsize
