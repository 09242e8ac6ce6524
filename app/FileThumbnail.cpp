#include "app/FileThumbnail.h"

#include "dicom/DicomDataset.h"
#include "dicom/PixelModule.h"
#include "document/LoadedFile.h"
#include "imaging/DisplayBitmap.h"
#include "view/FramePicture.h"

#include <algorithm>
#include <cmath>

QImage fileThumbnail(const QString& path, int side)
{
    // Resampling every frame to square pixels would cost a multi-frame file
    // more than its thumbnail; the stretch is applied to the small picture.
    const auto file = document::LoadedFile::read(path, 0, document::AspectResample::No);
    if (file.frames.empty() || !file.dataset || side < 1)
        return {};
    const imaging::DisplayBitmap* bitmap = file.frames.front().displayBitmap();
    if (!bitmap || bitmap->isNull())
        return {};
    const QImage picture = framePicture(*bitmap);
    if (picture.isNull())
        return {};
    double height = picture.height();
    if (const auto ratio = dicom::pixelAspectRatio(*file.dataset))
        height *= *ratio;
    const QSize shape(picture.width(), static_cast<int>(std::lround(std::clamp(height, 1.0, 65535.0))));
    const QSize fitted = shape.scaled(side, side, Qt::KeepAspectRatio);
    return picture.scaled(fitted.expandedTo(QSize(1, 1)), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}
