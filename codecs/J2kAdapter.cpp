#include "codecs/J2kAdapter.h"

#include <openjpeg.h>
#include <setjmp.h>
#include <signal.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <mutex>
#include <new>
#include <string>

namespace codecs {

namespace {

// The stream the library pulls from: a view of the caller's bytes.
struct Source {
    std::span<const std::uint8_t> bytes;
    std::size_t at = 0;
};

OPJ_SIZE_T readFrom(void* buffer, OPJ_SIZE_T wanted, void* user)
{
    auto* source = static_cast<Source*>(user);
    if (source->at >= source->bytes.size())
        return static_cast<OPJ_SIZE_T>(-1);
    const std::size_t count = std::min<std::size_t>(wanted, source->bytes.size() - source->at);
    std::memcpy(buffer, source->bytes.data() + source->at, count);
    source->at += count;
    return count;
}

OPJ_OFF_T skipIn(OPJ_OFF_T count, void* user)
{
    auto* source = static_cast<Source*>(user);
    const auto size = static_cast<OPJ_OFF_T>(source->bytes.size());
    const auto at = static_cast<OPJ_OFF_T>(source->at);
    if (count < -at || count > size - at)
        return -1;
    source->at = static_cast<std::size_t>(at + count);
    return count;
}

OPJ_BOOL seekTo(OPJ_OFF_T position, void* user)
{
    auto* source = static_cast<Source*>(user);
    if (position < 0 || static_cast<std::uint64_t>(position) > source->bytes.size())
        return OPJ_FALSE;
    source->at = static_cast<std::size_t>(position);
    return OPJ_TRUE;
}

void keepError(const char* text, void* user)
{
    auto* kept = static_cast<std::string*>(user);
    if (kept->empty() && text != nullptr) {
        *kept = text;
        while (!kept->empty() && kept->back() == '\n')
            kept->pop_back();
    }
}

void ignore(const char*, void*) { }

struct DestroyCodec {
    void operator()(opj_codec_t* codec) const { opj_destroy_codec(codec); }
};
struct DestroyStream {
    void operator()(opj_stream_t* stream) const { opj_stream_destroy(stream); }
};
struct DestroyImage {
    void operator()(opj_image_t* image) const { opj_image_destroy(image); }
};

// The library's codec, stream and image after the main header was read.
struct Opened {
    Source source;
    std::string error;
    std::unique_ptr<opj_codec_t, DestroyCodec> codec;
    std::unique_ptr<opj_stream_t, DestroyStream> stream;
    std::unique_ptr<opj_image_t, DestroyImage> image;
    J2kHeader header;

