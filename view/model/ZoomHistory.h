#pragma once

#include "view/model/ViewTransform.h"

#include <cstddef>
#include <optional>
#include <vector>

namespace viewmodel {

// Marks entries made by the mouse wheel, so that a run of notches makes one
// entry and a single "&Previous Zoom" undoes the whole turn.
enum class ZoomCause { Other, Wheel };

struct ZoomHistoryEntry {
    Point scroll;
    double zoom = 1.0;
    ZoomCause cause = ZoomCause::Other;
    friend bool operator==(const ZoomHistoryEntry&, const ZoomHistoryEntry&) = default;
};

// The view's back and forward list of zoom factors and scroll positions.
// It starts with actual size at the top left and is never empty.
class ZoomHistory {
public:
    // Factors closer than this count as the same.
    static constexpr double SameZoom = 0.00001;

    ZoomHistory();

    // Records the view after a zoom. A record equal to the current entry adds
    // nothing; a wheel record after a wheel entry replaces it; any other drops
    // the entries ahead of the current one and becomes the last.
    void add(Point scroll, double zoom, ZoomCause cause);

    bool canGoBack() const { return m_current > 0; }
    bool canGoForward() const { return m_current + 1 < m_entries.size(); }
    // Moves to the previous or next entry and returns it to restore; none at
    // either end. The entry then counts as not made by the wheel, so the next
    // notch starts an entry of its own instead of replacing it.
    std::optional<ZoomHistoryEntry> back();
    std::optional<ZoomHistoryEntry> forward();

    const ZoomHistoryEntry& current() const { return m_entries[m_current]; }
    std::size_t currentIndex() const { return m_current; }
    std::size_t count() const { return m_entries.size(); }

private:
    std::optional<ZoomHistoryEntry> moveTo(std::size_t index);

    std::vector<ZoomHistoryEntry> m_entries;
    std::size_t m_current = 0;
};

} // namespace viewmodel
