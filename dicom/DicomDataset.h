#pragma once

// One opened DICOM file (or one data set built in memory): its elements in
// file order, the flags of its encoding, its image attributes and frames.

#include "base/Frame.h"
#include "base/Tag.h"
#include "dicom/DicomElement.h"
#include "dicom/DicomError.h"
#include "dicom/PixelAttributes.h"
#include "dicom/PixelDataLocation.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace dicom {

// The attributes of the data set's normalised frames as the pixel module (or
// the picture reader) leaves them, and the bytes of one such frame.
struct ImageAttributes : PixelAttributes {
    std::uint32_t frameSize = 0;
};

// Raw palette colour lookup table data as stored in the file.
struct PaletteData {
    std::uint16_t length = 0;
    std::vector<std::uint8_t> red;
    std::vector<std::uint8_t> green;
    std::vector<std::uint8_t> blue;
};

struct DicomDataset {
    bool headerOnly = false;
    bool hasPreamble = false;
    bool implicitVr = false;
    bool bigEndian = false;
    std::array<std::uint8_t, 128> preamble {};
    std::array<std::uint8_t, 4> prefix {};
    std::vector<DicomElement> elements; // top level, in file order
    PixelDataLocation pixelData;        // found by the reader's pass over the elements
    std::string compressionName;        // "NONE", "RLE", "JPEG LOSSY", "JPEG LOSSLESS"
    ImageAttributes image;
    // The normalised frames until their owner takes them: the document moves
    // them into its image objects, so they are never held twice.
    std::vector<base::Frame> frames;
    PaletteData palette;
    // What the frame decoders warned of, for the caller to show; the core never prints.
    std::vector<std::string> warnings;
    DicomError error = DicomError::None;
    std::string path;

    DicomError lastError() const { return error; }
    std::string errorMessage(std::size_t capacity = 64) const { return dicom::errorMessage(error, capacity); }

    std::size_t elementCount() const { return elements.size(); }

    // Direct read access without copying; the VR is the one read (or, in
    // implicit VR, the dictionary's, empty for unknown tags).
    const DicomElement* elementAt(std::size_t index) const;
    // The first element with this tag in file order, or none.
    const DicomElement* find(base::Tag tag) const;

    // Copies handed out to callers. In an implicit-VR data set the copy's VR
    // is the dictionary's, or two blanks for a tag the dictionary lacks.
    std::optional<DicomElement> getElementAt(std::size_t index) const;
    std::optional<DicomElement> findElement(std::uint16_t group, std::uint16_t element) const;
    std::optional<DicomElement> copyElement(std::uint16_t group, std::uint16_t element) const;

private:
    DicomElement handOut(const DicomElement& source) const;
};

} // namespace dicom
