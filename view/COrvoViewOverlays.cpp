// The image view's side of the annotations and measurements: their paint,
// the annotation dialog the text tool and "&Edit..." open, and the context
// menus of the overlay under the cursor.

#include "view/COrvoView.h"

#include "document/COrvoDoc.h"
#include "document/OverlayText.h"
#include "document/OverlayPainter.h"
#include "view/model/LabelPlacement.h"
#include "view/model/ToolContextMenu.h"
#include "view/tools/ViewTool.h"

#include <QColorDialog>
#include <QFontDialog>
#include <QMenu>
#include <QPainter>
#include <QPointer>

#include <algorithm>
#include <cmath>

using overlayedits::OverlayRef;
using viewmodel::MenuItem;
using viewmodel::OverlayHit;

void COrvoView::paintOverlays(QPainter& painter)
{
    OverlayScene scene;
    scene.overlays = &m_document.overlays();
    if (m_document.showRulers())
        scene.rulers = m_document.rulerSetting();
    scene.annotations = m_document.showAnnotations();
    scene.measurements = m_document.showMeasurements();
    scene.spacing = m_document.measuringSpacing();
    scene.zoom = m_document.zoom();
    scene.image = m_imageRect;
    if (m_toolHandler)
        scene.skipAnnotation = m_toolHandler->draggedAnnotation();
    ::paintOverlays(painter, scene);
}

std::optional<overlayedits::AnnotationAnswer> COrvoView::askAnnotation(const overlayedits::AnnotationRequest& request)
{
    if (!m_annotationPrompt)
        return std::nullopt;
    // The dialog runs its own loop, during which the view may close.
    const QPointer<COrvoView> alive(this);
    std::optional<overlayedits::AnnotationAnswer> answer = m_annotationPrompt(this, request);
    if (!alive || !answer)
        return std::nullopt;
    if (answer->chosenFont)
        m_lastAnnotationFont = answer->chosenFont;
    return answer;
}

void COrvoView::addAnnotationAt(viewmodel::Point at)
{
    if (!m_document.frame())
        return;
    overlayedits::AnnotationRequest request;
    request.start.font = m_document.annotationFont();
    request.start.colour = m_document.annotationColour();
    request.start.applyToAll = m_document.applyToAll();
    request.applyToAllAvailable = overlayedits::canAddToAllFrames(m_document);
    request.fontDialogStart = m_lastAnnotationFont.value_or(overlaytext::toDialogFont(request.start.font));
    request.dataset = m_document.dataset();
    const std::optional<overlayedits::AnnotationAnswer> answer = askAnnotation(request);
    if (!answer || answer->draft.text.isEmpty())
        return;
    // The press marks the text's bottom-left corner; the text's height is
    // taken off in image pixels, so the corner stays at the press whatever
    // the zoom.
    const QRect image = displayedImageRect();
    const double zoom = m_document.zoom();
    viewmodel::TextAnnotation record = overlayedits::annotationOf(answer->draft, {});
    const double x = std::trunc((at.x - image.left()) / zoom);
    const double y = std::trunc((at.y - image.top()) / zoom) - record.boxSize.height;
    record.position = { static_cast<std::int32_t>(std::max(x, 0.0)), static_cast<std::int32_t>(std::max(y, 0.0)) };
    overlayedits::add(m_document, record, answer->draft.applyToAll);
}

void COrvoView::editAnnotation(std::size_t index)
{
    const viewmodel::TextAnnotation* found = m_document.overlays().annotations.at(index);
    if (found == nullptr)
        return;
    const viewmodel::TextAnnotation before = *found;
    overlayedits::AnnotationRequest request;
    request.start = { before.font, before.colour, overlaytext::toQString(before.text.str()), m_document.applyToAll() };
    request.editing = true;
    request.applyToAllAvailable = overlayedits::canAddToAllFrames(m_document);
    request.fontDialogStart = m_lastAnnotationFont.value_or(overlaytext::toDialogFont(before.font));
    request.dataset = m_document.dataset();
    const std::optional<overlayedits::AnnotationAnswer> answer = askAnnotation(request);
    if (!answer || answer->draft.text.isEmpty())
        return;
    overlayedits::replace(m_document, index, overlayedits::annotationOf(answer->draft, before.position),
                          answer->draft.applyToAll);
}

