#pragma once

#include <QDialog>
#include <QRect>

#include <cstdint>
#include <functional>
#include <optional>

class QPushButton;
class SliderField;
class ZoomedHistogram;

namespace imaging {
class FrameImage;
}

// "Brightness - Contrast": two percentages of the frame's range, a preview
// on the frame and the histogram of the frame as it is shown.
class BrightnessContrastDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int MinPercent = -100;
    static constexpr int MaxPercent = 100;

    struct Parameters {
        std::int16_t brightness = 0;
        std::int16_t contrast = 0;
        friend bool operator==(const Parameters&, const Parameters&) = default;
    };
    // Tries the parameters on the frame, in place of an earlier try.
    using Preview = std::function<void(const Parameters&)>;

    BrightnessContrastDialog(const imaging::FrameImage& frame, Preview preview, QWidget* parent = nullptr);

    // The parameters chosen, or none when the dialog was cancelled. The
    // dialog opens beside `picture` (the frame as shown, on the screen) when
    // there is room, so that the preview stays in sight.
    static std::optional<Parameters> ask(const imaging::FrameImage& frame, Preview preview, QWidget* parent,
                                         const QRect& picture = {});
    Parameters parameters() const;

    SliderField* brightnessField() const { return m_brightness; }
    SliderField* contrastField() const { return m_contrast; }
    QPushButton* previewButton() const { return m_preview; }
    QPushButton* okButton() const { return m_ok; }
    ZoomedHistogram* histogram() const { return m_histogram; }

private:
    void checkInput();

    SliderField* m_brightness = nullptr;
    SliderField* m_contrast = nullptr;
    QPushButton* m_preview = nullptr;
    QPushButton* m_ok = nullptr;
    ZoomedHistogram* m_histogram = nullptr;
};
