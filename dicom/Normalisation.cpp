#include "dicom/Normalisation.h"

#include "dicom/DicomError.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

namespace dicom {

FrameFormat normalisedFormat(const PixelAttributes& attrs)
{
    const Photometric kind = attrs.photometricKind();
    // Palette indices wider than a byte cannot index the 256-entry tables;
    // their frames are kept as 16-bit grey values instead.
    if (kind == Photometric::PaletteColor && attrs.bitsAllocated != 8)
        return FrameFormat::Grey16;
    if (isColour(kind))
        return FrameFormat::Rgb8;
    // Rescaled and signed values need room below 0 and above 255.
    if (attrs.bitsAllocated != 8 || attrs.rescalePresent || attrs.pixelRepresentation == 1)
        return FrameFormat::Grey16;
    return FrameFormat::Grey8;
}

PixelAttributes normalisedAttributes(const PixelAttributes& attrs)
{
    PixelAttributes out = attrs;
    const FrameFormat format = normalisedFormat(attrs);
    if (format == FrameFormat::Grey8) {
        // The stored range: 7-bit grey would show at half brightness under
        // the identity window of full bytes.
        const int bits = std::clamp(effectiveBitsStored(attrs), 1, 8);
        out.windowCentre = static_cast<std::int16_t>(1 << (bits - 1));
        out.windowWidth = static_cast<std::int16_t>(1 << bits);
    } else if (format == FrameFormat::Rgb8) {
        out.windowCentre = 128;
        out.windowWidth = 256;
    } else if (attrs.bitsAllocated == 8) {
        out.bitsAllocated = 16;
        out.bitsStored = 16;
        out.highBit = 15;
    }
    return out;
}

namespace {

Error corrupted(const char* detail)
{
    return Error{DicomError::Corrupted, detail};
}

// Maps a stored sample to its normalised value: masked to bits stored,
// sign-extended for pixel representation 1, rescaled in double and clamped.
class SampleMapping {
public:
    explicit SampleMapping(const PixelAttributes& attrs)
        : m_bits(effectiveBitsStored(attrs))
        , m_mask(m_bits >= 32 ? 0xFFFFFFFFu : (1u << m_bits) - 1)
        , m_signed(attrs.pixelRepresentation == 1)
        , m_rescale(attrs.rescalePresent)
        , m_slope(attrs.rescaleSlope)
        , m_intercept(attrs.rescaleIntercept)
        // The usual CT rescale (slope 1, a whole intercept such as -1024) is
        // an integer shift: trunc(intercept + v) is intercept + v exactly.
        , m_shiftOnly(m_rescale && m_slope == 1.0 && std::trunc(m_intercept) == m_intercept
                      && std::abs(m_intercept) <= 65536.0)
        , m_shift(m_shiftOnly ? static_cast<std::int32_t>(m_intercept) : 0)
    {
    }

    std::uint32_t mask() const { return m_mask; }
    bool isIdentityOnInt16() const { return !m_rescale && m_signed && m_bits == 16; }

