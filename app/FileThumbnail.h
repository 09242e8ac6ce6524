#pragma once

#include <QImage>
#include <QString>

// The first frame of a DICOM file as the view shows it (through the file's
// window), reduced to fit a square of `side` pixels with the frame's shape,
// non-square pixels included. Null when the file does not read or holds no
// frame. Reads the whole file; safe to call off the interface thread.
QImage fileThumbnail(const QString& path, int side);
