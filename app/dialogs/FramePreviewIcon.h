#pragma once

#include <QPixmap>

class COrvoDoc;

// The document's current frame as shown, fitted into side x side pixels, for
// the dialogs that show which frame they start from; null without a frame.
QPixmap framePreviewPixmap(const COrvoDoc& doc, int side);
