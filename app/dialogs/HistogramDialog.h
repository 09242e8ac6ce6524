#pragma once

#include "view/model/RoiStatistics.h"

#include <QColor>
#include <QDialog>
#include <QImage>
#include <QWidget>

#include <array>
#include <vector>

class QComboBox;
class QLabel;
class QSlider;

namespace imaging {
class FrameImage;
}

// The bars of a 256-bin histogram, drawn on a plot of 258 x 116 pixels that
// is stretched to the widget.
class HistogramPlot : public QWidget {
    Q_OBJECT
public:
    explicit HistogramPlot(QWidget* parent = nullptr);

    void setBars(const std::array<int, 256>& bars, QColor colour);
    QSize sizeHint() const override { return { 516, 232 }; }
    // The plot at its own size, before stretching.
    QImage picture() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::array<int, 256> m_bars {};
    QColor m_colour;
};

// The histogram of the current frame's selection (all of it without one):
// luminance, or one colour channel, scaled by a slider, with its mean and
// standard deviation.
class HistogramDialog : public QDialog {
    Q_OBJECT
public:
    explicit HistogramDialog(const imaging::FrameImage& frame, QWidget* parent = nullptr);

    QComboBox* channelChoice() const { return m_channel; }
    QSlider* scaleSlider() const { return m_scale; }
    QLabel* meanText() const { return m_mean; }
    QLabel* deviationText() const { return m_deviation; }
    HistogramPlot* plot() const { return m_plot; }

private:
    struct Channel {
        viewmodel::HistogramBins bins {};
        double mean = 0.0;
        double deviation = 0.0;
        QColor colour;
    };

    void chooseChannel(int index);
    void redraw();

    std::vector<Channel> m_channels;
    QComboBox* m_channel = nullptr;
    QSlider* m_scale = nullptr;
    QLabel* m_mean = nullptr;
    QLabel* m_deviation = nullptr;
    HistogramPlot* m_plot = nullptr;
};
