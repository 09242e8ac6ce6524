#include "codecs/JpegLsAdapter.h"

#include <charls/charls.h>

#include <memory>
#include <new>
#include <string>

namespace codecs {

namespace {

struct DestroyDecoder {
    void operator()(charls_jpegls_decoder* decoder) const { charls_jpegls_decoder_destroy(decoder); }
};
using Decoder = std::unique_ptr<charls_jpegls_decoder, DestroyDecoder>;

Error libraryError(charls_jpegls_errc code)
{
    return { CodecError::Corrupt, std::string("JPEG-LS: ") + charls_get_error_message(code) };
}

bool failed(charls_jpegls_errc code)
{
    return code != charls_jpegls_errc::success;
}

// The decoder after its header was read; the library keeps a pointer to the stream.
Result<Decoder> openStream(std::span<const std::uint8_t> stream, JpegLsHeader& header)
{
    if (stream.empty())
        return Error { CodecError::Corrupt, "Empty JPEG-LS data" };
    Decoder decoder(charls_jpegls_decoder_create());
    if (!decoder)
        return Error { CodecError::OutOfMemory, "Out of memory creating a JPEG-LS decoder" };
    if (auto e = charls_jpegls_decoder_set_source_buffer(decoder.get(), stream.data(), stream.size()); failed(e))
        return libraryError(e);
    if (auto e = charls_jpegls_decoder_read_header(decoder.get()); failed(e))
        return libraryError(e);
    charls_frame_info info {};
    if (auto e = charls_jpegls_decoder_get_frame_info(decoder.get(), &info); failed(e))
        return libraryError(e);
    std::int32_t nearLossless = 0;
    if (auto e = charls_jpegls_decoder_get_near_lossless(decoder.get(), 0, &nearLossless); failed(e))
        return libraryError(e);
    charls_interleave_mode mode {};
    if (auto e = charls_jpegls_decoder_get_interleave_mode(decoder.get(), &mode); failed(e))
        return libraryError(e);
    header.width = info.width;
    header.height = info.height;
    header.components = info.component_count;
    header.bitsPerSample = info.bits_per_sample;
    header.nearLossless = nearLossless;
    header.interleave = mode == charls_interleave_mode::sample ? JpegLsInterleave::Sample
        : mode == charls_interleave_mode::line                 ? JpegLsInterleave::Line
                                                               : JpegLsInterleave::None;
    // T.87 C.2.2: precision 2 to 16 bits.
    if (header.bitsPerSample < 2 || header.bitsPerSample > 16 || header.components < 1)
        return Error { CodecError::Corrupt, "JPEG-LS header out of range" };
    const std::uint64_t bytes = std::uint64_t(header.width) * header.height * std::uint64_t(header.components)
        * (header.bitsPerSample > 8 ? 2u : 1u);
    if (bytes == 0 || bytes > JpegLsAdapter::kMaxPictureBytes)
        return Error { CodecError::Unsupported, "JPEG-LS picture too large" };
    return decoder;
}

// Interleave mode none gives one plane after another; our frames are by pixel.
template<typename Sample>
void interleavePlanes(const std::vector<std::uint8_t>& planes, std::vector<std::uint8_t>& frame, std::size_t pixels,
    std::size_t components)
{
    const auto* in = reinterpret_cast<const Sample*>(planes.data());
    auto* out = reinterpret_cast<Sample*>(frame.data());
    for (std::size_t c = 0; c < components; ++c)
        for (std::size_t i = 0; i < pixels; ++i)
            out[i * components + c] = in[c * pixels + i];
}

Result<void> decodeWith(std::span<const std::uint8_t> stream, const FrameParams& params,
    std::vector<std::uint8_t>& frame)
{
    JpegLsHeader header;
    auto decoder = openStream(stream, header);
    if (!decoder)
        return decoder.error();
    if (header.width != params.columns || header.height != params.rows || header.components != params.samplesPerPixel)
        return Error { CodecError::Corrupt, "JPEG-LS frame size does not match the image attributes" };
    if (header.bitsPerSample > params.bitsAllocated)
        return Error { CodecError::Corrupt, "JPEG-LS precision exceeds the bits allocated" };
    const std::size_t pixels = std::size_t(header.width) * header.height;
    const std::size_t samples = pixels * std::size_t(header.components);
    const std::size_t decodedBytes = samples * (header.bitsPerSample > 8 ? 2 : 1);
    // The library writes what the stream's precision needs; a frame with
    // wider samples, or stored by plane, is filled from a scratch copy.
    const bool widen = header.bitsPerSample <= 8 && params.bitsAllocated > 8;
    const bool planar = header.interleave == JpegLsInterleave::None && header.components > 1;
    frame.resize(static_cast<std::size_t>(params.frameBytes()));
    std::vector<std::uint8_t> scratch;
    std::vector<std::uint8_t>& target = widen || planar ? scratch : frame;
    target.resize(decodedBytes);
    if (auto e = charls_jpegls_decoder_decode_to_buffer(decoder->get(), target.data(), target.size(), 0); failed(e))
        return libraryError(e);
    if (widen) {
        auto* out = reinterpret_cast<std::uint16_t*>(frame.data());
        for (std::size_t i = 0; i < samples; ++i)
            out[planar ? (i % pixels) * header.components + i / pixels : i] = scratch[i];
    } else if (planar) {
        if (header.bitsPerSample > 8)
            interleavePlanes<std::uint16_t>(scratch, frame, pixels, std::size_t(header.components));
        else
            interleavePlanes<std::uint8_t>(scratch, frame, pixels, std::size_t(header.components));
    }
    return {};
}

} // namespace

Result<JpegLsHeader> JpegLsAdapter::readHeader(std::span<const std::uint8_t> stream)
{
    try {
        JpegLsHeader header;
        auto decoder = openStream(stream, header);
        if (!decoder)
            return decoder.error();
        return header;
    } catch (const std::bad_alloc&) {
        return Error { CodecError::OutOfMemory, "Out of memory reading a JPEG-LS header" };
    }
}

Result<void> JpegLsAdapter::decodeFrame(std::span<const std::uint8_t> stream, const FrameParams& params,
    std::vector<std::uint8_t>& frame)
{
    try {
        return decodeWith(stream, params, frame);
    } catch (const std::bad_alloc&) {
        return Error { CodecError::OutOfMemory, "Out of memory while decoding a JPEG-LS frame" };
    }
}

} // namespace codecs
