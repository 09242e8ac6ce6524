// libFuzzer target: BMP and JPEG pictures opened as secondary-capture data
// sets, through the in-memory form of the picture reader. The first byte picks
// the kind (odd: BMP, even: JPEG); JPEG headers asking for more than a few
// megapixels (but not past the size the adapter refuses) are skipped so that a
// forged size costs no time.

#include "codecs/JpegAdapter.h"
#include "dicom/DicomDataset.h"
#include "dicom/PictureFiles.h"

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <optional>
#include <span>

namespace {

bool cheapToDecode(std::span<const std::uint8_t> s)
{
    for (std::size_t i = 0; i + 9 < s.size(); ++i) {
        if (s[i] == 0xFF && s[i + 1] >= 0xC0 && s[i + 1] <= 0xCF && s[i + 1] != 0xC4 && s[i + 1] != 0xC8
            && s[i + 1] != 0xCC) {
            const std::uint64_t rows = (std::uint32_t(s[i + 5]) << 8) | s[i + 6];
            const std::uint64_t columns = (std::uint32_t(s[i + 7]) << 8) | s[i + 8];
            const std::uint64_t bytes = rows * columns * s[i + 9];
            // Past the adapter's cap the header is refused before any
            // allocation, which is worth fuzzing; below it a big picture
            // would only cost time.
            return bytes <= (std::uint64_t(1) << 22) || bytes > codecs::JpegAdapter::kMaxPictureBytes;
        }
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;
    const dicom::PictureKind kind = data[0] & 1 ? dicom::PictureKind::Bmp : dicom::PictureKind::Jpeg;
    const std::span<const std::uint8_t> picture(data + 1, size - 1);
    if (kind == dicom::PictureKind::Jpeg && !cheapToDecode(picture))
        return 0;
    std::optional<std::tm> created;
    if (data[0] & 2)
        created = std::tm{};
    dicom::DicomDataset dataset;
    if (!dicom::readPicture(picture, kind, created, dataset))
        return 0;
    // A picture that opens has exactly one frame of its stated size.
    const auto& a = dataset.image;
    const std::uint64_t expected = std::uint64_t(a.rows) * a.columns * std::uint64_t(a.samplesPerPixel);
    if (dataset.frames.size() != 1 || dataset.frames.front().bytes.size() != expected || expected == 0)
        __builtin_trap();
    return 0;
}