namespace {

// A measurement with a new font keeps its place: the label box is laid out
// again for the new text size, as when the measurement was made.
template <typename Record>
void relabel(Record& record, viewmodel::Size image)
{
    const viewmodel::Size text = overlaytext::nominalTextSize(overlaytext::toQString(record.label.str()), record.font);
    if constexpr (std::is_same_v<Record, viewmodel::LengthMeasurement>)
        record.labelBox = viewmodel::lengthLabelBox(record.first, record.second, text, image);
    else
        record.labelBox = viewmodel::angleLabelBox(record.vertex, record.first, record.second, text, image);
}

template <typename Record>
void restyleMeasurement(COrvoView& view, std::size_t index, MenuItem item)
{
    COrvoDoc& doc = view.document();
    const Record* found = doc.overlays().listOf<Record>().at(index);
    if (found == nullptr)
        return;
    Record after = *found;
    const QPointer<COrvoView> alive(&view);
    if (item == MenuItem::MeasurementColor) {
        const QColor chosen = QColorDialog::getColor(overlaytext::toQColor(after.colour), &view);
        if (!alive || !chosen.isValid())
            return;
        after.colour = overlaytext::fromQColor(chosen);
    } else {
        bool ok = false;
        const QFont chosen = QFontDialog::getFont(&ok, overlaytext::toDialogFont(after.font), &view);
        if (!alive || !ok)
            return;
        after.font = overlaytext::fromQFont(chosen);
        relabel(after, view.transform().imageSize());
    }
    overlayedits::replace(doc, index, after, doc.applyToAll());
}

} // namespace

bool COrvoView::overlayContextMenu(QPoint local, QPoint global)
{
    const std::optional<viewmodel::Point> pixel = transform().toImage({ local.x(), local.y() });
    const std::optional<OverlayRef> ref = pixel ? overlayedits::overlayAt(m_document, *pixel) : std::nullopt;
    if (!ref)
        return false;
    const viewmodel::ContextMenu kind = viewmodel::contextMenuFor(m_tool, ref->kind);
    if (kind == viewmodel::ContextMenu::None)
        return false;
    endDrag();
    // No parent: the menu runs its own loop, during which the view may close.
    QMenu menu;
    for (const MenuItem item : viewmodel::menuItems(kind)) {
        if (item == MenuItem::Separator) {
            menu.addSeparator();
            continue;
        }
        const std::string_view text = viewmodel::menuItemText(item);
        QAction* action = menu.addAction(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
        action->setData(static_cast<int>(item));
        if (item == MenuItem::AddAnnotationToAllFrames || item == MenuItem::AddMeasurementToAllFrames)
            action->setEnabled(overlayedits::canAddToAllFrames(m_document));
    }
    const QPointer<COrvoView> alive(this);
    const QAction* chosen = menu.exec(global);
    if (alive && chosen)
        applyOverlayMenuItem(static_cast<MenuItem>(chosen->data().toInt()), *ref);
    return true;
}

void COrvoView::applyOverlayMenuItem(MenuItem item, OverlayRef ref)
{
    switch (item) {
    case MenuItem::EditAnnotation: editAnnotation(ref.index); break;
    case MenuItem::DeleteAnnotation:
    case MenuItem::DeleteMeasurement: overlayedits::remove(m_document, ref); break;
    case MenuItem::AddAnnotationToAllFrames:
    case MenuItem::AddMeasurementToAllFrames: overlayedits::addToAllFrames(m_document, ref); break;
    case MenuItem::MeasurementFont:
    case MenuItem::MeasurementColor:
        if (ref.kind == OverlayHit::Length)
            restyleMeasurement<viewmodel::LengthMeasurement>(*this, ref.index, item);
        else if (ref.kind == OverlayHit::Angle)
            restyleMeasurement<viewmodel::AngleMeasurement>(*this, ref.index, item);
        break;
    default: break;
    }
}
