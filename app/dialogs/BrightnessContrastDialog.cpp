#include "app/dialogs/BrightnessContrastDialog.h"

#include "app/dialogs/DialogSize.h"

#include "app/dialogs/IntensityDialogParts.h"
#include "imaging/FrameImage.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include <utility>

BrightnessContrastDialog::BrightnessContrastDialog(const imaging::FrameImage& frame, Preview preview,
                                                   QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(tr("Brightness - Contrast"));
    m_brightness = new SliderField(MinPercent, MaxPercent, 0, this);
    m_contrast = new SliderField(MinPercent, MaxPercent, 0, this);
    m_preview = new QPushButton(tr("Preview"), this);
    m_histogram = new ZoomedHistogram(this);
    m_histogram->showFrame(frame);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_ok = buttons->button(QDialogButtonBox::Ok);

    auto* fields = new QFormLayout;
    fields->addRow(tr("Brightness"), m_brightness);
    fields->addRow(tr("Contrast"), m_contrast);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(m_preview, 0, Qt::AlignLeft);
    layout->addWidget(m_histogram, 1);
    layout->addWidget(buttons);

    connect(m_brightness, &SliderField::edited, this, &BrightnessContrastDialog::checkInput);
    connect(m_contrast, &SliderField::edited, this, &BrightnessContrastDialog::checkInput);
    // The picture follows the frame as the preview left it.
    connect(m_preview, &QPushButton::clicked, this, [this, &frame, preview = std::move(preview)] {
        if (preview)
            preview(parameters());
        m_histogram->showFrame(frame);
    });
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void BrightnessContrastDialog::checkInput()
{
    const bool acceptable = m_brightness->hasAcceptableInput() && m_contrast->hasAcceptableInput();
    m_ok->setEnabled(acceptable);
    m_preview->setEnabled(acceptable);
}

BrightnessContrastDialog::Parameters BrightnessContrastDialog::parameters() const
{
    // The fields hold -100..100, so every value fits the operation's 16 bits.
    const auto percent = [](const SliderField* field) { return static_cast<std::int16_t>(field->value()); };
    return { percent(m_brightness), percent(m_contrast) };
}

std::optional<BrightnessContrastDialog::Parameters>
BrightnessContrastDialog::ask(const imaging::FrameImage& frame, Preview preview, QWidget* parent, const QRect& picture)
{
    BrightnessContrastDialog dialog(frame, std::move(preview), parent);
    dialogsize::placeBeside(dialog, picture);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.parameters();
}
