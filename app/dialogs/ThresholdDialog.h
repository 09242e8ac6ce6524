#pragma once

#include "imaging/Intensity.h"

#include <QDialog>
#include <QRect>

#include <array>
#include <functional>
#include <optional>

class QPushButton;
class QRadioButton;
class SliderField;
class ZoomedHistogram;

namespace imaging {
class FrameImage;
}

// "Thresholding": the lower and upper limits over the frame's sample range,
// what becomes of the samples between them, a preview on the frame and the
// frame's histogram.
class ThresholdDialog : public QDialog {
    Q_OBJECT
public:
    struct Parameters {
        std::int32_t lower = 0;
        std::int32_t upper = 0;
        imaging::ThresholdMode mode = imaging::ThresholdMode::KeepValues;
        friend bool operator==(const Parameters&, const Parameters&) = default;
    };
    // Tries the parameters on the frame, in place of an earlier try.
    using Preview = std::function<void(const Parameters&)>;

    ThresholdDialog(const imaging::FrameImage& frame, Preview preview, QWidget* parent = nullptr);

    // The parameters chosen, or none when the dialog was cancelled. The
    // dialog opens beside `picture` (the frame as shown, on the screen) when
    // there is room, so that the preview stays in sight.
    static std::optional<Parameters> ask(const imaging::FrameImage& frame, Preview preview, QWidget* parent,
                                         const QRect& picture = {});
    // The limits in order, whichever way round they were entered.
    Parameters parameters() const;

    SliderField* lowerField() const { return m_lower; }
    SliderField* upperField() const { return m_upper; }
    QRadioButton* modeButton(imaging::ThresholdMode mode) const;
    QPushButton* previewButton() const { return m_preview; }
    QPushButton* okButton() const { return m_ok; }
    ZoomedHistogram* histogram() const { return m_histogram; }

private:
    void checkInput();

    SliderField* m_lower = nullptr;
    SliderField* m_upper = nullptr;
    std::array<QRadioButton*, 4> m_modes {};
    QPushButton* m_preview = nullptr;
    QPushButton* m_ok = nullptr;
    ZoomedHistogram* m_histogram = nullptr;
};
