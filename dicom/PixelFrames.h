#pragma once

// Extraction of the frames of a pixel-data element (7FE0,0010): native data
// split into frames (PS3.5 8.1), or encapsulated fragments (PS3.5 A.4)
// decoded; every frame is then normalised.

#include "dicom/DicomError.h"
#include "dicom/DicomElement.h"
#include "dicom/PixelAttributes.h"
#include "dicom/Normalisation.h"
#include "dicom/PaletteColour.h"
#include "dicom/ParallelFrames.h"
#include "dicom/PixelDataLocation.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <optional>
#include <span>
#include <vector>

namespace dicom {

// The file's bytes and where the reader found the pixel data in them.
struct PixelSource {
    std::span<const std::uint8_t> bytes; // the whole file
    const PixelDataLocation* location = nullptr;
    bool bigEndian = false;
};

inline constexpr std::uint32_t UndefinedLength = PixelDataLocation::Encapsulated;

struct Encapsulated {
    std::vector<std::uint32_t> offsetTable;                // basic offset table, may be empty
    std::vector<std::span<const std::uint8_t>> fragments;  // item values after the table
    std::vector<std::uint64_t> fragmentPositions;          // item tag offsets from the first fragment's tag
};

// The fragments the reader recorded, as views of the file's bytes; error 5
// when their layout is faulty or there are none.
Result<Encapsulated> encapsulatedFragments(const PixelSource& source);

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

// Warnings of decoders running on several threads, each text kept once.
class DecodeWarnings {
public:
    void add(const std::vector<std::string>& texts);
    std::vector<std::string> take();

private:
    std::mutex m_mutex;
    std::vector<std::string> m_texts;
};

// The frames of one image as independent decodes, so that several threads
// can make them at once: each thread calls makeDecoder for a decoder of its own.
struct FrameJobs {
    std::size_t count = 0;
    std::function<FrameDecoder()> makeDecoder;
    // What the decoders warn of, from every thread; none for most files.
    std::shared_ptr<DecodeWarnings> warnings = std::make_shared<DecodeWarnings>();
    // The attributes the frames were normalised with when the streams
    // overrule the data set's (a JPEG 2000 stream's precision); else null.
    std::shared_ptr<const PixelAttributes> decodedAttributes;
};

// The decoded image: attributes as normalised, one frame each.
struct PixelFrames {
    PixelAttributes attributes;
    Compression compression = Compression::None;
    std::vector<Frame> frames;
    std::optional<PaletteTables> palette;
    // The bytes of one frame as stored uncompressed.
    std::uint64_t storedFrameBytes = 0;
    // The decoders' warnings (a stream cut short, an unexpected marker), each
    // once: the frames decoded, but the caller should say what was odd.
    std::vector<std::string> warnings;
};

// Checks the attributes, extracts and normalises all frames, several at a
// time on `threads` threads. palette is required for "PALETTE COLOR" (error
// 5 without). With a sink, frames go to it in order instead of into the
// result, so only a few are held at a time.
Result<PixelFrames> decodePixelData(const PixelAttributes& attrs, Compression compression,
                                          const PixelSource& source, const std::optional<PaletteTables>& palette,
                                          const FrameSink& sink = {}, unsigned threads = 1);

} // namespace dicom
