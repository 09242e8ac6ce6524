#include "view/OverlayEdits.h"

#include "document/COrvoDoc.h"
#include "document/OverlayText.h"

namespace overlayedits {
namespace {

using viewmodel::OverlayHit;

// Runs `edit` with the record `ref` names in the current frame, whatever its kind.
template <typename Edit>
bool withRecord(COrvoDoc& doc, OverlayRef ref, const Edit& edit)
{
    const viewmodel::FrameOverlays& frame = doc.overlays();
    switch (ref.kind) {
    case OverlayHit::TextAnnotation:
        if (const auto* record = frame.annotations.at(ref.index))
            return edit(*record);
        return false;
    case OverlayHit::Length:
        if (const auto* record = frame.lengths.at(ref.index))
            return edit(*record);
        return false;
    case OverlayHit::Angle:
        if (const auto* record = frame.angles.at(ref.index))
            return edit(*record);
        return false;
    case OverlayHit::Nothing: return false;
    }
    return false;
}

std::size_t currentIndex(const COrvoDoc& doc) { return static_cast<std::size_t>(doc.currentFrameIndex()); }

} // namespace

std::optional<OverlayRef> overlayAt(const COrvoDoc& doc, viewmodel::Point image)
{
    const viewmodel::FrameOverlays& frame = doc.overlays();
    if (doc.showAnnotations()) {
        if (const auto index = frame.annotations.hitTest(image))
            return OverlayRef { OverlayHit::TextAnnotation, *index };
    }
    if (doc.showMeasurements()) {
        if (const auto index = frame.lengths.hitTest(image))
            return OverlayRef { OverlayHit::Length, *index };
        if (const auto index = frame.angles.hitTest(image))
            return OverlayRef { OverlayHit::Angle, *index };
    }
    return std::nullopt;
}

bool canAddToAllFrames(const COrvoDoc& doc) { return doc.frameCount() > 1 && doc.allFramesAgree(); }

bool addToAllFrames(COrvoDoc& doc, OverlayRef ref)
{
    if (!canAddToAllFrames(doc))
        return false;
    return withRecord(doc, ref, [&doc](const auto& record) {
        const auto copy = record;
        return doc.editOverlays([&](std::span<viewmodel::FrameOverlays> frames) {
            viewmodel::addToOtherFrames(frames, currentIndex(doc), copy);
        }) > 0;
    });
}

bool remove(COrvoDoc& doc, OverlayRef ref)
{
    return withRecord(doc, ref, [&doc, ref](const auto& record) {
        using Record = std::decay_t<decltype(record)>;
        const Record copy = record;
        const bool everyFrame = doc.applyToAll();
        return doc.editOverlays([&](std::span<viewmodel::FrameOverlays> frames) {
            if (everyFrame)
                viewmodel::removeEqualFromEveryFrame(frames, copy);
            else
                frames[currentIndex(doc)].listOf<Record>().remove(ref.index);
        }) > 0;
    });
}

template <typename Record>
void add(COrvoDoc& doc, const Record& record, bool everyFrame)
{
    doc.editOverlays([&](std::span<viewmodel::FrameOverlays> frames) {
        if (everyFrame)
            viewmodel::addToEveryFrame(frames, record);
        else
            frames[currentIndex(doc)].listOf<Record>().add(record);
    });
}

template <typename Record>
bool replace(COrvoDoc& doc, std::size_t index, const Record& after, bool everyFrame)
{
    const Record* before = doc.overlays().listOf<Record>().at(index);
    if (before == nullptr)
        return false;
    const Record old = *before;
    return doc.editOverlays([&](std::span<viewmodel::FrameOverlays> frames) {
        if (everyFrame)
            viewmodel::replaceEqualInEveryFrame(frames, old, after);
        else
            frames[currentIndex(doc)].listOf<Record>().replace(index, after);
    }) > 0;
}

template void add(COrvoDoc&, const viewmodel::TextAnnotation&, bool);
template void add(COrvoDoc&, const viewmodel::LengthMeasurement&, bool);
template void add(COrvoDoc&, const viewmodel::AngleMeasurement&, bool);
template bool replace(COrvoDoc&, std::size_t, const viewmodel::TextAnnotation&, bool);
template bool replace(COrvoDoc&, std::size_t, const viewmodel::LengthMeasurement&, bool);
template bool replace(COrvoDoc&, std::size_t, const viewmodel::AngleMeasurement&, bool);

bool moveAnnotation(COrvoDoc& doc, std::size_t index, viewmodel::Point offset)
{
    const viewmodel::TextAnnotation* moved = doc.overlays().annotations.at(index);
    if (moved == nullptr || offset == viewmodel::Point {})
        return false;
    const viewmodel::TextAnnotation old = *moved;
    const bool everyFrame = doc.applyToAll();
    return doc.editOverlays([&](std::span<viewmodel::FrameOverlays> frames) {
        if (everyFrame)
            viewmodel::moveEqualAnnotations(frames, old, offset);
        else
            frames[currentIndex(doc)].moveAnnotation(index, offset);
    }) > 0;
}

viewmodel::TextAnnotation annotationOf(const AnnotationDraft& draft, viewmodel::Point position)
{
    viewmodel::TextAnnotation record;
    record.font = draft.font;
    record.colour = draft.colour;
    record.text = draft.text.toStdString();
    record.position = position;
    record.boxSize = overlaytext::nominalTextSize(overlaytext::toQString(record.text.str()), record.font);
    return record;
}

} // namespace overlayedits
