#include "codecs/Jpeg12Adapter.h"

#include "codecs/JpegColour.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <type_traits>

// The 12-bit build's own headers (found beside its jpeglib.h); this is the
// only file that includes them, and it sees no other JPEG library's header.
// The build defines NEED_DARRAY for it, as the library itself was compiled.
extern "C" {
#include "gdcmjpeg/12/jpeglib.h"
#include "gdcmjpeg/12/jerror.h"
}

static_assert(BITS_IN_JSAMPLE == 12, "the 12-bit build of the IJG library is needed here");
#ifndef NEED_DARRAY
#error "NEED_DARRAY must be defined: the library's memory manager has its lossless method"
#endif

namespace codecs {

namespace {

// Everything the library touches between setjmp and longjmp is plain C data,
// so that a jump skips no destructor.
struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
    char warning[JMSG_LENGTH_MAX];
};

void errorExit(j_common_ptr info)
{
    auto* error = reinterpret_cast<ErrorManager*>(info->err);
    (*info->err->format_message)(info, error->message);
    std::longjmp(error->jump, 1);
}

// The core never prints: the first warning is kept for the caller.
void keepMessage(j_common_ptr info)
{
    auto* error = reinterpret_cast<ErrorManager*>(info->err);
    if (error->warning[0] == '\0')
        (*info->err->format_message)(info, error->warning);
}

// IJG 6b has no memory source: this one hands over the whole input at once
// and, past its end, an end-of-image marker, as the library's file source does.
constexpr JOCTET kEndOfImage[2] = { 0xFF, JPEG_EOI };

void initSource(j_decompress_ptr) { }
void termSource(j_decompress_ptr) { }

boolean fillInput(j_decompress_ptr info)
{
    WARNMS(info, JWRN_JPEG_EOF);
    info->src->next_input_byte = kEndOfImage;
    info->src->bytes_in_buffer = sizeof kEndOfImage;
    return TRUE;
}

void skipInput(j_decompress_ptr info, long count)
{
    if (count <= 0)
        return;
    if (static_cast<unsigned long>(count) > info->src->bytes_in_buffer) {
        fillInput(info);
        return;
    }
    info->src->next_input_byte += count;
    info->src->bytes_in_buffer -= static_cast<std::size_t>(count);
}

constexpr long kLibraryAllocChunk = 1000000000L;

struct DecompressJob {
    jpeg_decompress_struct info;
    ErrorManager error;
    jpeg_source_mgr source;
};
static_assert(std::is_trivially_destructible_v<DecompressJob>);

// Each step below calls setjmp itself and has only trivially destructible
// locals; a library error returns false from the step that was running.

bool readHeader(DecompressJob& job, std::span<const std::uint8_t> input)
{
    if (setjmp(job.error.jump))
        return false;
    jpeg_create_decompress(&job.info);
    // The library's own default (IJG's MAX_ALLOC_CHUNK) where our header
    // places it: else the memory manager is laid out differently from what
    // this file was compiled with, and writing its limit would corrupt it.
    if (job.info.mem->max_alloc_chunk != kLibraryAllocChunk)
        ERREXIT(&job.info, JERR_BAD_STRUCT_SIZE);
    // A forged progressive header would otherwise have the library allocate
    // coefficient arrays for the whole picture before we see its size.
    job.info.mem->max_memory_to_use = static_cast<long>(JpegAdapter::kMaxPictureBytes);
    job.source.next_input_byte = input.data();
    job.source.bytes_in_buffer = input.size();
    job.source.init_source = initSource;
    job.source.fill_input_buffer = fillInput;
    job.source.skip_input_data = skipInput;
    job.source.resync_to_restart = jpeg_resync_to_restart;
    job.source.term_source = termSource;
    job.info.src = &job.source;
    jpeg_read_header(&job.info, TRUE);
    return true;
}

bool startDecompress(DecompressJob& job)
{
    if (setjmp(job.error.jump))
        return false;
    jpeg_start_decompress(&job.info);
    return true;
}

bool readRows(DecompressJob& job, JSAMPLE* out, std::size_t rowSamples)
{
    if (setjmp(job.error.jump))
        return false;
    while (job.info.output_scanline < job.info.output_height) {
        JSAMPROW row = out + std::size_t(job.info.output_scanline) * rowSamples;
        jpeg_read_scanlines(&job.info, &row, 1);
    }
    jpeg_finish_decompress(&job.info);
    return true;
}

// The first `rows` rows, each read whole into `scratch` and cut to its first
// `keptSamples`; the rows below are never decoded. IJG 6b cannot crop columns.
bool readRegionRows(DecompressJob& job, JSAMPLE* out, std::size_t keptSamples, JDIMENSION rows, JSAMPLE* scratch)
{
    if (setjmp(job.error.jump))
        return false;
    while (job.info.output_scanline < rows) {
        const std::size_t y = job.info.output_scanline;
        JSAMPROW row = scratch;
        jpeg_read_scanlines(&job.info, &row, 1);
        std::memcpy(out + y * keptSamples, scratch, keptSamples * sizeof(JSAMPLE));
    }
    return true;
}

Result<DecodedPicture> decodeWith(std::span<const std::uint8_t> input, const FrameParams& params, FrameRegion wanted)
{
    if (input.empty())
        return Error { CodecError::Corrupt, "Empty JPEG data" };
    auto job = std::make_unique<DecompressJob>();
    jpeg_std_error(&job->error.pub);
    job->error.pub.error_exit = errorExit;
    job->error.pub.output_message = keepMessage;
    job->info.err = &job->error.pub;
    struct Destroy {
        DecompressJob* job;
        ~Destroy() { jpeg_destroy_decompress(&job->info); }
    } destroy { job.get() };

    if (!readHeader(*job, input))
        return Error { CodecError::Corrupt, job->error.message };
    auto& info = job->info;
    if (info.num_components != 1 && info.num_components != 3)
        return Error { CodecError::Unsupported, "12-bit JPEG frames need 1 or 3 components" };
    if (info.image_width != params.columns || info.image_height != params.rows
        || info.num_components != params.samplesPerPixel)
        return Error { CodecError::Corrupt, "JPEG frame size does not match the image attributes" };
    const FrameRegion region = wanted.within(info.image_width, info.image_height);
    const bool cropped = region.columns != info.image_width || region.rows != info.image_height;
    const std::uint64_t components = std::uint64_t(info.num_components);
    const std::uint64_t rowSamples = std::uint64_t(info.image_width) * components;
    const std::uint64_t keptRowSamples = std::uint64_t(region.columns) * components;
    const std::uint64_t kept = keptRowSamples * region.rows;
    // Refused before the library allocates anything for the picture.
    if (kept * sizeof(JSAMPLE) > JpegAdapter::kMaxPictureBytes)
        return Error { CodecError::Unsupported, "JPEG picture too large" };
    if (cropped) {
        // A stream in several scans is buffered whole, as coefficients.
        if (jpeg_has_multiple_scans(&info) && rowSamples * info.image_height > JpegAdapter::maxCropWork(kept))
            return Error { CodecError::Corrupt, "JPEG stream of several scans too large for its frame" };
        info.mem->max_memory_to_use = static_cast<long>(
            std::min<std::uint64_t>(JpegAdapter::kMaxPictureBytes, 2 * JpegAdapter::maxCropWork(kept)));
    }
    info.out_color_space = info.num_components == 1 ? JCS_GRAYSCALE : JCS_RGB;
    if (info.num_components == 3 && params.declaredColour == DeclaredColour::Rgb)
        info.jpeg_color_space = storesRgbSamples(info) ? JCS_RGB : JCS_YCbCr;
    if (!startDecompress(*job))
        return Error { CodecError::Corrupt, job->error.message };
    if (info.output_width != info.image_width || info.output_height != info.image_height
        || info.output_components != info.num_components)
        return Error { CodecError::Corrupt, "JPEG frame size does not match the image attributes" };

    // JSAMPLE is a 16-bit integer in this build: its rows are host-order samples already.
    std::vector<JSAMPLE> samples(static_cast<std::size_t>(kept));
    if (cropped) {
        std::vector<JSAMPLE> scratch(static_cast<std::size_t>(rowSamples));
        if (!readRegionRows(*job, samples.data(), static_cast<std::size_t>(keptRowSamples), region.rows, scratch.data()))
            return Error { CodecError::Corrupt, job->error.message };
    } else if (!readRows(*job, samples.data(), static_cast<std::size_t>(rowSamples))) {
        return Error { CodecError::Corrupt, job->error.message };
    }
    DecodedPicture picture;
    picture.width = region.columns;
    picture.height = region.rows;
    picture.components = info.output_components;
    picture.pixels.resize(samples.size() * sizeof(JSAMPLE));
    std::memcpy(picture.pixels.data(), samples.data(), picture.pixels.size());
    picture.warning = job->error.warning;
    return picture;
}

} // namespace

Result<DecodedPicture> Jpeg12Adapter::decodeFrame(std::span<const std::uint8_t> input, const FrameParams& params,
    FrameRegion region)
{
    if (params.bitsAllocated != 16)
        return Error { CodecError::Unsupported, "12-bit lossy JPEG frames need 16 bits allocated" };
    try {
        return decodeWith(input, params, region);
    } catch (const std::bad_alloc&) {
        return Error { CodecError::OutOfMemory, "Out of memory while decoding a 12-bit JPEG frame" };
    }
}

} // namespace codecs
