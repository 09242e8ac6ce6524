#pragma once

// The frames of one file, read by path, as export pictures: what the
// command-line export and the batch conversion render from, without a
// document and without overlays.

#include "dicom/DicomDataset.h"
#include "export/ExportTypes.h"
#include "imaging/FrameImage.h"

#include <cstdint>
#include <filesystem>
#include <vector>

namespace exporting {

// How 8-bit grey frames are windowed. 12- and 16-bit frames always take
// FilePictures::window, kept as given; (0, 0) is the ramp over the samples.
enum class Grey8Window {
    AsOpened,   // the identity the viewer opens them with
    SameWindow, // FilePictures::window, the ramp when that is (0, 0)
};

// The frames as the viewer loads them, each made into its image only while
// its picture is rendered, so a long series is held once, as decoded. When
// every frame goes out once, its image takes the decoded buffer over and the
// run's memory shrinks as it goes; each worker touches only its own frame.
struct FilePictures {
    std::vector<base::Frame> frames;
    std::int32_t columns = 0;
    std::int32_t rows = 0;
    imaging::Window window;
    Grey8Window grey8 = Grey8Window::AsOpened;
    bool eachFrameOnce = false;

    imaging::Result<imaging::FrameImage> image(int index);
};

// Takes the frames out of a data set just read, with the file's own window
// (Window Center and Width, or the ramp when it has none).
FilePictures filePictures(dicom::DicomDataset& dataset);

// The pictures and bitmaps of `pictures`, which must outlive the source.
PictureSource pictureSource(FilePictures& pictures);

} // namespace exporting
