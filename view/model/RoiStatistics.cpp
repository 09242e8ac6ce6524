#include "view/model/RoiStatistics.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace viewmodel {
namespace {

std::string fixed2(double value)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.2f", value);
    return text;
}

// Square centimetres per pixel and cubic centimetres per voxel (0 without a thickness).
double pixelArea(const VoxelSize& size) { return usableSpacing(size.row) * usableSpacing(size.column) * 0.01; }
double voxelVolume(const VoxelSize& size)
{
    const bool thick = size.thickness > 0.0 && std::isfinite(size.thickness);
    return thick ? size.thickness * usableSpacing(size.row) * usableSpacing(size.column) * 0.001 : 0.0;
}

std::uint32_t largest(const HistogramBins& bins) { return *std::max_element(bins.begin(), bins.end()); }

} // namespace

bool isValidSpacing(double millimetres) { return std::isfinite(millimetres) && millimetres > 0.0; }

double usableSpacing(double millimetres) { return isValidSpacing(millimetres) ? millimetres : 1.0; }

std::vector<InfoRow> infoRows(std::span<const FrameFigures> frames, const VoxelSize& size)
{
    std::vector<InfoRow> rows;
    std::uint64_t selectedVoxels = 0;
    double areaSum = 0.0;
    double volumeSum = 0.0;
    bool anySelection = false;
    for (std::size_t i = 0; i < frames.size(); ++i) {
        const FrameFigures& f = frames[i];
        InfoRow row { std::to_string(i + 1), std::to_string(f.voxels), fixed2(f.mean), fixed2(f.deviation), {}, {} };
        if (f.hasSelection) {
            const double n = static_cast<double>(f.voxels);
            const double area = pixelArea(size) * n;
            const double volume = voxelVolume(size) * n;
            row.area = fixed2(area);
            if (volume > 0.0)
                row.volume = fixed2(volume);
            anySelection = true;
            selectedVoxels += f.voxels;
            areaSum += area;
            volumeSum += volume;
        }
        rows.push_back(std::move(row));
    }
    if (frames.size() > 1 && anySelection)
        rows.push_back({ "Total", std::to_string(selectedVoxels), {}, {}, areaSum > 0.0 ? fixed2(areaSum) : std::string {},
                         volumeSum > 0.0 ? fixed2(volumeSum) : std::string {} });
    return rows;
}

std::optional<int> initialHistogramScale(const HistogramBins& luminance)
{
    HistogramBins rest = luminance;
    const double h1 = largest(rest);
    for (int i = 0; i < 3; ++i)
        *std::max_element(rest.begin(), rest.end()) = 0;
    const double h4 = largest(rest);
    if (h1 + h4 == 0.0)
        return std::nullopt;
    return std::clamp(static_cast<int>(h1 / (h1 + h4) * 100.0), 1, 99);
}

std::array<int, 256> histogramBars(const HistogramBins& bins, int scale)
{
    const double top = std::max(1.0, std::trunc((100 - std::clamp(scale, 1, 99)) * 0.01 * largest(bins)));
    std::array<int, 256> bars {};
    for (std::size_t i = 0; i < bins.size(); ++i) {
        if (bins[i] == 0)
            continue;
        const double g = std::trunc(bins[i] / top * 100.0 + 0.5);
        bars[i] = std::clamp(static_cast<int>(std::min(g, 1000.0)), 1, HistogramPlotHeight);
    }
    return bars;
}

} // namespace viewmodel
