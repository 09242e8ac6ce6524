#include "app/dialogs/HistogramDialog.h"

#include "imaging/FrameImage.h"
#include "imaging/Statistics.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QSlider>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int PlotWidth = 258;
constexpr int PlotHeight = viewmodel::HistogramPlotHeight + 1;

struct ChannelEntry {
    const char* name;
    imaging::Channel channel;
    QColor colour;
};

// Dark shades, so the bars stand out on the light plot.
const ChannelEntry ColourChannels[] = {
    { "Red Channel", imaging::Channel::Red, QColor(192, 0, 0) },
    { "Green Channel", imaging::Channel::Green, QColor(0, 128, 0) },
    { "Blue Channel", imaging::Channel::Blue, QColor(0, 0, 192) },
};

QString figureText(const char* format, double value) { return QString::asprintf(format, value); }

} // namespace

HistogramPlot::HistogramPlot(QWidget* parent)
    : QWidget(parent)
{
    setMinimumSize(PlotWidth, PlotHeight);
}

void HistogramPlot::setBars(const std::array<int, 256>& bars, QColor colour)
{
    m_bars = bars;
    m_colour = colour;
    update();
}

QImage HistogramPlot::picture() const
{
    QImage image(PlotWidth, PlotHeight, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setPen(QColor(224, 224, 224));
    for (int y = PlotHeight - 1 - 25; y > 0; y -= 25)
        painter.drawLine(0, y, PlotWidth - 1, y);
    painter.setPen(m_colour);
    for (int i = 0; i < 256; ++i) {
        const int bar = m_bars[static_cast<std::size_t>(i)];
        if (bar > 0)
            painter.drawLine(i + 2, viewmodel::HistogramPlotHeight, i + 2, viewmodel::HistogramPlotHeight - bar + 1);
    }
    return image;
}

void HistogramPlot::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawImage(rect(), picture());
}

HistogramDialog::HistogramDialog(const imaging::FrameImage& frame, QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(tr("Histogram"));
    m_channel = new QComboBox(this);
    m_plot = new HistogramPlot(this);
    m_scale = new QSlider(Qt::Vertical, this);
    m_scale->setRange(1, 99);
    m_mean = new QLabel(this);
    m_deviation = new QLabel(this);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);

    const auto luminance = imaging::histogram(frame);
    m_channels.push_back({ luminance.value_or(viewmodel::HistogramBins {}), imaging::mean(frame).value_or(0.0),
                           imaging::standardDeviation(frame).value_or(0.0), Qt::black });
    m_channel->addItem(tr("Luminance"));
    if (frame.kind() == imaging::SampleKind::Rgb && frame.sampleDepth() == 8) {
        for (const ChannelEntry& entry : ColourChannels) {
            m_channels.push_back({ imaging::channelHistogram(frame, entry.channel).value_or(viewmodel::HistogramBins {}),
                                   imaging::mean(frame, entry.channel).value_or(0.0),
                                   imaging::standardDeviation(frame, entry.channel).value_or(0.0), entry.colour });
            m_channel->addItem(tr(entry.name));
        }
    }
    const auto start = viewmodel::initialHistogramScale(m_channels.front().bins);
    m_scale->setValue(start.value_or(1));
    m_scale->setEnabled(start.has_value());

    auto* plotRow = new QHBoxLayout;
    plotRow->addWidget(m_plot, 1);
    plotRow->addWidget(m_scale);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_channel);
    layout->addLayout(plotRow, 1);
    layout->addWidget(m_mean);
    layout->addWidget(m_deviation);
    layout->addWidget(buttons);

    connect(m_channel, &QComboBox::currentIndexChanged, this, &HistogramDialog::chooseChannel);
    connect(m_scale, &QSlider::valueChanged, this, &HistogramDialog::redraw);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    chooseChannel(0);
}

void HistogramDialog::chooseChannel(int index)
{
    if (index < 0 || index >= static_cast<int>(m_channels.size()))
        return;
    const Channel& shown = m_channels[static_cast<std::size_t>(index)];
    m_mean->setText(figureText("Mean Value: %.2f", shown.mean));
    m_deviation->setText(figureText("Std. Deviation: %.2f", shown.deviation));
    redraw();
}

void HistogramDialog::redraw()
{
    const int index = std::max(0, m_channel->currentIndex());
    const Channel& shown = m_channels[static_cast<std::size_t>(index)];
    m_plot->setBars(viewmodel::histogramBars(shown.bins, m_scale->value()), shown.colour);
}
