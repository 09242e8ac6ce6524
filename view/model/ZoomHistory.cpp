#include "view/model/ZoomHistory.h"

#include <cmath>

namespace viewmodel {

ZoomHistory::ZoomHistory()
    : m_entries { ZoomHistoryEntry {} }
{
}

void ZoomHistory::add(Point scroll, double zoom, ZoomCause cause)
{
    const ZoomHistoryEntry& present = current();
    if (present.scroll == scroll && std::abs(present.zoom - zoom) <= SameZoom)
        return;
    if (!(present.cause == ZoomCause::Wheel && cause == ZoomCause::Wheel)) {
        m_entries.resize(m_current + 1);
        m_entries.emplace_back();
        m_current = m_entries.size() - 1;
    }
    m_entries[m_current] = { scroll, zoom, cause };
}

std::optional<ZoomHistoryEntry> ZoomHistory::back()
{
    if (!canGoBack())
        return std::nullopt;
    return moveTo(m_current - 1);
}

std::optional<ZoomHistoryEntry> ZoomHistory::forward()
{
    if (!canGoForward())
        return std::nullopt;
    return moveTo(m_current + 1);
}

std::optional<ZoomHistoryEntry> ZoomHistory::moveTo(std::size_t index)
{
    m_current = index;
    m_entries[m_current].cause = ZoomCause::Other;
    return m_entries[m_current];
}

} // namespace viewmodel
