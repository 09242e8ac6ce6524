#include "view/model/FrameOverlays.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace viewmodel {

namespace {

std::int32_t saturated(double value)
{
    constexpr double Low = std::numeric_limits<std::int32_t>::min();
    constexpr double High = std::numeric_limits<std::int32_t>::max();
    if (std::isnan(value))
        return 0;
    return static_cast<std::int32_t>(std::clamp(value, Low, High));
}

std::int32_t saturatedSum(std::int32_t a, std::int32_t b)
{
    return saturated(static_cast<double>(std::int64_t { a } + b));
}

std::int32_t dragOffset(std::int32_t from, std::int32_t to, double zoom)
{
    if (!(zoom > 0.0) || !std::isfinite(zoom))
        return 0;
    return saturated(std::trunc(static_cast<double>(std::int64_t { to } - from) / zoom));
}

} // namespace

bool FrameOverlays::moveAnnotation(std::size_t index, Point offset)
{
    const TextAnnotation* found = annotations.at(index);
    if (found == nullptr)
        return false;
    TextAnnotation moved = *found;
    moved.position = { saturatedSum(moved.position.x, offset.x), saturatedSum(moved.position.y, offset.y) };
    return annotations.replace(index, std::move(moved));
}

Point annotationMoveOffset(Point press, Point release, double zoom, MoveLock lock)
{
    return { lock.keepX ? 0 : dragOffset(press.x, release.x, zoom),
        lock.keepY ? 0 : dragOffset(press.y, release.y, zoom) };
}

template <typename Record>
std::size_t addToEveryFrame(std::span<FrameOverlays> frames, const Record& record)
{
    for (FrameOverlays& frame : frames)
        frame.listOf<Record>().add(record);
    return frames.size();
}

template <typename Record>
std::size_t addToOtherFrames(std::span<FrameOverlays> frames, std::size_t current, const Record& record)
{
    std::size_t changed = 0;
    for (std::size_t f = 0; f < frames.size(); ++f) {
        if (f == current)
            continue;
        frames[f].listOf<Record>().add(record);
        ++changed;
    }
    return changed;
}

template <typename Record>
std::size_t removeEqualFromEveryFrame(std::span<FrameOverlays> frames, const Record& record)
{
    std::size_t changed = 0;
    for (FrameOverlays& frame : frames) {
        OverlayList<Record>& list = frame.listOf<Record>();
        if (const std::optional<std::size_t> index = list.findEqual(record)) {
            list.remove(*index);
            ++changed;
        }
    }
    return changed;
}

template <typename Record>
std::size_t replaceEqualInEveryFrame(std::span<FrameOverlays> frames, const Record& before, const Record& after)
{
    for (FrameOverlays& frame : frames) {
        OverlayList<Record>& list = frame.listOf<Record>();
        if (const std::optional<std::size_t> index = list.findEqual(before))
            list.replace(*index, after);
        else
            list.add(after);
    }
    return frames.size();
}

std::size_t moveEqualAnnotations(std::span<FrameOverlays> frames, const TextAnnotation& moved, Point offset)
{
    std::size_t changed = 0;
    for (FrameOverlays& frame : frames) {
        if (const std::optional<std::size_t> index = frame.annotations.findEqual(moved)) {
            frame.moveAnnotation(*index, offset);
            ++changed;
        }
    }
    return changed;
}

template std::size_t addToEveryFrame(std::span<FrameOverlays>, const TextAnnotation&);
template std::size_t addToOtherFrames(std::span<FrameOverlays>, std::size_t, const TextAnnotation&);
template std::size_t removeEqualFromEveryFrame(std::span<FrameOverlays>, const TextAnnotation&);
template std::size_t replaceEqualInEveryFrame(std::span<FrameOverlays>, const TextAnnotation&, const TextAnnotation&);
template std::size_t addToEveryFrame(std::span<FrameOverlays>, const LengthMeasurement&);
template std::size_t addToOtherFrames(std::span<FrameOverlays>, std::size_t, const LengthMeasurement&);
template std::size_t removeEqualFromEveryFrame(std::span<FrameOverlays>, const LengthMeasurement&);
template std::size_t replaceEqualInEveryFrame(std::span<FrameOverlays>, const LengthMeasurement&, const LengthMeasurement&);
template std::size_t addToEveryFrame(std::span<FrameOverlays>, const AngleMeasurement&);
template std::size_t addToOtherFrames(std::span<FrameOverlays>, std::size_t, const AngleMeasurement&);
template std::size_t removeEqualFromEveryFrame(std::span<FrameOverlays>, const AngleMeasurement&);
template std::size_t replaceEqualInEveryFrame(std::span<FrameOverlays>, const AngleMeasurement&, const AngleMeasurement&);

} // namespace viewmodel
