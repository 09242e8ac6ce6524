#pragma once

// The edits of a frame's annotations and measurements that the overlay
// tools and the view's context menus share. Each is one overlay step per
// frame it changes, so Undo takes it back frame by frame.

#include "view/model/FrameOverlays.h"
#include "view/model/ToolContextMenu.h"

#include <QFont>
#include <QString>

#include <cstddef>
#include <functional>
#include <optional>

class COrvoDoc;
class QWidget;
namespace dicom {
struct DicomDataset;
}

namespace overlayedits {

// One overlay of the current frame.
struct OverlayRef {
    viewmodel::OverlayHit kind = viewmodel::OverlayHit::Nothing;
    std::size_t index = 0;
    friend bool operator==(const OverlayRef&, const OverlayRef&) = default;
};

// The first shown overlay of the current frame under an image point: text
// annotations before lengths, lengths before angles.
std::optional<OverlayRef> overlayAt(const COrvoDoc& doc, viewmodel::Point image);

// "Add to all frames" needs frames that agree in size and kind.
bool canAddToAllFrames(const COrvoDoc& doc);
// A copy goes to every other frame, even one that already has an equal record.
bool addToAllFrames(COrvoDoc& doc, OverlayRef ref);
// With "Apply to all frames" on, the equal record goes from every frame
// that has one; otherwise only from the current frame.
bool remove(COrvoDoc& doc, OverlayRef ref);
// A new record: every frame with `everyFrame`, else the current one.
template <typename Record>
void add(COrvoDoc& doc, const Record& record, bool everyFrame);
// A changed record (text, font, colour): with `everyFrame`, every frame's
// record equal to the old one becomes the new one, and a frame without one
// gets it; otherwise only the current frame's.
template <typename Record>
bool replace(COrvoDoc& doc, std::size_t index, const Record& after, bool everyFrame);
// Moves an annotation of the current frame by an offset in image pixels;
// with "Apply to all frames" on, every frame's equal annotation moves too.
bool moveAnnotation(COrvoDoc& doc, std::size_t index, viewmodel::Point offset);

// What the annotation dialog edits.
struct AnnotationDraft {
    viewmodel::OverlayFont font;
    viewmodel::Colour colour = 0x00FF00;
    QString text;
    bool applyToAll = false;
};

struct AnnotationRequest {
    AnnotationDraft start;
    bool editing = false;
    // "Apply to all frames" can be chosen: the frames agree.
    bool applyToAllAvailable = false;
    // The font "Font..." opens on: the one last chosen in this view.
    QFont fontDialogStart;
    const dicom::DicomDataset* dataset = nullptr;
};

struct AnnotationAnswer {
    AnnotationDraft draft;
    // The font picked with "Font...", remembered by the view for next time.
    std::optional<QFont> chosenFont;
};

// The annotation dialog, which the shell provides; none when cancelled.
using AnnotationPrompt = std::function<std::optional<AnnotationAnswer>(QWidget* parent, const AnnotationRequest&)>;

// The record an answer makes, its box measured at zoom 1.
viewmodel::TextAnnotation annotationOf(const AnnotationDraft& draft, viewmodel::Point position);

} // namespace overlayedits
