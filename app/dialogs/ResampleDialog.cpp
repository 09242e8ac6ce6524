#include "app/dialogs/ResampleDialog.h"

#include "app/Settings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

enum SizeItem { ScaledSize = 0, UserDefinedSize = 1 };

// The edits take more than the dialog accepts, so that a size out of range
// stays visible (with OK disabled) instead of being silently clamped.
constexpr int MaxPixelsShown = 999999;
constexpr int MaxPercentShown = 99999999;

int shownPixels(double pixels)
{
    return static_cast<int>(std::clamp(std::trunc(pixels), 0.0, static_cast<double>(MaxPixelsShown)));
}

// Percent of the frame's side, truncated, in single precision as the size
// fields have always shown it.
int percentOf(int pixels, int side)
{
    if (side <= 0)
        return 0;
    const float percent = static_cast<float>(pixels) / static_cast<float>(side) * 100.0F;
    return static_cast<int>(std::min(std::trunc(percent), static_cast<float>(MaxPercentShown)));
}

int pixelsOf(int percent, int side) { return shownPixels(static_cast<double>(side) * percent * 0.01 + 0.5); }

QSpinBox* sizeEdit(int maximum, const QString& suffix, QWidget* parent)
{
    auto* edit = new QSpinBox(parent);
    edit->setRange(0, maximum);
    edit->setSuffix(suffix);
    return edit;
}

} // namespace

ResampleDialog::ResampleDialog(const Setup& setup, QWidget* parent)
    : QDialog(parent)
    , m_frameSize(setup.frameSize)
    , m_zoom(setup.zoom)
{
    setWindowTitle(tr("Resample"));
    const QSize start = setup.size.isValid() && !setup.size.isEmpty() ? setup.size : setup.frameSize;
    m_aspect = start.height() > 0 ? static_cast<double>(start.width()) / start.height() : 1.0;

    m_sizeChoice = new QComboBox(this);
    m_sizeChoice->addItems({ tr("Scaled size"), tr("User defined size") });
    m_widthPixels = sizeEdit(MaxPixelsShown, tr(" pixels"), this);
    m_widthPercent = sizeEdit(MaxPercentShown, tr(" %"), this);
    m_heightPixels = sizeEdit(MaxPixelsShown, tr(" pixels"), this);
    m_heightPercent = sizeEdit(MaxPercentShown, tr(" %"), this);
    m_constrain = new QCheckBox(tr("Constrain Proportions"), this);
    m_constrain->setChecked(setup.constrain);
    m_method = new QComboBox(this);
    m_method->addItems({ QStringLiteral("Nearest Neighbour "), QStringLiteral("Bilinear") });
    const auto store = settings::open();
    m_method->setCurrentIndex(
        settings::readNumber(*store, settings::SettingsGroup, settings::ExportScalingMethod, 0, 0, m_method->count() - 1));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_ok = buttons->button(QDialogButtonBox::Ok);

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(tr("Resample :"), this), 0, 0);
    grid->addWidget(m_sizeChoice, 0, 1, 1, 2);
    grid->addWidget(new QLabel(tr("Width :"), this), 1, 0);
    grid->addWidget(m_widthPixels, 1, 1);
    grid->addWidget(m_widthPercent, 1, 2);
    grid->addWidget(new QLabel(tr("Height :"), this), 2, 0);
    grid->addWidget(m_heightPixels, 2, 1);
    grid->addWidget(m_heightPercent, 2, 2);
    grid->addWidget(m_constrain, 3, 1, 1, 2);
    grid->addWidget(new QLabel(tr("Method :"), this), 4, 0);
    grid->addWidget(m_method, 4, 1, 1, 2);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(buttons);

    const auto follow = [this](QSpinBox* edit, Side side, bool percent) {
        connect(edit, &QSpinBox::valueChanged, this, [this, edit, side, percent](int value) {
            if (m_following)
                return;
            const int sideLength = side == Side::Width ? m_frameSize.width() : m_frameSize.height();
            m_following = true;
            setSide(side, percent ? pixelsOf(value, sideLength) : value, edit);
            m_following = false;
            updateOk();
        });
    };
    follow(m_widthPixels, Side::Width, false);
    follow(m_widthPercent, Side::Width, true);
    follow(m_heightPixels, Side::Height, false);
    follow(m_heightPercent, Side::Height, true);
    connect(m_sizeChoice, &QComboBox::currentIndexChanged, this, &ResampleDialog::chooseSize);
    connect(buttons, &QDialogButtonBox::accepted, this, &ResampleDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    m_following = true;
    showSide(Side::Width, start.width(), nullptr);
    showSide(Side::Height, start.height(), nullptr);
    m_following = false;
    m_sizeChoice->setCurrentIndex(UserDefinedSize);
    chooseSize(UserDefinedSize);
}

void ResampleDialog::chooseSize(int index)
{
    const bool typed = index == UserDefinedSize;
    for (QWidget* field : { static_cast<QWidget*>(m_widthPixels), static_cast<QWidget*>(m_widthPercent),
                            static_cast<QWidget*>(m_heightPixels), static_cast<QWidget*>(m_heightPercent),
                            static_cast<QWidget*>(m_constrain) })
        field->setEnabled(typed);
    if (!typed) {
        m_following = true;
        showSide(Side::Width, shownPixels(m_frameSize.width() * static_cast<double>(m_zoom) + 0.5), nullptr);
        showSide(Side::Height, shownPixels(m_frameSize.height() * static_cast<double>(m_zoom) + 0.5), nullptr);
        m_following = false;
    }
    updateOk();
}

void ResampleDialog::setSide(Side side, int pixels, const QSpinBox* typed)
{
    showSide(side, pixels, typed);
    if (!m_constrain->isChecked() || m_aspect <= 0.0)
        return;
    if (side == Side::Width)
        showSide(Side::Height, shownPixels(pixels / m_aspect + 0.5), nullptr);
    else
        showSide(Side::Width, shownPixels(pixels * m_aspect + 0.5), nullptr);
}

void ResampleDialog::showSide(Side side, int pixels, const QSpinBox* typed)
{
    const bool width = side == Side::Width;
    QSpinBox* pixelEdit = width ? m_widthPixels : m_heightPixels;
    QSpinBox* percentEdit = width ? m_widthPercent : m_heightPercent;
    // The edit being typed in keeps its text; only the others follow it.
    if (pixelEdit != typed)
        pixelEdit->setValue(pixels);
    if (percentEdit != typed)
        percentEdit->setValue(percentOf(pixels, width ? m_frameSize.width() : m_frameSize.height()));
}

void ResampleDialog::updateOk()
{
    const auto fits = [](int side) { return side >= 1 && side <= MaxSide; };
    m_ok->setEnabled(fits(m_widthPixels->value()) && fits(m_heightPixels->value()));
}

ResampleDialog::Parameters ResampleDialog::parameters() const
{
    return { QSize(m_widthPixels->value(), m_heightPixels->value()), m_constrain->isChecked(),
             m_method->currentIndex() == 1 ? imaging::Interpolation::Bilinear : imaging::Interpolation::Nearest };
}

void ResampleDialog::accept()
{
    if (!m_ok->isEnabled())
        return;
    const auto store = settings::open();
    settings::writeNumber(*store, settings::SettingsGroup, settings::ExportScalingMethod, m_method->currentIndex());
    QDialog::accept();
}

std::optional<ResampleDialog::Parameters> ResampleDialog::ask(const Setup& setup, QWidget* parent)
{
    ResampleDialog dialog(setup, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.parameters();
}
