#pragma once

// Whether a three-component JPEG frame labelled "RGB" stores its samples
// untransformed: what the stream says of itself first, else the label. A JPEG
// library alone would take unmarked components 0, 1, 2 (or 1, 2, 3) for
// YCbCr. A template, so that each library adapter applies it to its own
// decompression state without seeing another library's header.

namespace codecs {

template<typename DecompressInfo>
bool storesRgbSamples(const DecompressInfo& info)
{
    // Adobe Technical Note 5116: transform 0 means the samples are stored untransformed.
    if (info.saw_Adobe_marker)
        return info.Adobe_transform == 0;
    const auto* c = info.comp_info;
    if (c[0].component_id == 'R' && c[1].component_id == 'G' && c[2].component_id == 'B')
        return true;
    bool subsampled = false;
    for (int i = 1; i < 3; ++i)
        subsampled = subsampled || c[i].h_samp_factor != c[0].h_samp_factor || c[i].v_samp_factor != c[0].v_samp_factor;
    // JFIF (T.871) is YCbCr by definition; so, in practice, is subsampled chroma.
    // Otherwise PS3.5 8.2.1: "RGB" says no colour transform was applied.
    return !info.saw_JFIF_marker && !subsampled;
}

} // namespace codecs
