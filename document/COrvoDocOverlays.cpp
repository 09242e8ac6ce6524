#include "document/COrvoDoc.h"

#include "document/OverlayText.h"

#include "dicom/DicomDataset.h"
#include "dicom/PixelModule.h"
#include "imaging/FrameImage.h"
#include "view/model/DefaultAnnotations.h"

#include <QString>

// The document's overlays: per frame the annotations and measurements with
// their own undo, the rulers, and the switches the views draw them by.

const viewmodel::FrameOverlays& COrvoDoc::overlays(int frame) const
{
    static const viewmodel::FrameOverlays none;
    if (m_overlays.empty())
        return none;
    if (frame < 0 || frame >= static_cast<int>(m_overlays.size()))
        frame = m_currentFrame;
    return m_overlays[static_cast<std::size_t>(frame)];
}

int COrvoDoc::editOverlays(const std::function<void(std::span<viewmodel::FrameOverlays>)>& edit)
{
    if (m_overlays.empty())
        return 0;
    std::vector<viewmodel::FrameOverlays> before = m_overlays;
    edit(m_overlays);
    int count = 0;
    for (std::size_t f = 0; f < m_overlays.size(); ++f) {
        if (m_overlays[f] == before[f])
            continue;
        m_history[f].record(document::StepKind::Overlay);
        m_overlayUndo[f].undo.push_back(std::move(before[f]));
        m_overlayUndo[f].redo.clear();
        ++count;
    }
    if (count > 0)
        emit overlaysChanged();
    return count;
}

bool COrvoDoc::canUndoOverlay(std::size_t frame) const { return !m_overlayUndo[frame].undo.empty(); }

bool COrvoDoc::canRedoOverlay(std::size_t frame) const { return !m_overlayUndo[frame].redo.empty(); }

void COrvoDoc::setShowRulers(bool on)
{
    m_showRulers = on;
    emit overlaysChanged();
}

void COrvoDoc::setShowAnnotations(bool on)
{
    m_showAnnotations = on;
    emit overlaysChanged();
}

void COrvoDoc::setShowMeasurements(bool on)
{
    m_showMeasurements = on;
    emit overlaysChanged();
}

viewmodel::RulerSetting COrvoDoc::rulerSetting(int frame) const
{
    if (m_rulers.empty())
        return {};
    if (frame < 0 || frame >= static_cast<int>(m_rulers.size()))
        frame = m_currentFrame;
    return m_rulers[static_cast<std::size_t>(frame)];
}

void COrvoDoc::setRulerSetting(int frame, viewmodel::RulerSetting setting)
{
    if (frame < 0 || frame >= static_cast<int>(m_rulers.size()))
        return;
    m_rulers[static_cast<std::size_t>(frame)] = setting;
    emit overlaysChanged();
}

viewmodel::PixelSpacing COrvoDoc::measuringSpacing() const
{
    // Without a spacing of its own a frame is measured in pixels, as pixelSpacing() says.
    const bool missing = m_pixelSpacing.first == 0.0 || m_pixelSpacing.second == 0.0;
    return missing ? viewmodel::pixelSpacing(1.0, 1.0)
                   : viewmodel::pixelSpacing(m_pixelSpacing.first, m_pixelSpacing.second);
}

namespace {

// Header texts are single-byte; shown as they read in Latin-1.
std::optional<std::string> caption(const dicom::DicomDataset& dataset, dicom::CaptionField field)
{
    std::optional<std::string> text = dicom::captionText(dataset, field);
    if (text)
        text = QString::fromLatin1(text->data(), static_cast<qsizetype>(text->size())).trimmed().toStdString();
    return text;
}

} // namespace

void COrvoDoc::addDefaultAnnotations()
{
    const viewmodel::OverlayFont font = m_annotationFont;
    const auto measure = [&font](std::string_view text) {
        return overlaytext::nominalTextSize(overlaytext::toQString(std::string(text)), font);
    };
    for (std::size_t f = 0; f < m_frames.size(); ++f) {
        const int source = m_frames[f].sourceIndex();
        const dicom::DicomDataset* data = dataset(source >= 0 ? source : 0);
        if (data == nullptr)
            continue;
        using dicom::CaptionField;
        const viewmodel::CaptionValues values { caption(*data, CaptionField::PatientName),
            caption(*data, CaptionField::PatientSex), caption(*data, CaptionField::BirthDate),
            caption(*data, CaptionField::PatientId), caption(*data, CaptionField::StudyId),
            caption(*data, CaptionField::StudyDate) };
        for (const viewmodel::PlacedText& placed : viewmodel::defaultAnnotationLayout(values, measure)) {
            viewmodel::TextAnnotation annotation;
            annotation.font = font;
            annotation.colour = m_annotationColour;
            annotation.text = placed.text;
            annotation.position = placed.position;
            annotation.boxSize = measure(annotation.text.str());
            m_overlays[f].annotations.add(std::move(annotation));
        }
    }
}
