#include "imaging/RegionMask.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace imaging {
namespace {

std::size_t indexOf(std::int32_t x, std::int32_t y, std::int32_t width)
{
    return static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x);
}

std::int32_t scaledSize(double scale, std::int32_t size)
{
    const double scaled = std::trunc(scale * size + 0.5);
    return scaled >= 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<std::int32_t>(scaled);
}

// A selection drawn larger than this on either side (65535 pixels at a zoom
// of 16) is past anything a view shows; it gets no outline rather than
// gigabytes of outline points.
constexpr std::int64_t kMaxScaledExtent = std::int64_t{1} << 20;

// The scaled rows (or columns) whose source row lies in first..last: scaled i
// shows source trunc(size / scaled * i + 0.5), which never falls as i rises,
// so they are one stretch found by bisection.
struct ScaledAxis {
    std::size_t first = 0;
    std::vector<std::int32_t> source; // source index of each scaled one from `first` on

    static std::int64_t sourceOf(std::int64_t i, std::int32_t size, std::int32_t scaled)
    {
        return static_cast<std::int64_t>(std::trunc(static_cast<double>(size) / scaled * static_cast<double>(i) + 0.5));
    }

    static ScaledAxis of(std::int32_t size, std::int32_t scaled, std::int32_t first, std::int32_t last)
    {
        ScaledAxis axis;
        if (scaled <= 0 || size <= 0 || first > last)
            return axis;
        auto firstReaching = [&](std::int64_t bound) {
            std::int64_t low = 0;
            std::int64_t high = scaled;
            while (low < high) {
                const std::int64_t mid = low + (high - low) / 2;
                if (sourceOf(mid, size, scaled) >= bound)
                    high = mid;
                else
                    low = mid + 1;
            }
            return low;
        };
        const std::int64_t begin = firstReaching(first);
        const std::int64_t end = firstReaching(std::int64_t{last} + 1);
        if (end - begin > kMaxScaledExtent)
            return axis;
        axis.first = static_cast<std::size_t>(begin);
        axis.source.reserve(static_cast<std::size_t>(end - begin));
        for (std::int64_t i = begin; i < end; ++i)
            axis.source.push_back(static_cast<std::int32_t>(sourceOf(i, size, scaled)));
        return axis;
    }

    // Both neighbours show the same source index as k.
    bool isMiddle(std::size_t k) const
    {
        return k > 0 && k + 1 < source.size() && source[k - 1] == source[k] && source[k + 1] == source[k];
    }
};

} // namespace

RegionMask::RegionMask(std::int32_t width, std::int32_t height)
    : m_width(std::max(width, 0))
    , m_height(std::max(height, 0))
{
    m_current = emptyState();
}

RegionMask::State RegionMask::emptyState() const
{
    State state;
    state.box = RegionBox{0, 0, m_width - 1, m_height - 1};
    return state;
}

void RegionMask::recordState(State next)
{
    // Everything that can run out of memory happens before the first change.
    State kept = next;
    if (m_history.capacity() < m_historyPos + 1)
        m_history.reserve(std::max(m_historyPos + 1, 2 * m_history.capacity()));
    m_history.resize(m_historyPos);
    m_history.push_back(std::move(kept));
    m_historyPos = m_history.size();
    m_current = std::move(next);
    m_scaled = ScaledCache{};
}

