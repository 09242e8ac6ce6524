#pragma once

#include "view/model/OverlayRecords.h"

#include <cstddef>
#include <optional>
#include <span>
#include <utility>
#include <vector>

namespace viewmodel {

// One kind of overlay record of one frame, in drawing order. Every index is
// checked: an operation on an index past the end changes nothing and says so.
template <typename Record>
class OverlayList {
public:
    std::size_t count() const { return m_records.size(); }
    const std::vector<Record>& records() const { return m_records; }
    const Record* at(std::size_t index) const { return index < m_records.size() ? &m_records[index] : nullptr; }

    void add(Record record) { m_records.push_back(std::move(record)); }

    bool replace(std::size_t index, Record record)
    {
        if (index >= m_records.size())
            return false;
        m_records[index] = std::move(record);
        return true;
    }

    bool remove(std::size_t index)
    {
        if (index >= m_records.size())
            return false;
        m_records.erase(m_records.begin() + static_cast<std::ptrdiff_t>(index));
        return true;
    }

    // The first record equal to `record`, field by field.
    std::optional<std::size_t> findEqual(const Record& record) const
    {
        for (std::size_t i = 0; i < m_records.size(); ++i) {
            if (m_records[i] == record)
                return i;
        }
        return std::nullopt;
    }

    // The first record a press at an image point picks.
    std::optional<std::size_t> hitTest(Point image) const
    {
        for (std::size_t i = 0; i < m_records.size(); ++i) {
            if (m_records[i].isHitAt(image))
                return i;
        }
        return std::nullopt;
    }

    friend bool operator==(const OverlayList&, const OverlayList&) = default;

private:
    std::vector<Record> m_records;
};

// The overlays of one frame. The view picks annotations before lengths and
// lengths before angles.
struct FrameOverlays {
    OverlayList<TextAnnotation> annotations;
    OverlayList<LengthMeasurement> lengths;
    OverlayList<AngleMeasurement> angles;

    template <typename Record>
    OverlayList<Record>& listOf();
    template <typename Record>
    const OverlayList<Record>& listOf() const { return const_cast<FrameOverlays*>(this)->listOf<Record>(); }

    // Moves annotation `index` by an offset in image pixels; false past the end.
    bool moveAnnotation(std::size_t index, Point offset);

    bool empty() const { return annotations.count() == 0 && lengths.count() == 0 && angles.count() == 0; }
    friend bool operator==(const FrameOverlays&, const FrameOverlays&) = default;
};

template <>
inline OverlayList<TextAnnotation>& FrameOverlays::listOf<TextAnnotation>() { return annotations; }
template <>
inline OverlayList<LengthMeasurement>& FrameOverlays::listOf<LengthMeasurement>() { return lengths; }
template <>
inline OverlayList<AngleMeasurement>& FrameOverlays::listOf<AngleMeasurement>() { return angles; }

// The image-pixel offset of an annotation dragged from `press` to `release`
// (viewport points) at a zoom factor, truncated toward zero. Shift keeps the
// column and Control the row, so a drag can follow one axis exactly.
struct MoveLock {
    bool keepX = false;
    bool keepY = false;
};
Point annotationMoveOffset(Point press, Point release, double zoom, MoveLock lock);

// The edits that reach several frames. Each frame is one entry of `frames`;
// the record kind picks the list. Each returns how many frames it changed.

// A new record, with "Apply to all frames" on: every frame gets it.
template <typename Record>
std::size_t addToEveryFrame(std::span<FrameOverlays> frames, const Record& record);

// "Add to all frames": every frame but `current` gets a copy, even one that
// already holds an equal record, so doing it twice gives two copies.
template <typename Record>
std::size_t addToOtherFrames(std::span<FrameOverlays> frames, std::size_t current, const Record& record);

// Deleting with "Apply to all frames" on: the first record equal to
// `record` goes from every frame that holds one.
template <typename Record>
std::size_t removeEqualFromEveryFrame(std::span<FrameOverlays> frames, const Record& record);

// Editing with "Apply to all frames" on: in every frame the first record
// equal to `before` becomes `after`; a frame without one gets `after` added.
template <typename Record>
std::size_t replaceEqualInEveryFrame(std::span<FrameOverlays> frames, const Record& before, const Record& after);

// Moving with "Apply to all frames" on: in every frame the first annotation
// equal to `moved` (as it was before the move) moves by `offset`.
std::size_t moveEqualAnnotations(std::span<FrameOverlays> frames, const TextAnnotation& moved, Point offset);

} // namespace viewmodel
