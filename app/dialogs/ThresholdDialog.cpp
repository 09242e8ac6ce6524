#include "app/dialogs/ThresholdDialog.h"

#include "app/dialogs/DialogSize.h"

#include "app/dialogs/IntensityDialogParts.h"
#include "imaging/FrameImage.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

namespace {

struct ModeEntry {
    const char* text;
    imaging::ThresholdMode mode;
};

// In the order of their numbers.
constexpr ModeEntry Modes[] = {
    { "Keep Values", imaging::ThresholdMode::KeepValues },
    { "Apply Window", imaging::ThresholdMode::ApplyWindow },
    { "Black and White", imaging::ThresholdMode::BlackAndWhite },
    { "Stretch", imaging::ThresholdMode::Stretch },
};

} // namespace

ThresholdDialog::ThresholdDialog(const imaging::FrameImage& frame, Preview preview, QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(tr("Thresholding"));
    // The limits start a third and two thirds of the way up the range.
    const std::int32_t low = std::min(frame.min(), frame.max());
    const std::int32_t high = std::max(frame.min(), frame.max());
    const std::int32_t span = high - low;
    m_lower = new SliderField(low, high, low + span / 3, this);
    m_upper = new SliderField(low, high, low + 2 * span / 3, this);

    auto* modeBox = new QGroupBox(tr("Between Limits"), this);
    auto* modeGroup = new QButtonGroup(modeBox);
    auto* modeLayout = new QVBoxLayout(modeBox);
    for (std::size_t i = 0; i < m_modes.size(); ++i) {
        m_modes[i] = new QRadioButton(tr(Modes[i].text), modeBox);
        modeGroup->addButton(m_modes[i]);
        modeLayout->addWidget(m_modes[i]);
    }
    m_modes[0]->setChecked(true);

    m_preview = new QPushButton(tr("Preview"), this);
    m_histogram = new ZoomedHistogram(this);
    m_histogram->showFrame(frame);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_ok = buttons->button(QDialogButtonBox::Ok);

    auto* limits = new QFormLayout;
    limits->addRow(tr("Lower Limit"), m_lower);
    limits->addRow(tr("Upper Limit"), m_upper);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(limits);
    layout->addWidget(modeBox);
    layout->addWidget(m_preview, 0, Qt::AlignLeft);
    layout->addWidget(m_histogram, 1);
    layout->addWidget(buttons);

    connect(m_lower, &SliderField::edited, this, &ThresholdDialog::checkInput);
    connect(m_upper, &SliderField::edited, this, &ThresholdDialog::checkInput);
    connect(m_preview, &QPushButton::clicked, this, [this, preview = std::move(preview)] {
        if (preview)
            preview(parameters());
    });
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

QRadioButton* ThresholdDialog::modeButton(imaging::ThresholdMode mode) const
{
    return m_modes.at(static_cast<std::size_t>(mode));
}

void ThresholdDialog::checkInput()
{
    const bool acceptable = m_lower->hasAcceptableInput() && m_upper->hasAcceptableInput();
    m_ok->setEnabled(acceptable);
    m_preview->setEnabled(acceptable);
}

ThresholdDialog::Parameters ThresholdDialog::parameters() const
{
    Parameters chosen;
    chosen.lower = std::min(m_lower->value(), m_upper->value());
    chosen.upper = std::max(m_lower->value(), m_upper->value());
    for (std::size_t i = 0; i < m_modes.size(); ++i) {
        if (m_modes[i]->isChecked())
            chosen.mode = Modes[i].mode;
    }
    return chosen;
}

std::optional<ThresholdDialog::Parameters> ThresholdDialog::ask(const imaging::FrameImage& frame, Preview preview,
                                                                QWidget* parent, const QRect& picture)
{
    ThresholdDialog dialog(frame, std::move(preview), parent);
    dialogsize::placeBeside(dialog, picture);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.parameters();
}
