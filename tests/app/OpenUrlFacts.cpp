#include "OpenUrlFacts.h"

#include "document/COrvoDoc.h"
#include "imaging/FrameImage.h"

namespace testfacts {

QByteArray framePixels(const COrvoDoc& doc, int index)
{
    const imaging::FrameImage* frame = doc.frame(index);
    if (!frame)
        return {};
    const auto bytesOf = [](const auto& pixels) {
        return QByteArray(reinterpret_cast<const char*>(pixels.data()),
                          static_cast<qsizetype>(pixels.size() * sizeof(pixels[0])));
    };
    if (frame->image8())
        return bytesOf(frame->image8()->topLevel().pixels);
    if (frame->image16())
        return bytesOf(frame->image16()->topLevel().pixels);
    return {};
}

} // namespace testfacts
