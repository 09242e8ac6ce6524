#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace viewmodel {

// The pixel statistics of one frame: over its selection, or over every
// pixel when it has none.
struct FrameFigures {
    std::uint64_t voxels = 0;
    double mean = 0.0;
    double deviation = 0.0;
    bool hasSelection = false;
};

// Millimetres: spacing between rows (vertical) and between columns
// (horizontal), and the slice thickness (0 when unknown).
struct VoxelSize {
    double row = 1.0;
    double column = 1.0;
    double thickness = 0.0;
};

// A spacing the arithmetic can use: positive and finite, else 1 mm, so that
// a frame without one is measured at one millimetre per pixel.
double usableSpacing(double millimetres);
// Only positive finite spacings may be stored.
bool isValidSpacing(double millimetres);

// One line of the statistics list, every cell as shown; area and volume stay
// empty where there is nothing to measure.
struct InfoRow {
    std::string frame;
    std::string voxels;
    std::string mean;
    std::string deviation;
    std::string area;   // square centimetres
    std::string volume; // cubic centimetres
    bool operator==(const InfoRow&) const = default;
};

// A row per frame, numbered from 1, and for more than one frame with some
// selection a "Total" row over the selected frames only.
std::vector<InfoRow> infoRows(std::span<const FrameFigures> frames, const VoxelSize& size);

using HistogramBins = std::array<std::uint32_t, 256>;
inline constexpr int HistogramPlotHeight = 115;

// Where the scale slider starts, so that the few tallest bins (often the
// background) do not flatten the rest: none when the histogram is empty.
std::optional<int> initialHistogramScale(const HistogramBins& luminance);
// Bar heights in plot pixels for a slider position of 1..99.
std::array<int, 256> histogramBars(const HistogramBins& bins, int scale);

} // namespace viewmodel
