#include "codecs/JpegAdapter.h"

#include "codecs/JpegColour.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <new>
#include <random>
#include <type_traits>

#include <jpeglib.h>
#include <jerror.h>

namespace codecs {

namespace {

// Everything the library touches between setjmp and longjmp is plain C data,
// so that a jump skips no destructor.
struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
    char warning[JMSG_LENGTH_MAX];
    int messageCode;
};

void errorExit(j_common_ptr info)
{
    auto* error = reinterpret_cast<ErrorManager*>(info->err);
    (*info->err->format_message)(info, error->message);
    error->messageCode = info->err->msg_code;
    std::longjmp(error->jump, 1);
}

// The core never prints: the first warning is kept for the caller.
void keepMessage(j_common_ptr info)
{
    auto* error = reinterpret_cast<ErrorManager*>(info->err);
    if (error->warning[0] == '\0')
        (*info->err->format_message)(info, error->warning);
}

void initError(ErrorManager& error)
{
    jpeg_std_error(&error.pub);
    error.pub.error_exit = errorExit;
    error.pub.output_message = keepMessage;
}

struct DecompressJob {
    jpeg_decompress_struct info;
    ErrorManager error;
    const unsigned char* input;
    unsigned long size;
};
static_assert(std::is_trivially_destructible_v<DecompressJob>);

struct CompressJob {
    jpeg_compress_struct info;
    ErrorManager error;
    jpeg_destination_mgr* destination; // see VectorDestination
};
static_assert(std::is_trivially_destructible_v<CompressJob>);

// A destination that appends to a caller's vector through a fixed chunk, so
// that a library failure leaves no stale pointer behind (jpeg_mem_dest can)
// and the vector, owned outside the setjmp frames, is freed by its owner.
struct VectorDestination {
    jpeg_destination_mgr pub;
    std::vector<std::uint8_t>* out;
    JOCTET chunk[16384];
};

void startChunk(j_compress_ptr info)
{
    auto* dest = reinterpret_cast<VectorDestination*>(info->dest);
    dest->pub.next_output_byte = dest->chunk;
    dest->pub.free_in_buffer = sizeof dest->chunk;
}

// Appends `count` bytes of the chunk; a failed allocation becomes a library
// error (after the exception is gone, so the longjmp skips no destructor).
void flushChunk(j_compress_ptr info, std::size_t count)
{
    auto* dest = reinterpret_cast<VectorDestination*>(info->dest);
    bool failed = false;
    try {
        dest->out->insert(dest->out->end(), dest->chunk, dest->chunk + count);
    } catch (const std::bad_alloc&) {
        failed = true;
    }
    if (failed) {
        info->err->msg_code = JERR_OUT_OF_MEMORY;
        info->err->error_exit(reinterpret_cast<j_common_ptr>(info));
    }
}

boolean emptyChunk(j_compress_ptr info)
{
    flushChunk(info, sizeof reinterpret_cast<VectorDestination*>(info->dest)->chunk);
    startChunk(info);
    return TRUE;
}

void finishChunks(j_compress_ptr info)
{
    auto* dest = reinterpret_cast<VectorDestination*>(info->dest);
    flushChunk(info, sizeof dest->chunk - dest->pub.free_in_buffer);
}

// Each step below calls setjmp itself and has only trivially destructible
// locals; a library error returns false from the step that was running.

bool readHeader(DecompressJob& job)
{
    if (setjmp(job.error.jump))
        return false;
    jpeg_create_decompress(&job.info);
    // A forged progressive header would otherwise have the library allocate
    // coefficient arrays for the whole picture before we see its size; past
    // this the library fails (it has no backing store) instead.
    job.info.mem->max_memory_to_use = static_cast<long>(JpegAdapter::kMaxPictureBytes);
    // jpeg_mem_src never writes into the input: at its end it supplies a
    // constant end-of-image marker.
    jpeg_mem_src(&job.info, job.input, job.size);
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

bool readRows(DecompressJob& job, unsigned char* out, std::size_t rowBytes)
{
    if (setjmp(job.error.jump))
        return false;
    while (job.info.output_scanline < job.info.output_height) {
        JSAMPROW row = out + std::size_t(job.info.output_scanline) * rowBytes;
        jpeg_read_scanlines(&job.info, &row, 1);
    }
    jpeg_finish_decompress(&job.info);
    return true;
}

// The first `rows` rows, cut to the first `columns` pixels: the library
// decodes whole iMCU columns from the left (so each row goes through
// `scratch`, as wide as its output) and the rows below are never read. One
// iMCU more than the columns is kept, so that chroma upsampling at the last
// column sees its right neighbour as in the whole picture.
bool readRegionRows(DecompressJob& job, unsigned char* out, JDIMENSION columns, JDIMENSION rows, unsigned char* scratch,
    std::size_t scratchBytes)
{
    if (setjmp(job.error.jump))
        return false;
    JDIMENSION left = 0;
    JDIMENSION width = std::min<JDIMENSION>(job.info.output_width,
        columns + JDIMENSION(job.info.max_h_samp_factor) * DCTSIZE);
    jpeg_crop_scanline(&job.info, &left, &width);
    const std::size_t components = std::size_t(job.info.output_components);
    if (std::size_t(job.info.output_width) * components > scratchBytes)
        ERREXIT(&job.info, JERR_WIDTH_OVERFLOW);
    while (job.info.output_scanline < rows) {
        const std::size_t y = job.info.output_scanline;
        JSAMPROW row = scratch;
        jpeg_read_scanlines(&job.info, &row, 1);
        std::memcpy(out + y * columns * components, scratch, columns * components);
    }
    return true;
}

bool compress(CompressJob& job, const unsigned char* pixels, std::uint32_t width, std::uint32_t height,
    int components, int quality)
{
    if (setjmp(job.error.jump))
        return false;
    jpeg_create_compress(&job.info);
    // Our own memory destination: the library's can leave its buffer pointer
    // stale (and the buffer leaked) when the library fails after growing it.
    job.info.dest = job.destination;
    job.info.image_width = width;
    job.info.image_height = height;
    job.info.input_components = components;
    job.info.in_color_space = components == 3 ? JCS_RGB : JCS_GRAYSCALE;
    jpeg_set_defaults(&job.info);
    jpeg_set_quality(&job.info, quality, TRUE);
    jpeg_start_compress(&job.info, TRUE);
    const std::size_t rowBytes = std::size_t(width) * std::size_t(components);
    while (job.info.next_scanline < job.info.image_height) {
        // libjpeg takes non-const rows but only reads them.
        JSAMPROW row = const_cast<unsigned char*>(pixels + std::size_t(job.info.next_scanline) * rowBytes);
        jpeg_write_scanlines(&job.info, &row, 1);
    }
    jpeg_finish_compress(&job.info);
    return true;
}

bool isUnsupportedFeature(int code)
{
    return code == JERR_BAD_PRECISION || code == JERR_SOF_UNSUPPORTED || code == JERR_NOT_COMPILED
        || code == JERR_CONVERSION_NOTIMPL;
}

Error libraryError(const ErrorManager& error)
{
    return { isUnsupportedFeature(error.messageCode) ? CodecError::Unsupported : CodecError::Corrupt,
        error.message };
}

Result<DecodedPicture> decodeWith(std::span<const std::uint8_t> input, const FrameParams* params, FrameRegion wanted)
{
    if (input.empty())
        return Error { CodecError::Corrupt, "Empty JPEG data" };
    auto job = std::make_unique<DecompressJob>();
    initError(job->error);
    job->info.err = &job->error.pub;
    job->input = input.data();
    job->size = static_cast<unsigned long>(input.size());
    struct Destroy {
        DecompressJob* job;
        ~Destroy() { jpeg_destroy_decompress(&job->info); }
    } destroy { job.get() };

    if (!readHeader(*job))
        return libraryError(job->error);
    const auto space = job->info.jpeg_color_space;
    if (job->info.num_components == 4 || space == JCS_CMYK || space == JCS_YCCK)
        return Error { CodecError::Unsupported, "JPEG pictures with 4 components (CMYK/YCCK) are not supported" };
    if (job->info.num_components != 1 && job->info.num_components != 3)
        return Error { CodecError::Unsupported, "JPEG pictures need 1 or 3 components" };
    job->info.out_color_space = job->info.num_components == 1 ? JCS_GRAYSCALE : JCS_RGB;
    // Other labels keep the library's own reading of the stream.
    if (params && params->declaredColour == DeclaredColour::Rgb && job->info.num_components == 3)
        job->info.jpeg_color_space = storesRgbSamples(job->info) ? JCS_RGB : JCS_YCbCr;
    if (params) {
        if (job->info.image_width != params->columns || job->info.image_height != params->rows
            || job->info.num_components != params->samplesPerPixel)
            return Error { CodecError::Corrupt, "JPEG frame size does not match the image attributes" };
    }
    const FrameRegion region = wanted.within(job->info.image_width, job->info.image_height);
    const bool cropped = region.columns != job->info.image_width || region.rows != job->info.image_height;
    const std::uint64_t components = std::uint64_t(job->info.num_components);
    const std::uint64_t kept = std::uint64_t(region.columns) * region.rows * components;
    const std::uint64_t whole = std::uint64_t(job->info.image_width) * job->info.image_height * components;
    // Refused before the library allocates anything for the picture.
    if ((cropped ? kept : whole) > JpegAdapter::kMaxPictureBytes)
        return Error { CodecError::Unsupported, "JPEG picture too large" };
    if (cropped) {
        // A stream in several scans is buffered whole, as coefficients.
        if (jpeg_has_multiple_scans(&job->info) && whole > JpegAdapter::maxCropWork(kept))
            return Error { CodecError::Corrupt, "JPEG stream of several scans too large for its frame" };
        job->info.mem->max_memory_to_use = static_cast<long>(
            std::min<std::uint64_t>(JpegAdapter::kMaxPictureBytes, 2 * JpegAdapter::maxCropWork(kept)));
    }
    if (!startDecompress(*job))
        return libraryError(job->error);

    DecodedPicture picture;
    picture.width = cropped ? region.columns : job->info.output_width;
    picture.height = cropped ? region.rows : job->info.output_height;
    picture.components = job->info.output_components;
    const std::uint64_t rowBytes = std::uint64_t(picture.width) * std::uint64_t(picture.components);
    const std::uint64_t bytes = rowBytes * picture.height;
    if (bytes == 0 || bytes > JpegAdapter::kMaxPictureBytes)
        return Error { CodecError::Unsupported, "JPEG picture too large" };
    picture.pixels.resize(static_cast<std::size_t>(bytes));
    if (cropped) {
        std::vector<std::uint8_t> scratch(std::size_t(job->info.output_width) * std::size_t(picture.components));
        if (!readRegionRows(*job, picture.pixels.data(), region.columns, region.rows, scratch.data(), scratch.size()))
            return libraryError(job->error);
    } else if (!readRows(*job, picture.pixels.data(), static_cast<std::size_t>(rowBytes))) {
        return libraryError(job->error);
    }
    picture.warning = job->error.warning;
    return picture;
}

} // namespace

Result<DecodedPicture> JpegAdapter::decode(std::span<const std::uint8_t> input)
{
    try {
        return decodeWith(input, nullptr, {});
    } catch (const std::bad_alloc&) {
        return Error { CodecError::OutOfMemory, "Out of memory while decoding a JPEG picture" };
    }
}

Result<DecodedPicture> JpegAdapter::decodeFrame(std::span<const std::uint8_t> input, const FrameParams& params,
    FrameRegion region)
{
    if (params.bitsAllocated != 8)
        return Error { CodecError::Unsupported, "Lossy JPEG frames need 8 bits allocated" };
    try {
        return decodeWith(input, &params, region);
    } catch (const std::bad_alloc&) {
        return Error { CodecError::OutOfMemory, "Out of memory while decoding a JPEG frame" };
    }
}

Result<DecodedPicture> JpegAdapter::readFile(const std::filesystem::path& path)
{
    try {
        std::ifstream in(path, std::ios::binary);
        if (!in)
            return Error { CodecError::FileNotFound, "Cannot open " + path.string() };
        std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (in.bad() || bytes.empty())
            return Error { CodecError::FileIo, "Cannot read " + path.string() };
        auto picture = decodeWith(bytes, nullptr, {});
        if (!picture && picture.error().code == CodecError::Corrupt)
            return Error { CodecError::FileIo, picture.error().detail };
        return picture;
    } catch (const std::bad_alloc&) {
        return Error { CodecError::OutOfMemory, "Out of memory while reading a JPEG file" };
    }
}

Result<void> JpegAdapter::writeFile(const std::filesystem::path& path, std::span<const std::uint8_t> pixels,
    std::uint32_t width, std::uint32_t height, PictureColour colour, int quality)
{
    auto encoded = encode(pixels, width, height, colour, quality);
    if (!encoded)
        return encoded.error();
    try {
        std::filesystem::path temporary = path;
        temporary += ".tmp" + std::to_string(std::random_device {}());
        std::FILE* file = std::fopen(temporary.c_str(), "wb");
        if (!file)
            return Error { CodecError::FileIo, "File creation error" };
        const bool written = std::fwrite(encoded->data(), 1, encoded->size(), file) == encoded->size();
        const bool closed = std::fclose(file) == 0;
        std::error_code ignored;
        if (!written || !closed) {
            std::filesystem::remove(temporary, ignored);
            return Error { CodecError::FileIo, "Cannot write " + temporary.string() };
        }
        std::error_code renameError;
        std::filesystem::rename(temporary, path, renameError);
        if (renameError) {
            std::filesystem::remove(temporary, ignored);
            return Error { CodecError::FileIo, "Cannot rename into " + path.string() + ": " + renameError.message() };
        }
        return {};
    } catch (const std::bad_alloc&) {
        return Error { CodecError::OutOfMemory, "Out of memory while writing a JPEG file" };
    }
}

Result<std::vector<std::uint8_t>> JpegAdapter::encode(std::span<const std::uint8_t> pixels, std::uint32_t width,
    std::uint32_t height, PictureColour colour, int quality)
{
    const int components = colour == PictureColour::Rgb ? 3 : 1;
    if (width == 0 || height == 0 || width > JPEG_MAX_DIMENSION || height > JPEG_MAX_DIMENSION)
        return Error { CodecError::Unsupported, "Picture size not writable as JPEG" };
    if (pixels.size() < std::uint64_t(width) * height * std::uint64_t(components))
        return Error { CodecError::Corrupt, "Picture buffer smaller than its size" };
    try {
        std::vector<std::uint8_t> out;
        auto destination = std::make_unique<VectorDestination>();
        destination->out = &out;
        destination->pub.init_destination = startChunk;
        destination->pub.empty_output_buffer = emptyChunk;
        destination->pub.term_destination = finishChunks;
        auto job = std::make_unique<CompressJob>();
        initError(job->error);
        job->info.err = &job->error.pub;
        job->destination = &destination->pub;
        const bool compressed = compress(*job, pixels.data(), width, height, components, quality);
        jpeg_destroy_compress(&job->info);
        if (!compressed)
            return Error { CodecError::OutOfMemory, job->error.message };
        return out;
    } catch (const std::bad_alloc&) {
        return Error { CodecError::OutOfMemory, "Out of memory while writing a JPEG picture" };
    }
}

} // namespace codecs
