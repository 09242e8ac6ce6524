#include "app/dialogs/IntensityDialogParts.h"

#include "app/dialogs/HistogramDialog.h"
#include "imaging/FrameImage.h"
#include "imaging/Statistics.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>

ZoomedHistogram::ZoomedHistogram(QWidget* parent)
    : QWidget(parent)
{
    m_plot = new HistogramPlot(this);
    m_zoom = new QSlider(Qt::Vertical, this);
    m_zoom->setRange(1, 99);
    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_plot, 0, 0, 2, 1);
    layout->addWidget(new QLabel(tr("Zoom"), this), 0, 1, Qt::AlignHCenter);
    layout->addWidget(m_zoom, 1, 1, Qt::AlignHCenter);
    layout->setColumnStretch(0, 1);
    layout->setRowStretch(1, 1);
    connect(m_zoom, &QSlider::valueChanged, this, &ZoomedHistogram::redraw);
}

void ZoomedHistogram::showFrame(const imaging::FrameImage& frame)
{
    m_bins = imaging::histogram(frame).value_or(viewmodel::HistogramBins {});
    // The zoom the user chose stays when the picture is counted again.
    if (!m_scaled) {
        const auto start = viewmodel::initialHistogramScale(m_bins);
        m_scaled = start.has_value();
        const QSignalBlocker quiet(m_zoom);
        m_zoom->setValue(start.value_or(1));
    }
    m_zoom->setEnabled(m_scaled);
    redraw();
}

void ZoomedHistogram::redraw() { m_plot->setBars(viewmodel::histogramBars(m_bins, m_zoom->value()), Qt::black); }

SliderField::SliderField(int minimum, int maximum, int value, QWidget* parent)
    : QWidget(parent)
{
    m_slider = new QSlider(Qt::Horizontal, this);
    m_slider->setRange(minimum, maximum);
    m_slider->setValue(value);
    m_spin = new QSpinBox(this);
    m_spin->setRange(minimum, maximum);
    m_spin->setValue(value);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_slider, 1);
    layout->addWidget(m_spin);
    connect(m_slider, &QSlider::valueChanged, m_spin, &QSpinBox::setValue);
    connect(m_spin, &QSpinBox::valueChanged, m_slider, &QSlider::setValue);
    // The box's own editor, since the spin box says nothing of text it refuses.
    if (const auto* editor = m_spin->findChild<QLineEdit*>())
        connect(editor, &QLineEdit::textChanged, this, &SliderField::edited);
}

int SliderField::value() const { return m_spin->value(); }

void SliderField::setValue(int value) { m_spin->setValue(value); }

bool SliderField::hasAcceptableInput() const { return m_spin->hasAcceptableInput(); }