void RegionMask::selectRectangle(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom)
{
    State next = emptyState();
    if (m_width > 0 && m_height > 0) {
        left = std::clamp(left, 0, m_width - 1);
        right = std::clamp(right, 0, m_width - 1);
        top = std::clamp(top, 0, m_height - 1);
        bottom = std::clamp(bottom, 0, m_height - 1);
        if (left > right)
            std::swap(left, right);
        if (top > bottom)
            std::swap(top, bottom);
    }
    if (m_width > 0 && m_height > 0 && left != right && top != bottom) {
        next.mask.assign(static_cast<std::size_t>(m_width) * static_cast<std::size_t>(m_height), kOutside);
        // Clockwise from the top-left corner; corners appear on both edges.
        for (std::int32_t x = left; x <= right; ++x)
            next.outline.push_back({x, top});
        for (std::int32_t y = top; y <= bottom; ++y)
            next.outline.push_back({right, y});
        for (std::int32_t x = right; x >= left; --x)
            next.outline.push_back({x, bottom});
        for (std::int32_t y = bottom; y >= top; --y)
            next.outline.push_back({left, y});
        for (std::int32_t y = top; y <= bottom; ++y) {
            for (std::int32_t x = left; x <= right; ++x) {
                const bool border = x == left || x == right || y == top || y == bottom;
                next.mask[indexOf(x, y, m_width)] = border ? kOutline : kInside;
            }
        }
        next.box = RegionBox{left, top, right, bottom};
        next.pixelCount = static_cast<std::uint64_t>(right - left + 1) * static_cast<std::uint64_t>(bottom - top + 1);
        if (next.outline.size() < 5)
            next = emptyState();
    }
    recordState(std::move(next));
}

void RegionMask::invertSelection()
{
    if (!hasSelection())
        return;
    State next = emptyState();
    next.mask = m_current.mask;
    for (std::uint8_t& v : next.mask)
        v = v == kOutside ? kInside : kOutside;

    // Border pixels: selected pixels on the image's edge or next to an
    // unselected 4-neighbour, each listed once in row order.
    RegionBox box{m_width, m_height, -1, -1};
    for (std::int32_t y = 0; y < m_height; ++y) {
        for (std::int32_t x = 0; x < m_width; ++x) {
            const std::size_t i = indexOf(x, y, m_width);
            if (next.mask[i] == kOutside)
                continue;
            const bool edge = x == 0 || y == 0 || x == m_width - 1 || y == m_height - 1;
            const bool border = edge || next.mask[i - 1] == kOutside || next.mask[i + 1] == kOutside
                || next.mask[i - static_cast<std::size_t>(m_width)] == kOutside
                || next.mask[i + static_cast<std::size_t>(m_width)] == kOutside;
            ++next.pixelCount;
            if (!border)
                continue;
            next.mask[i] = kOutline;
            next.outline.push_back({x, y});
            box = RegionBox{std::min(box.left, x), std::min(box.top, y), std::max(box.right, x),
                            std::max(box.bottom, y)};
        }
    }
    if (next.outline.empty())
        next = emptyState(); // the whole image was selected: nothing is left
    else
        next.box = box;
    recordState(std::move(next));
}

void RegionMask::removeSelection()
{
    recordState(emptyState());
}

bool RegionMask::undo()
{
    if (m_historyPos == 0)
        return false;
    State previous = m_historyPos >= 2 ? m_history[m_historyPos - 2] : emptyState();
    m_current = std::move(previous);
    --m_historyPos;
    m_scaled = ScaledCache{};
    return true;
}

bool RegionMask::redo()
{
    if (m_historyPos >= m_history.size())
        return false;
    m_current = m_history[m_historyPos];
    ++m_historyPos;
    m_scaled = ScaledCache{};
    return true;
}

std::uint64_t RegionMask::pixelCount() const
{
    if (!hasSelection())
        return static_cast<std::uint64_t>(m_width) * static_cast<std::uint64_t>(m_height);
    return m_current.pixelCount;
}

RegionBox RegionMask::box() const
{
    return m_current.box;
}

std::uint8_t RegionMask::valueAt(std::int32_t x, std::int32_t y) const
{
    if (m_current.mask.empty() || x < 0 || y < 0 || x >= m_width || y >= m_height)
        return kOutside;
    return m_current.mask[indexOf(x, y, m_width)];
}

bool RegionMask::isSelected(std::int32_t x, std::int32_t y) const
{
    return valueAt(x, y) != kOutside;
}

std::span<const OutlinePoint> RegionMask::outline(double scale) const
{
    if (!hasSelection() || !(scale > 0.0) || !std::isfinite(scale))
        return {};
    if (scale == 1.0)
        return m_current.outline;
    if (!m_scaled.valid || m_scaled.scale != scale)
        computeScaled(scale);
    return m_scaled.outline;
}

