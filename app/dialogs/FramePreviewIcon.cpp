#include "app/dialogs/FramePreviewIcon.h"

#include "document/COrvoDoc.h"
#include "imaging/FrameImage.h"
#include "view/FramePicture.h"

QImage framePreview(const COrvoDoc& doc, int side)
{
    const imaging::FrameImage* frame = doc.frame();
    const imaging::DisplayBitmap* bitmap = frame ? frame->displayBitmap() : nullptr;
    if (!bitmap || bitmap->isNull())
        return {};
    const QImage picture = framePicture(*bitmap);
    if (picture.isNull())
        return {};
    return picture.scaled(side, side, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}
