#include "codecs/DeflateAdapter.h"

#include <algorithm>
#include <limits>
#include <new>
#include <string>

#include <zlib.h>

namespace codecs {

namespace {

// zlib counts its buffers in uInt.
constexpr std::uint64_t MaxChunk = std::numeric_limits<uInt>::max();
constexpr std::uint64_t FirstOutputBytes = std::uint64_t(64) << 10;

// Ends the stream whatever way inflating ends.
class InflateStream {
public:
    InflateStream() = default;
    InflateStream(const InflateStream&) = delete;
    InflateStream& operator=(const InflateStream&) = delete;
    ~InflateStream()
    {
        if (m_open)
            inflateEnd(&m_stream);
    }

    // Negative window bits: a raw deflate stream, no header or checksum.
    int open()
    {
        const int result = inflateInit2(&m_stream, -MAX_WBITS);
        m_open = result == Z_OK;
        return result;
    }
    z_stream& get() { return m_stream; }

private:
    z_stream m_stream {};
    bool m_open = false;
};

Error zlibError(int result, const z_stream& stream)
{
    if (result == Z_MEM_ERROR)
        return Error { CodecError::OutOfMemory, "zlib ran out of memory" };
    std::string detail = "deflate stream: ";
    detail += stream.msg ? stream.msg : "zlib error " + std::to_string(result);
    return Error { CodecError::Corrupt, detail };
}

Error tooLarge(std::uint64_t maxOutput)
{
    return Error { CodecError::Corrupt,
        "deflate stream inflates to more than " + std::to_string(maxOutput) + " bytes" };
}

} // namespace

std::uint64_t DeflateAdapter::outputLimit(std::uint64_t inputSize)
{
    const std::uint64_t byRatio = inputSize > kMaxOutputBytes / kMaxRatio ? kMaxOutputBytes : inputSize * kMaxRatio;
    return std::min(kMaxOutputBytes, std::max(kMinOutputBytes, byRatio));
}

Result<std::vector<std::uint8_t>> DeflateAdapter::inflate(std::span<const std::uint8_t> input,
    std::uint64_t maxOutput, std::vector<std::uint8_t> head)
{
    maxOutput = std::min(maxOutput, kMaxOutputBytes);
    try {
        InflateStream inflater;
        if (const int opened = inflater.open(); opened != Z_OK)
            return zlibError(opened, inflater.get());
        z_stream& stream = inflater.get();

        std::vector<std::uint8_t> out = std::move(head);
        const std::size_t start = out.size();
        // One byte past the bound tells a stream that ends exactly there from
        // one that goes on.
        const std::uint64_t capacity = maxOutput + 1;
        std::uint64_t produced = 0;
        std::uint64_t consumed = 0;
        const std::uint64_t guess = std::max<std::uint64_t>(FirstOutputBytes, std::uint64_t(input.size()) * 4);
        out.resize(start + static_cast<std::size_t>(std::min(capacity, guess)));
        for (;;) {
            if (stream.avail_in == 0 && consumed < input.size()) {
                const std::uint64_t chunk = std::min<std::uint64_t>(MaxChunk, input.size() - consumed);
                // zlib only reads through next_in; its type lacks the const.
                stream.next_in = const_cast<Bytef*>(input.data() + consumed);
                stream.avail_in = static_cast<uInt>(chunk);
                consumed += chunk;
            }
            std::uint64_t room = out.size() - start - produced;
            if (room == 0) {
                // Below capacity here: reaching it returned below.
                const std::uint64_t grown = std::min(capacity, std::max(FirstOutputBytes, produced * 2));
                out.resize(start + static_cast<std::size_t>(grown));
                room = grown - produced;
            }
            const auto given = static_cast<uInt>(std::min(room, MaxChunk));
            stream.next_out = out.data() + start + produced;
            stream.avail_out = given;
            const int result = ::inflate(&stream, Z_NO_FLUSH);
            produced += given - stream.avail_out;
            if (produced > maxOutput)
                return tooLarge(maxOutput);
            if (result == Z_STREAM_END) {
                out.resize(start + static_cast<std::size_t>(produced));
                return out;
            }
            if (result == Z_BUF_ERROR && stream.avail_in == 0 && consumed == input.size())
                return Error { CodecError::Corrupt, "deflate stream ends early" };
            if (result != Z_OK && result != Z_BUF_ERROR)
                return zlibError(result, stream);
        }
    } catch (const std::bad_alloc&) {
        return Error { CodecError::OutOfMemory, "no memory for the inflated data" };
    }
}

} // namespace codecs
