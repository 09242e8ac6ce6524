#pragma once

// AVI 1.0 movies of our own: one RIFF with a video stream of uncompressed
// device-independent bitmaps ('00db', rows bottom up, each padded to 4
// bytes) or of Motion-JPEG pictures ('00dc', 'MJPG'), and an 'idx1' index
// flagging every frame as a key frame. Frames go to the stream as they come;
// only the 16-byte index entries are kept until the end, when the header's
// sizes and counts are patched in.

#include "export/ExportTypes.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <ostream>
#include <vector>

namespace exporting {

enum class AviCodec { Uncompressed, MotionJpeg };
enum class AviColour { Rgb, Grey };

// A RIFF of AVI 1.0 addresses its chunks with 32-bit offsets, and players
// give up on files past 1 GiB.
constexpr std::uint64_t kMaxAviFileSize = std::uint64_t(1) << 30;

struct AviRate {
    std::uint32_t rate = 0;  // dwRate
    std::uint32_t scale = 0; // dwScale; frames per second = rate / scale
};

// The stream's rate for a frame time in milliseconds (finite, > 0).
AviRate aviRate(double frameTimeMs);

struct AviSettings {
    double frameTimeMs = 66.67;
    AviCodec codec = AviCodec::Uncompressed;
    AviColour colour = AviColour::Rgb;
    int quality = 90; // Motion-JPEG pictures
};

// Bytes of everything before the first frame chunk (RIFF, header list,
// 'movi' list head); only uncompressed grey frames carry a palette.
std::uint64_t aviHeaderSize(const AviSettings& settings);
// The whole file with `frames` frame chunks taking `chunkBytes` in all
// (chunk heads and pad bytes included) and their index.
std::uint64_t aviFileSize(const AviSettings& settings, std::uint64_t frames, std::uint64_t chunkBytes);
// Bytes of one uncompressed frame of that size.
std::uint64_t aviFrameBytes(std::int32_t width, std::int32_t height, AviColour colour);
// The size of a movie for the free-space test: exact when uncompressed,
// a generous guess for Motion-JPEG.
std::uint64_t aviEstimatedSize(const AviSettings& settings, std::int32_t width, std::int32_t height,
                               std::uint64_t frames);

// Writes one movie to a seekable stream.
class AviWriter {
public:
    AviWriter(std::ostream& out, const AviSettings& settings);

    // Adds a frame. A picture whose size differs from the first frame's is
    // not written and is counted as skipped. TooLarge when the frame and the
    // index would carry the file past kMaxAviFileSize (nothing written);
    // WriteFailed when the stream fails.
    Result<void> append(const Picture& picture);
    // Writes the index and patches the header. InvalidPicture when no frame
    // was written.
    Result<void> finish();

    std::uint32_t frameCount() const { return static_cast<std::uint32_t>(m_index.size()); }
    std::uint32_t skippedCount() const { return m_skipped; }

private:
    struct IndexEntry {
        std::uint32_t offset = 0; // from the 'movi' fourcc
        std::uint32_t size = 0;
    };

    Result<std::vector<std::uint8_t>> framePayload(const Picture& picture) const;
    Result<void> writeHeader();

    std::ostream& m_out;
    AviSettings m_settings;
    std::int32_t m_width = 0;
    std::int32_t m_height = 0;
    std::uint64_t m_chunkBytes = 0; // frame chunks written so far, heads and pads included
    std::uint32_t m_largestFrame = 0;
    std::uint32_t m_skipped = 0;
    std::vector<IndexEntry> m_index;
};

// Free space of the folder that will hold `path` against `bytes`:
// NotEnoughSpace when short (an unreadable file system is not refused).
Result<void> checkFreeSpace(const std::filesystem::path& path, std::uint64_t bytes);

struct AviSummary {
    std::uint32_t frames = 0;
    std::uint32_t skipped = 0;
};

// The whole movie through a temporary file in the target's folder, renamed
// into place only on success: refuses an uncompressed movie of `frames`
// pictures of width x height past kMaxAviFileSize (TooLarge) and a disk too
// small for it (NotEnoughSpace) before writing, then lets `feed` append the
// frames. On any failure, feed's included, no file is left behind and an
// older file of that name stays.
Result<AviSummary> writeAviFile(const std::filesystem::path& path, const AviSettings& settings,
                                std::int32_t width, std::int32_t height, std::uint64_t frames,
                                const std::function<Result<void>(AviWriter& writer)>& feed);

// A movie of `frames` rendered through renderInOrder (workers 0: one a core)
// at width x height (0: each picture's own size, which the first frame
// must then have: expectedWidth x expectedHeight), written by writeAviFile.
// The first frame that cannot be rendered or appended ends the movie with
// its failure.
struct AviMovie {
    AviSettings settings;
    std::vector<int> frames;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t expectedWidth = 0;
    std::int32_t expectedHeight = 0;
    Scaling scaling = Scaling::Nearest;
    unsigned workers = 0;
};
Result<AviSummary> writeAviMovie(const std::filesystem::path& path, const AviMovie& movie, const PictureSource& source,
                                 const Progress& progress = {});

} // namespace exporting
