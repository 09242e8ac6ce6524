#pragma once

// Extraction of the frames of a pixel-data element (7FE0,0010): native data
// split into frames (PS3.5 8.1), or encapsulated fragments (PS3.5 A.4)
// decoded; every frame is then normalised.

#include "base/Result.h"
#include "dicom/DicomElement.h"
#include "dicom/PixelAttributes.h"
#include "dicom/Normalisation.h"
#include "dicom/PaletteColour.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

namespace dicom {

// Where group 0x7FE0 starts in a file's bytes and how the data set is encoded.
struct PixelSource {
    std::span<const std::uint8_t> bytes; // the whole file
    std::size_t offset = 0;              // first element of group 0x7FE0
    bool implicitVr = false;
    bool bigEndian = false;
};

// An element of group 0x7FE0 that comes before (7FE0,0010), such as its
// group length.
struct PixelGroupEntry {
    std::uint16_t element = 0;
    std::uint64_t valueOffset = 0;
    std::uint32_t length = 0;
    char vr[3] = {0, 0, 0}; // empty in implicit VR
};

struct PixelDataElement {
    std::uint64_t valueOffset = 0;
    std::uint32_t length = 0; // 0xFFFFFFFF: encapsulated
    char vr[3] = {0, 0, 0};   // empty in implicit VR
    std::vector<PixelGroupEntry> before;
};

inline constexpr std::uint32_t UndefinedLength = 0xFFFFFFFF;

// Walks the elements of group 0x7FE0 to (7FE0,0010); any other group first,
// or the end of the bytes, is error 5.
base::Result<PixelDataElement> findPixelData(const PixelSource& source);

struct Encapsulated {
    std::vector<std::uint32_t> offsetTable;                // basic offset table, may be empty
    std::vector<std::span<const std::uint8_t>> fragments;  // item values after the table
    std::vector<std::uint64_t> fragmentPositions;          // item tag offsets from the first fragment's tag
};

// A.4: the basic offset table item, then fragment items up to the sequence
// delimiter (or the end of the bytes). Error 5 for anything else.
base::Result<Encapsulated> readEncapsulated(std::span<const std::uint8_t> bytes, std::uint64_t valueOffset);

// The fragments of each frame: grouped by a basic offset table whose entries
// point at fragment starts; without one, all fragments make a single frame,
// or fragment i is frame i for min(number of frames, fragments) frames.
std::vector<std::vector<std::span<const std::uint8_t>>> groupFragments(const Encapsulated& data,
                                                                       std::int32_t numberOfFrames);

// The compressed bytes of one frame: a frame of one fragment is used in place,
// several are joined (PS3.5 A.4 lets a frame span fragments). The joined bytes
// stay valid until the next join; the buffer is reused from frame to frame.
class FragmentJoiner {
public:
    std::span<const std::uint8_t> join(const std::vector<std::span<const std::uint8_t>>& fragments);

private:
    std::vector<std::uint8_t> m_joined;
};

// The decoded image: attributes as normalised, one frame each.
struct PixelFrames {
    PixelAttributes attributes;
    Compression compression = Compression::None;
    std::vector<Frame> frames;
    std::optional<PaletteTables> palette;
    // Group 0x7FE0 up to and including (7FE0,0010), for the element list:
    // no pixel values are kept; the group length keeps its value. Decoded
    // pixel data report the bytes of the frames as stored uncompressed.
    std::vector<DicomElement> elements;
};

// Takes each frame as it is made, in order; a failure stops the extraction.
using FrameSink = std::function<base::Result<void>(Frame&&)>;

// Checks the attributes, extracts and normalises all frames. palette is
// required for "PALETTE COLOR" (error 5 without). With a sink, frames go to
// it one by one instead of into the result, so only one is held at a time.
base::Result<PixelFrames> decodePixelData(const PixelAttributes& attrs, Compression compression,
                                          const PixelSource& source, const std::optional<PaletteTables>& palette,
                                          const FrameSink& sink = {});

} // namespace dicom
