#include "codecs/HtJ2kAdapter.h"

#include <openjph/ojph_arch.h>
#include <openjph/ojph_codestream.h>
#include <openjph/ojph_file.h>
#include <openjph/ojph_mem.h>
#include <openjph/ojph_message.h>
#include <openjph/ojph_params.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <mutex>
#include <new>
#include <stdexcept>
#include <string>

namespace codecs {

namespace {

// The library reports an error by calling its error handler and carries on
// unless the handler throws: ours throws the text, caught below.
class ThrowError : public ojph::message_error {
public:
    void operator()(int, const char*, int, const char* format, ...) override
    {
        char text[256];
        va_list args;
        va_start(args, format);
        std::vsnprintf(text, sizeof text, format, args);
        va_end(args);
        throw std::runtime_error(text);
    }
};

class Silent : public ojph::message_warning {
public:
    void operator()(int, const char*, int, const char*, ...) override { }
};

class SilentInfo : public ojph::message_info {
public:
    void operator()(int, const char*, int, const char*, ...) override { }
};

// The handlers are the library's globals, set once for every thread.
void configureMessages()
{
    static ThrowError error;
    static Silent warning;
    static SilentInfo info;
    static std::once_flag once;
    std::call_once(once, [] {
        ojph::configure_error(&error);
        ojph::configure_warning(&warning);
        ojph::configure_info(&info);
    });
}

J2kHeader headerOf(ojph::codestream& codestream)
{
    ojph::param_siz siz = codestream.access_siz();
    J2kHeader h;
    const ojph::point extent = siz.get_image_extent();
    const ojph::point offset = siz.get_image_offset();
    h.width = extent.x > offset.x ? extent.x - offset.x : 0;
    h.height = extent.y > offset.y ? extent.y - offset.y : 0;
    h.components = static_cast<int>(std::min<ojph::ui32>(siz.get_num_components(), 16384));
    for (int c = 0; c < h.components; ++c) {
        const auto comp = static_cast<ojph::ui32>(c);
        h.precision = std::max(h.precision, static_cast<int>(siz.get_bit_depth(comp)));
        h.isSigned = h.isSigned || siz.is_signed(comp);
        const ojph::point step = siz.get_downsampling(comp);
        h.subsampled = h.subsampled || step.x != 1 || step.y != 1;
    }
    return h;
}

Error libraryError(const std::exception& e)
{
    return { CodecError::Corrupt, std::string("HTJ2K: ") + e.what() };
}

Result<void> checkStart(std::span<const std::uint8_t> stream)
{
    // 15444-1 A.4.1: a codestream starts with SOC; the library reads nothing else.
    if (stream.size() < 2 || stream[0] != 0xFF || stream[1] != 0x4F)
        return Error { CodecError::Corrupt, "HTJ2K: the codestream does not start with SOC" };
    configureMessages();
    return {};
}

} // namespace

Result<J2kHeader> HtJ2kAdapter::readHeader(std::span<const std::uint8_t> stream)
{
    if (auto started = checkStart(stream); !started)
        return started.error();
    try {
        ojph::mem_infile file;
        file.open(stream.data(), stream.size());
        ojph::codestream codestream;
        codestream.read_headers(&file);
        return headerOf(codestream);
    } catch (const std::bad_alloc&) {
        return Error { CodecError::OutOfMemory, "Out of memory reading an HTJ2K header" };
    } catch (const std::exception& e) {
        return libraryError(e);
    }
}

Result<J2kDecoded> HtJ2kAdapter::decodeFrame(std::span<const std::uint8_t> stream, const FrameParams& params,
    std::vector<std::uint8_t>& frame)
{
    if (auto started = checkStart(stream); !started)
        return started.error();
    try {
        ojph::mem_infile file;
        file.open(stream.data(), stream.size());
        ojph::codestream codestream;
        // Damaged code-blocks decode as zeros instead of stopping the frame.
        codestream.enable_resilience();
        codestream.read_headers(&file);
        const J2kHeader header = headerOf(codestream);
        if (auto checked = checkJ2kHeader(header, params); !checked)
            return checked.error();
        codestream.create();
        const std::size_t width = header.width;
        const std::size_t components = std::size_t(header.components);
        frame.resize(static_cast<std::size_t>(params.frameBytes()));
        const bool wide = params.bitsAllocated > 8;
        // Irreversible decoding can round past the sample range; the library does not clamp.
        const std::int32_t high = header.isSigned ? (1 << (header.precision - 1)) - 1 : (1 << header.precision) - 1;
        const std::int32_t low = header.isSigned ? -(1 << (header.precision - 1)) : 0;
        // Lines come row by row, each row's components in turn.
        for (std::size_t y = 0; y < header.height; ++y) {
            for (std::size_t c = 0; c < components; ++c) {
                ojph::ui32 comp = 0;
                const ojph::line_buf* line = codestream.pull(comp);
                if (!line || comp >= components || line->size < width)
                    return Error { CodecError::Corrupt, "HTJ2K: a line decoded to another size" };
                const std::size_t base = y * width * components + comp;
                for (std::size_t x = 0; x < width; ++x)
                    storeJ2kSample(frame, wide, base + x * components, std::clamp(line->i32[x], low, high));
            }
        }
        codestream.close();
        return J2kDecoded { header.precision, header.isSigned };
    } catch (const std::bad_alloc&) {
        return Error { CodecError::OutOfMemory, "Out of memory while decoding an HTJ2K frame" };
    } catch (const std::exception& e) {
        return libraryError(e);
    }
}

} // namespace codecs