    std::int16_t operator()(std::uint32_t stored) const
    {
        std::int32_t v = static_cast<std::int32_t>(stored & m_mask);
        if (m_signed && m_bits < 32 && ((stored >> (m_bits - 1)) & 1u))
            v -= std::int32_t(1) << m_bits;
        if (m_shiftOnly)
            return static_cast<std::int16_t>(std::clamp<std::int32_t>(v + m_shift, -32768, 32767));
        if (m_rescale)
            return clampToInt16(std::trunc(m_intercept + m_slope * v));
        return static_cast<std::int16_t>(std::clamp<std::int32_t>(v, -32768, 32767));
    }

private:
    int m_bits;
    std::uint32_t m_mask;
    bool m_signed;
    bool m_rescale;
    double m_slope;
    double m_intercept;
    bool m_shiftOnly;
    std::int32_t m_shift;
};

// Calls sink(index, storedValue) for each sample of a grey frame.
template<typename Sink>
void forEachStored(std::span<const std::uint8_t> raw, int bitsAllocated, std::size_t count, Sink&& sink)
{
    const std::uint8_t* p = raw.data();
    if (bitsAllocated == 8) {
        for (std::size_t i = 0; i < count; ++i)
            sink(i, p[i]);
    } else if (bitsAllocated == 16) {
        for (std::size_t i = 0; i < count; ++i)
            sink(i, std::uint32_t(p[2 * i]) | std::uint32_t(p[2 * i + 1]) << 8);
    } else {
        // Two 12-bit samples in three bytes: b0 | (b1 & 0x0F) << 8 and b1 >> 4 | b2 << 4.
        for (std::size_t i = 0; i < count; ++i) {
            const std::uint8_t* t = p + (i / 2) * 3;
            const std::uint32_t v = i % 2 == 0 ? (t[0] | std::uint32_t(t[1] & 0x0F) << 8)
                                               : (std::uint32_t(t[1]) >> 4 | std::uint32_t(t[2]) << 4);
            sink(i, v);
        }
    }
}

Frame normaliseGrey16(std::span<const std::uint8_t> raw, const PixelAttributes& attrs, std::size_t pixels,
                      std::vector<std::int16_t>& table)
{
    Frame frame;
    frame.format = FrameFormat::Grey16;
    frame.samples.resize(pixels);
    std::int16_t* out = frame.samples.data();
    const SampleMapping mapping(attrs);
    if (attrs.bitsAllocated == 16 && mapping.isIdentityOnInt16()) {
        std::memcpy(out, raw.data(), pixels * 2);
    } else if (!table.empty() || std::uint64_t(mapping.mask()) + 1 <= pixels) {
        // Fewer possible values than pixels: map each value once.
        if (table.empty()) {
            table.resize(std::size_t(mapping.mask()) + 1);
            for (std::uint32_t u = 0; u <= mapping.mask(); ++u)
                table[u] = mapping(u);
        }
        const std::int16_t* lut = table.data();
        const std::uint32_t mask = mapping.mask();
        forEachStored(raw, attrs.bitsAllocated, pixels, [&](std::size_t i, std::uint32_t u) { out[i] = lut[u & mask]; });
    } else {
        forEachStored(raw, attrs.bitsAllocated, pixels, [&](std::size_t i, std::uint32_t u) { out[i] = mapping(u); });
    }

    if (attrs.photometricKind() == Photometric::Monochrome1 && pixels > 0) {
        // Inverted within the frame's own range, so the values stay where they were.
        const auto [lo, hi] = std::minmax_element(out, out + pixels);
        const std::int32_t sum = std::int32_t(*lo) + *hi;
        for (std::size_t i = 0; i < pixels; ++i)
            out[i] = static_cast<std::int16_t>(sum - out[i]);
    }
    return frame;
}

Frame normaliseGrey8(std::span<const std::uint8_t> raw, const PixelAttributes& attrs, std::size_t pixels)
{
    Frame frame;
    frame.format = FrameFormat::Grey8;
    frame.bytes.assign(raw.begin(), raw.begin() + static_cast<std::ptrdiff_t>(pixels));
    const int bits = effectiveBitsStored(attrs);
    const std::uint8_t mask = static_cast<std::uint8_t>((1u << bits) - 1);
    const bool invert = attrs.photometricKind() == Photometric::Monochrome1;
    // MONOCHROME1 is inverted within the stored range, which the default window spans.
    if (mask != 0xFF || invert) {
        for (auto& b : frame.bytes)
            b = invert ? static_cast<std::uint8_t>(mask - (b & mask)) : static_cast<std::uint8_t>(b & mask);
    }
    return frame;
}

std::uint8_t clampByte(double v)
{
    // Truncated toward zero, then clamped.
    if (v <= 0.0)
        return 0;
    if (v >= 255.0)
        return 255;
    return static_cast<std::uint8_t>(v);
}

Frame normaliseColour(std::span<const std::uint8_t> raw, const PixelAttributes& attrs, SampleLayout layout,
                      const PaletteTables* palette, std::size_t pixels)
{
    Frame frame;
    frame.format = FrameFormat::Rgb8;
    frame.bytes.resize(pixels * 3);
    std::uint8_t* out = frame.bytes.data();
    const std::uint8_t* in = raw.data();
    const Photometric kind = attrs.photometricKind();

    if (kind == Photometric::PaletteColor) {
        for (std::size_t i = 0; i < pixels; ++i) {
            out[3 * i] = palette->red[in[i]];
            out[3 * i + 1] = palette->green[in[i]];
            out[3 * i + 2] = palette->blue[in[i]];
        }
        return frame;
    }
    if (layout == SampleLayout::DecodedRgb || (layout == SampleLayout::Interleaved && kind != Photometric::YbrFull)) {
        std::memcpy(out, in, pixels * 3);
        return frame;
    }
    // Sample c of pixel i in either layout.
    const std::size_t pixelStep = layout == SampleLayout::Planar ? 1 : 3;
    const std::size_t sampleStep = layout == SampleLayout::Planar ? pixels : 1;
    if (kind != Photometric::YbrFull) {
        for (std::size_t i = 0; i < pixels; ++i) {
            for (std::size_t c = 0; c < 3; ++c)
                out[3 * i + c] = in[i * pixelStep + c * sampleStep];
        }
        return frame;
    }
    // PS3.3 C.7.6.3.1.2: YBR_FULL is full-range ITU-R BT.601 Y, Cb, Cr.
    for (std::size_t i = 0; i < pixels; ++i) {
        const double y = in[i * pixelStep];
        const double cb = in[i * pixelStep + sampleStep] - 128.0;
        const double cr = in[i * pixelStep + 2 * sampleStep] - 128.0;
        out[3 * i] = clampByte(y + 1.402 * cr);
        out[3 * i + 1] = clampByte(y - 0.34414 * cb - 0.71414 * cr);
        out[3 * i + 2] = clampByte(y + 1.772 * cb);
    }
    return frame;
}

} // namespace

Result<Frame> normaliseFrame(std::span<const std::uint8_t> raw, const PixelAttributes& attrs, SampleLayout layout,
                                   const PaletteTables* palette)
{
    return FrameNormaliser(attrs, layout, palette)(raw);
}

Result<Frame> FrameNormaliser::operator()(std::span<const std::uint8_t> raw)
{
    const PixelAttributes& attrs = m_attrs;
    const SampleLayout layout = m_layout;
    const PaletteTables* palette = m_palette;
    const auto frameBytes = storedFrameBytes(attrs);
    if (!frameBytes)
        return frameBytes.error();
    if (raw.size() < *frameBytes)
        return corrupted("pixel data shorter than one frame");
    const int bits = attrs.bitsAllocated;
    if (bits != 8 && bits != 12 && bits != 16)
        return Error{DicomError::UnsupportedFormat, "bits allocated must be 8, 12 or 16"};
    const FrameFormat format = normalisedFormat(attrs);
    if (format == FrameFormat::Rgb8) {
        const bool indexed = attrs.photometricKind() == Photometric::PaletteColor;
        if (bits != 8 || attrs.samplesPerPixel != (indexed ? 1 : 3))
            return Error{DicomError::UnsupportedFormat, "colour frames need 8-bit samples"};
        if (indexed && palette == nullptr)
            return corrupted("palette colour image without palette tables");
    } else if (attrs.samplesPerPixel != 1) {
        return Error{DicomError::UnsupportedFormat, "grey frames need one sample per pixel"};
    }

    const std::size_t pixels = std::size_t(attrs.rows) * attrs.columns;
    try {
        switch (format) {
        case FrameFormat::Grey16: return normaliseGrey16(raw, attrs, pixels, m_table);
        case FrameFormat::Grey8: return normaliseGrey8(raw, attrs, pixels);
        case FrameFormat::Rgb8: return normaliseColour(raw, attrs, layout, palette, pixels);
        }
    } catch (const std::bad_alloc&) {
        return Error{DicomError::OutOfMemory, "out of memory normalising a frame"};
    }
    return corrupted("unknown frame format");
}

std::vector<std::uint8_t> renderFrame8(const Frame& frame, Window& window)
{
    if (frame.format != FrameFormat::Grey16) {
        window = Window{128, 256};
        return frame.bytes;
    }
    const auto& samples = frame.samples;
    std::int32_t lo = 0, hi = 0;
    if (!samples.empty()) {
        const auto [minIt, maxIt] = std::minmax_element(samples.begin(), samples.end());
        lo = *minIt;
        hi = *maxIt;
    }
    std::int32_t upper = window.centre + window.width / 2;
    std::int32_t lower = window.centre + window.width / -2;
    if (2 * hi < upper || upper < lo || lower < lo || 2 * hi < lower || (upper == 0 && lower == 0)) {
        window.centre = clampToInt16(lo + (hi - lo) / 2);
        window.width = clampToInt16(hi - lo);
        lower = lo;
        upper = hi;
    }
    if (upper <= lower)
        upper = lower + 1;
    const double range = upper - lower;
    std::vector<std::uint8_t> out(samples.size());
    for (std::size_t i = 0; i < samples.size(); ++i)
        out[i] = clampByte((samples[i] - lower) / range * 255.0);
    return out;
}

std::vector<std::int16_t> unrescaledSamples(const Frame& frame, const PixelAttributes& attrs)
{
    if (frame.format != FrameFormat::Grey16 || !attrs.rescalePresent)
        return frame.samples;
    std::vector<std::int16_t> out(frame.samples.size());
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i] = clampToInt16(std::trunc((frame.samples[i] - attrs.rescaleIntercept) / attrs.rescaleSlope));
    return out;
}

} // namespace dicom
