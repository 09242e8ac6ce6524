#pragma once

#include "document/COrvoDoc.h"
#include "imaging/FrameImage.h"

#include <functional>

using FrameChange = std::function<bool(imaging::FrameImage&)>;

// Tries a dialog's parameters on the document's current frame, each try in
// place of the last, and leaves the frame exactly as it found it (pixels,
// window, undo levels) when it goes, so that the chosen change can then be
// made once, as one step, by the frame job.
class FramePreview {
public:
    explicit FramePreview(COrvoDoc& doc)
        : m_doc(doc)
        , m_frame(*doc.frame())
        , m_active(m_frame.beginPreview())
    {
    }
    FramePreview(const FramePreview&) = delete;
    FramePreview& operator=(const FramePreview&) = delete;

    ~FramePreview()
    {
        if (!m_active)
            return;
        if (!m_shown) {
            m_frame.endPreview(imaging::PreviewEnd::Discard);
            return;
        }
        // FIXME: a restore that runs out of memory leaves the last try on the
        // frame; only its snapshot is dropped.
        if (!m_frame.endPreview(imaging::PreviewEnd::Restore))
            m_frame.endPreview(imaging::PreviewEnd::Discard);
        emit m_doc.changed();
    }

    void show(const FrameChange& change)
    {
        if (m_shown) {
            // Back to the snapshot, and a fresh one for the next try.
            if (!m_frame.endPreview(imaging::PreviewEnd::Restore))
                return;
            m_shown = false;
            m_active = m_frame.beginPreview();
        }
        if (!m_active)
            return;
        m_shown = change(m_frame);
        emit m_doc.changed();
    }

private:
    COrvoDoc& m_doc;
    imaging::FrameImage& m_frame;
    bool m_active = false;
    bool m_shown = false;
};
