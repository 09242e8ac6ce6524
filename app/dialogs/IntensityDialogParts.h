#pragma once

#include "view/model/RoiStatistics.h"

#include <QWidget>

class HistogramPlot;
class QSlider;
class QSpinBox;

namespace imaging {
class FrameImage;
}

// The histogram picture of the intensity dialogs: the current frame's
// 256 bins with a "Zoom" slider that scales the bars, so that a tall
// background bin does not flatten the rest.
class ZoomedHistogram : public QWidget {
    Q_OBJECT
public:
    explicit ZoomedHistogram(QWidget* parent = nullptr);

    // Counts the frame's selection (all of it without one) again.
    void showFrame(const imaging::FrameImage& frame);

    HistogramPlot* plot() const { return m_plot; }
    QSlider* zoomSlider() const { return m_zoom; }

private:
    void redraw();

    viewmodel::HistogramBins m_bins {};
    HistogramPlot* m_plot = nullptr;
    QSlider* m_zoom = nullptr;
    bool m_scaled = false;
};

// A value on a slider with an edit box and spin button beside it, the two
// following each other. A typed value outside the range is not taken: the
// edit box then holds no acceptable input until it is corrected.
class SliderField : public QWidget {
    Q_OBJECT
public:
    SliderField(int minimum, int maximum, int value, QWidget* parent = nullptr);

    int value() const;
    void setValue(int value);
    bool hasAcceptableInput() const;

    QSlider* slider() const { return m_slider; }
    QSpinBox* spinBox() const { return m_spin; }

signals:
    // The text of the edit box changed, acceptable or not.
    void edited();

private:
    QSlider* m_slider = nullptr;
    QSpinBox* m_spin = nullptr;
};
