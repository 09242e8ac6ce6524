#pragma once

#include <QImage>

class COrvoDoc;

// The document's current frame as shown, fitted into side x side pixels, for
// the dialogs that show which frame they start from; null without a frame.
QImage framePreview(const COrvoDoc& doc, int side);