RegionBox RegionMask::boxExclusive(double scale) const
{
    if (scale == 1.0 || !hasSelection() || !(scale > 0.0) || !std::isfinite(scale)) {
        const RegionBox b = m_current.box;
        if (scale == 1.0 || !(scale > 0.0) || !std::isfinite(scale))
            return RegionBox{b.left, b.top, b.right + 1, b.bottom + 1};
        return RegionBox{0, 0, scaledSize(scale, m_width), scaledSize(scale, m_height)};
    }
    if (!m_scaled.valid || m_scaled.scale != scale)
        computeScaled(scale);
    const RegionBox b = m_scaled.box;
    return RegionBox{b.left, b.top, b.right + 1, b.bottom + 1};
}

// Nearest-neighbour scaling of the selection without a scaled mask: a zoom of 8
// would need 64 bytes per source pixel. Scaled rows (and columns) that come
// from the same source row form runs; inside a run a pixel's neighbours across
// it show the same source pixel, so each run's middle needs working out once
// and the rest is copying. The work grows with the source box, not the zoom.
void RegionMask::computeScaled(double scale) const
{
    ScaledCache cache;
    cache.scale = scale;
    cache.valid = true;
    cache.box = RegionBox{0, 0, -1, -1};
    const std::int32_t scaledWidth = scaledSize(scale, m_width);
    const std::int32_t scaledHeight = scaledSize(scale, m_height);
    const ScaledAxis rows = ScaledAxis::of(m_height, scaledHeight, m_current.box.top, m_current.box.bottom);
    const ScaledAxis cols = ScaledAxis::of(m_width, scaledWidth, m_current.box.left, m_current.box.right);
    const std::size_t rowCount = rows.source.size();
    const std::size_t colCount = cols.source.size();
    if (rowCount == 0 || colCount == 0) {
        m_scaled = std::move(cache);
        return;
    }

    // Scaled pixel (k, m) of the box-limited grid; outside it nothing is selected.
    auto selected = [&](std::size_t k, std::size_t m) {
        return k < rowCount && m < colCount
            && m_current.mask[indexOf(cols.source[m], rows.source[k], m_width)] != kOutside;
    };
    auto onOutline = [&](std::size_t k, std::size_t m) {
        if (!selected(k, m))
            return false;
        const bool edge = rows.first + k == 0 || cols.first + m == 0
            || rows.first + k == static_cast<std::size_t>(scaledHeight) - 1
            || cols.first + m == static_cast<std::size_t>(scaledWidth) - 1;
        return edge || k == 0 || m == 0 || !selected(k - 1, m) || !selected(k + 1, m) || !selected(k, m - 1)
            || !selected(k, m + 1);
    };

    std::vector<std::size_t> found; // local columns on the outline in the current row
    RegionBox box{scaledWidth, scaledHeight, -1, -1};
    for (std::size_t k = 0; k < rowCount; ++k) {
        // A middle row of a run repeats the row before it when that was one too.
        if (!(rows.isMiddle(k) && k > 1 && rows.isMiddle(k - 1))) {
            found.clear();
            for (std::size_t m = 0; m < colCount;) {
                std::size_t runEnd = m + 1;
                while (runEnd < colCount && cols.source[runEnd] == cols.source[m])
                    ++runEnd;
                if (onOutline(k, m))
                    found.push_back(m);
                if (runEnd - m > 2 && onOutline(k, m + 1)) {
                    for (std::size_t middle = m + 1; middle + 1 < runEnd; ++middle)
                        found.push_back(middle);
                }
                if (runEnd - m > 1 && onOutline(k, runEnd - 1))
                    found.push_back(runEnd - 1);
                m = runEnd;
            }
        }
        const auto y = static_cast<std::int32_t>(rows.first + k);
        for (const std::size_t m : found) {
            const auto x = static_cast<std::int32_t>(cols.first + m);
            cache.outline.push_back({x, y});
            box = RegionBox{std::min(box.left, x), std::min(box.top, y), std::max(box.right, x),
                            std::max(box.bottom, y)};
        }
    }
    if (!cache.outline.empty())
        cache.box = box;
    m_scaled = std::move(cache);
}

} // namespace imaging