    Error failure(const char* what) const
    {
        return { CodecError::Corrupt, std::string("JPEG 2000: ") + (error.empty() ? what : error.c_str()) };
    }
};

// T.800 I.5.1: a JP2 file begins with its signature box.
bool isJp2(std::span<const std::uint8_t> stream)
{
    static constexpr std::array<std::uint8_t, 12> signature { 0, 0, 0, 0x0C, 'j', 'P', ' ', ' ', 0x0D, 0x0A, 0x87,
        0x0A };
    return stream.size() >= signature.size() && std::equal(signature.begin(), signature.end(), stream.begin());
}

Result<void> open(std::span<const std::uint8_t> bytes, Opened& o)
{
    if (bytes.size() < 2)
        return Error { CodecError::Corrupt, "JPEG 2000: empty or truncated codestream" };
    o.source.bytes = bytes;
    o.codec.reset(opj_create_decompress(isJp2(bytes) ? OPJ_CODEC_JP2 : OPJ_CODEC_J2K));
    o.stream.reset(opj_stream_create(std::size_t(1) << 16, OPJ_TRUE));
    if (!o.codec || !o.stream)
        return Error { CodecError::OutOfMemory, "Out of memory creating a JPEG 2000 decoder" };
    opj_set_error_handler(o.codec.get(), keepError, &o.error);
    opj_set_warning_handler(o.codec.get(), ignore, nullptr);
    opj_set_info_handler(o.codec.get(), ignore, nullptr);
    opj_dparameters_t parameters;
    opj_set_default_decoder_parameters(&parameters);
    if (!opj_setup_decoder(o.codec.get(), &parameters))
        return o.failure("decoder setup failed");
    // Frames are decoded in parallel already, one a thread; 0 keeps the
    // decode in the calling thread, where an abort can be caught.
    opj_codec_set_threads(o.codec.get(), 0);
    opj_stream_set_user_data(o.stream.get(), &o.source, nullptr);
    opj_stream_set_user_data_length(o.stream.get(), bytes.size());
    opj_stream_set_read_function(o.stream.get(), readFrom);
    opj_stream_set_skip_function(o.stream.get(), skipIn);
    opj_stream_set_seek_function(o.stream.get(), seekTo);
    opj_image_t* image = nullptr;
    const bool read = opj_read_header(o.stream.get(), o.codec.get(), &image);
    o.image.reset(image);
    if (!read || !image || image->numcomps == 0 || !image->comps || image->x1 <= image->x0 || image->y1 <= image->y0)
        return o.failure("unreadable main header");
    J2kHeader& h = o.header;
    h.width = image->x1 - image->x0;
    h.height = image->y1 - image->y0;
    h.components = static_cast<int>(std::min<OPJ_UINT32>(image->numcomps, 16384));
    for (int c = 0; c < h.components; ++c) {
        const opj_image_comp_t& comp = image->comps[c];
        h.precision = std::max(h.precision, static_cast<int>(comp.prec));
        h.isSigned = h.isSigned || comp.sgnd != 0;
        h.subsampled = h.subsampled || comp.dx != 1 || comp.dy != 1;
    }
    return {};
}

// Debian's OpenJPEG keeps the assertions of its HTJ2K block decoder, and
// some damaged code-blocks fail them: the library calls abort(). While this
// thread decodes, SIGABRT returns to the decode instead, which then fails as
// a corrupted stream; any other abort keeps its meaning. The library runs no
// thread of its own here, so the abort is raised in this thread.
thread_local sigjmp_buf* t_abortReturn = nullptr;
struct sigaction g_previousAbort;

void returnFromAbort(int signal)
{
    if (t_abortReturn)
        siglongjmp(*t_abortReturn, 1);
    sigaction(SIGABRT, &g_previousAbort, nullptr);
    raise(signal);
}

void trapAborts()
{
    static std::once_flag installed;
    std::call_once(installed, [] {
        struct sigaction action {};
        action.sa_handler = returnFromAbort;
        sigemptyset(&action.sa_mask);
        sigaction(SIGABRT, &action, &g_previousAbort);
    });
}

thread_local bool t_aborted = false;

bool abortedLast()
{
    return t_aborted;
}


bool decodeTrappingAborts(Opened& o)
{
    const bool done = runTrappingAborts([&o] {
        return opj_decode(o.codec.get(), o.stream.get(), o.image.get())
            && opj_end_decompress(o.codec.get(), o.stream.get());
    });
    if (!done && o.error.empty() && abortedLast())
        o.error = "the library stopped on a damaged code-block";
    return done;
}

Result<J2kDecoded> decodeWith(std::span<const std::uint8_t> bytes, const FrameParams& params,
    std::vector<std::uint8_t>& frame)
{
    Opened o;
    if (auto opened = open(bytes, o); !opened)
        return opened.error();
    if (auto checked = checkJ2kHeader(o.header, params); !checked)
        return checked.error();
    if (!decodeTrappingAborts(o))
        return o.failure("decoding failed");
    const opj_image_t& image = *o.image;
    const std::size_t pixels = std::size_t(o.header.width) * o.header.height;
    const std::size_t components = std::size_t(o.header.components);
    for (std::size_t c = 0; c < components; ++c) {
        if (!image.comps[c].data || image.comps[c].w != o.header.width || image.comps[c].h != o.header.height)
            return o.failure("a component decoded to another size");
    }
    frame.resize(static_cast<std::size_t>(params.frameBytes()));
    const bool wide = params.bitsAllocated > 8;
    for (std::size_t c = 0; c < components; ++c) {
        const OPJ_INT32* in = image.comps[c].data;
        for (std::size_t i = 0; i < pixels; ++i)
            storeJ2kSample(frame, wide, i * components + c, in[i]);
    }
    return J2kDecoded { o.header.precision, o.header.isSigned };
}

} // namespace

bool runTrappingAborts(const std::function<bool()>& work)
{
    trapAborts();
    t_aborted = false;
    sigjmp_buf jump;
    // The mask is saved so that SIGABRT, blocked while its handler runs, is
    // unblocked again after a return through it.
    if (sigsetjmp(jump, 1) != 0) {
        t_abortReturn = nullptr;
        t_aborted = true;
        return false;
    }
    t_abortReturn = &jump;
    const bool done = work();
    t_abortReturn = nullptr;
    return done;
}

Result<void> checkJ2kHeader(const J2kHeader& header, const FrameParams& params)
{
    if (header.precision < 1 || header.precision > 16)
        return Error { CodecError::Unsupported,
            "JPEG 2000 precision of " + std::to_string(header.precision) + " bits is not supported" };
    if (header.subsampled)
        return Error { CodecError::Unsupported, "JPEG 2000 subsampled components are not supported" };
    const std::uint64_t libraryBytes = std::uint64_t(header.width) * header.height * std::uint64_t(header.components) * 4;
    if (libraryBytes > J2kAdapter::kMaxPictureBytes)
        return Error { CodecError::Unsupported, "JPEG 2000 picture too large" };
    if (header.width != params.columns || header.height != params.rows || header.components != params.samplesPerPixel)
        return Error { CodecError::Corrupt, "JPEG 2000 frame size does not match the image attributes" };
    if (header.precision > params.bitsAllocated)
        return Error { CodecError::Corrupt, "JPEG 2000 precision exceeds the bits allocated" };
    return {};
}

Result<J2kHeader> J2kAdapter::readHeader(std::span<const std::uint8_t> stream)
{
    try {
        Opened o;
        if (auto opened = open(stream, o); !opened)
            return opened.error();
        return o.header;
    } catch (const std::bad_alloc&) {
        return Error { CodecError::OutOfMemory, "Out of memory reading a JPEG 2000 header" };
    }
}

Result<J2kDecoded> J2kAdapter::decodeFrame(std::span<const std::uint8_t> stream, const FrameParams& params,
    std::vector<std::uint8_t>& frame)
{
    try {
        return decodeWith(stream, params, frame);
    } catch (const std::bad_alloc&) {
        return Error { CodecError::OutOfMemory, "Out of memory while decoding a JPEG 2000 frame" };
    }
}

} // namespace codecs
