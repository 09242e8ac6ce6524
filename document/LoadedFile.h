#pragma once

#include "imaging/FrameImage.h"

#include <QString>

#include <memory>
#include <optional>
#include <vector>

namespace dicom {
struct DicomDataset;
}

namespace document {

enum class AspectResample { No, Yes };
// How a file is told apart: by its name (".bmp" and ".jpg" files are
// pictures), or as DICOM whatever its name says (a file this program wrote).
enum class ReadAs { ByName, Dicom };

// One source file read for a document: its data set and one image object per
// frame, or nothing and the reader's message.
struct LoadedFile {
    std::unique_ptr<dicom::DicomDataset> dataset;
    std::vector<imaging::FrameImage> frames;
    QString error;
    // The pixel aspect ratio the frames were stretched by; none when they
    // keep the file's shape.
    std::optional<double> aspectRatio;

    ~LoadedFile();
    LoadedFile();
    LoadedFile(LoadedFile&&) noexcept;
    LoadedFile& operator=(LoadedFile&&) noexcept;

    // Probes the header, reads the whole file and builds the frames, which
    // carry the file's name and `datasetIndex`. Any failure leaves nothing
    // built. With AspectResample::Yes, frames of non-square pixels are
    // resampled to square ones.
    static LoadedFile read(const QString& path, int datasetIndex, AspectResample aspect,
                           ReadAs readAs = ReadAs::ByName);
    // The same frames built from a data set already in memory (a picture
    // made into one); `name` stands for the file's name.
    static LoadedFile fromDataset(std::unique_ptr<dicom::DicomDataset> dataset, const QString& name,
                                  int datasetIndex, AspectResample aspect);
};

// The height a frame of `height` rows gets for pixels `ratio` times as tall as
// wide: height x ratio + 0.5, truncated. None when the ratio is not a finite
// number above 0, when the result leaves 1..65535, or when it equals `height`.
std::optional<std::int32_t> aspectHeight(std::int32_t height, double ratio);

} // namespace document
