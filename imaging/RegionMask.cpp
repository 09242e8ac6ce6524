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

// Nearest-neighbour scaling of the selected area, limited to the rows and
// columns that come from the bounding box, with a one-pixel unselected margin
// so that border tests need no bounds checks.
void RegionMask::computeScaled(double scale) const
{
    ScaledCache cache;
    cache.scale = scale;
    cache.valid = true;
    cache.box = RegionBox{0, 0, -1, -1};
    const std::int32_t scaledWidth = scaledSize(scale, m_width);
    const std::int32_t scaledHeight = scaledSize(scale, m_height);
    const RegionBox box = m_current.box;
    auto sourceOf = [](std::int32_t i, std::int32_t size, std::int32_t scaled) {
        return static_cast<std::int64_t>(std::trunc(static_cast<double>(size) / scaled * i + 0.5));
    };
    std::int32_t rowFirst = -1, rowLast = -1, colFirst = -1, colLast = -1;
    if (scaledWidth > 0 && scaledHeight > 0) {
        for (std::int32_t i = 0; i < scaledHeight; ++i) {
            const std::int64_t r = sourceOf(i, m_height, scaledHeight);
            if (r >= box.top && r <= box.bottom) {
                if (rowFirst < 0)
                    rowFirst = i;
                rowLast = i;
            }
        }
        for (std::int32_t j = 0; j < scaledWidth; ++j) {
            const std::int64_t c = sourceOf(j, m_width, scaledWidth);
            if (c >= box.left && c <= box.right) {
                if (colFirst < 0)
                    colFirst = j;
                colLast = j;
            }
        }
    }
    if (rowFirst < 0 || colFirst < 0) {
        m_scaled = std::move(cache);
        return;
    }
    const std::size_t localWidth = static_cast<std::size_t>(colLast - colFirst + 3);
    const std::size_t localHeight = static_cast<std::size_t>(rowLast - rowFirst + 3);
    std::vector<std::uint8_t> local(localWidth * localHeight, kOutside);
    for (std::int32_t i = rowFirst; i <= rowLast; ++i) {
        const auto r = static_cast<std::int32_t>(sourceOf(i, m_height, scaledHeight));
        for (std::int32_t j = colFirst; j <= colLast; ++j) {
            const auto c = static_cast<std::int32_t>(sourceOf(j, m_width, scaledWidth));
            if (m_current.mask[indexOf(c, r, m_width)] != kOutside)
                local[static_cast<std::size_t>(i - rowFirst + 1) * localWidth + static_cast<std::size_t>(j - colFirst + 1)] = kInside;
        }
    }
    RegionBox found{scaledWidth, scaledHeight, -1, -1};
    for (std::int32_t i = rowFirst; i <= rowLast; ++i) {
        for (std::int32_t j = colFirst; j <= colLast; ++j) {
            const std::size_t k = static_cast<std::size_t>(i - rowFirst + 1) * localWidth + static_cast<std::size_t>(j - colFirst + 1);
            if (local[k] == kOutside)
                continue;
            const bool edge = i == 0 || j == 0 || i == scaledHeight - 1 || j == scaledWidth - 1;
            if (!edge && local[k - 1] != kOutside && local[k + 1] != kOutside && local[k - localWidth] != kOutside
                && local[k + localWidth] != kOutside)
                continue;
            cache.outline.push_back({j, i});
            found = RegionBox{std::min(found.left, j), std::min(found.top, i), std::max(found.right, j),
                              std::max(found.bottom, i)};
        }
    }
    if (!cache.outline.empty())
        cache.box = found;
    m_scaled = std::move(cache);
}

} // namespace imaging
