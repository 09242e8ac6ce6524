#include "app/dialogs/CustomRotateDialog.h"

#include "app/Settings.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

// A turn of 0 changes nothing; from 90 on the core gives the quarter turn.
constexpr int MinAngle = 1;
constexpr int MaxAngle = 90;
constexpr int DefaultMethod = static_cast<int>(imaging::Interpolation::Bilinear);

} // namespace

CustomRotateDialog::CustomRotateDialog(Preview preview, QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(tr("Custom Rotate"));
    m_angle = new QSpinBox(this);
    // Typed values beyond the range are clamped when the edit is left.
    m_angle->setRange(0, MaxAngle);
    m_angle->setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
    m_clockwise = new QRadioButton(tr("Clockwise"), this);
    m_counterClockwise = new QRadioButton(tr("Counter-Clockwise"), this);
    m_clockwise->setChecked(true);
    m_method = new QComboBox(this);
    m_method->addItems({ QStringLiteral("Nearest Neighbour "), QStringLiteral("Bilinear"), QStringLiteral("Bicubic") });
    const auto store = settings::open();
    m_method->setCurrentIndex(settings::readNumber(*store, settings::SettingsGroup, settings::RotateScalingMethod,
                                                   DefaultMethod, 0, m_method->count() - 1));
    m_preview = new QPushButton(tr("Preview"), this);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_ok = buttons->button(QDialogButtonBox::Ok);

    auto* turn = new QHBoxLayout;
    turn->addWidget(m_clockwise);
    turn->addWidget(m_counterClockwise);
    auto* form = new QFormLayout;
    form->addRow(tr("Angle"), m_angle);
    form->addRow(turn);
    form->addRow(tr("Method :"), m_method);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_preview, 0, Qt::AlignLeft);
    layout->addWidget(buttons);

    connect(m_angle, &QSpinBox::valueChanged, this, &CustomRotateDialog::updateButtons);
    connect(m_preview, &QPushButton::clicked, this, [this, preview = std::move(preview)] {
        if (preview && m_preview->isEnabled())
            preview(parameters());
    });
    connect(buttons, &QDialogButtonBox::accepted, this, &CustomRotateDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    updateButtons();
}

void CustomRotateDialog::updateButtons()
{
    const bool turns = m_angle->value() >= MinAngle && m_angle->value() <= MaxAngle;
    m_ok->setEnabled(turns);
    m_preview->setEnabled(turns);
}

CustomRotateDialog::Parameters CustomRotateDialog::parameters() const
{
    return { static_cast<float>(m_angle->value()),
             m_clockwise->isChecked() ? imaging::Turn::Clockwise : imaging::Turn::CounterClockwise,
             static_cast<imaging::Interpolation>(m_method->currentIndex()) };
}

void CustomRotateDialog::accept()
{
    if (!m_ok->isEnabled())
        return;
    const auto store = settings::open();
    settings::writeNumber(*store, settings::SettingsGroup, settings::RotateScalingMethod, m_method->currentIndex());
    QDialog::accept();
}

std::optional<CustomRotateDialog::Parameters> CustomRotateDialog::ask(const Preview& preview, QWidget* parent)
{
    CustomRotateDialog dialog(preview, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.parameters();
}
