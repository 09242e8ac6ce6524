#include "app/dialogs/SizeChoiceBox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QRadioButton>
#include <QSpinBox>

#include <algorithm>
#include <cmath>

using document::SizeMode;

namespace {

// The fields take more than a picture may have, so that a size out of
// range stays visible (and is refused by the dialog) instead of being
// clamped silently.
constexpr int MaxPixelsShown = 999999;
constexpr int MaxPercentShown = 99999999;

QSpinBox* sizeEdit(int maximum, QWidget* parent)
{
    auto* edit = new QSpinBox(parent);
    edit->setRange(0, maximum);
    return edit;
}

int percentOf(std::int32_t pixels, std::int32_t side)
{
    const long long percent = std::llround(static_cast<double>(pixels) * 100.0 / side);
    return static_cast<int>(std::clamp<long long>(percent, 0, MaxPercentShown));
}

std::int32_t userSide(std::int32_t typed, std::int32_t frame)
{
    return typed > 0 ? std::min(typed, MaxPixelsShown) : frame;
}

} // namespace

SizeChoiceBox::SizeChoiceBox(const QString& title, const Setup& setup, QWidget* parent)
    : QGroupBox(title, parent)
    , m_frame { std::max(setup.frame.width, 1), std::max(setup.frame.height, 1) }
    , m_zoom(setup.zoom)
    , m_user { userSide(setup.userWidth, m_frame.width), userSide(setup.userHeight, m_frame.height) }
    , m_resampleRow(setup.resample)
{
    const QString names[] = { tr("Actual size"), tr("Scaled size"), tr("User defined size") };
    for (std::size_t i = 0; i < m_modes.size(); ++i)
        m_modes[i] = new QRadioButton(names[i], this);
    m_widthPixels = sizeEdit(MaxPixelsShown, this);
    m_heightPixels = sizeEdit(MaxPixelsShown, this);
    m_widthPercent = sizeEdit(MaxPercentShown, this);
    m_heightPercent = sizeEdit(MaxPercentShown, this);
    m_constrain = new QCheckBox(tr("Constrain Proportions"), this);
    m_constrain->setChecked(setup.constrain);
    m_resampleLabel = new QLabel(tr("Resample :"), this);
    m_resample = new QComboBox(this);
    m_resample->addItems({ QStringLiteral("Nearest Neighbour "), QStringLiteral("Bilinear") });
    m_resample->setCurrentIndex(setup.scaling == exporting::Scaling::Bilinear ? 1 : 0);
    m_resampleLabel->setVisible(m_resampleRow != ResampleRow::Hidden);
    m_resample->setVisible(m_resampleRow != ResampleRow::Hidden);
    layOut();

    const SizeMode modes[] = { SizeMode::Actual, SizeMode::Scaled, SizeMode::User };
    for (std::size_t i = 0; i < m_modes.size(); ++i) {
        connect(m_modes[i], &QRadioButton::toggled, this, [this, mode = modes[i]](bool on) {
            if (on)
                choose(mode);
        });
    }
    const auto follow = [this](QSpinBox* edit, Side side, bool percent) {
        connect(edit, &QSpinBox::valueChanged, this,
                [this, edit, side, percent](int value) { edited(side, edit, percent, value); });
    };
    follow(m_widthPixels, Side::Width, false);
    follow(m_widthPercent, Side::Width, true);
    follow(m_heightPixels, Side::Height, false);
    follow(m_heightPercent, Side::Height, true);
    connect(m_constrain, &QCheckBox::toggled, this, &SizeChoiceBox::changed);
    connect(m_resample, &QComboBox::currentIndexChanged, this, &SizeChoiceBox::changed);
    m_modes.at(static_cast<std::size_t>(std::clamp(static_cast<int>(setup.mode), 0, 2)))->setChecked(true);
}

void SizeChoiceBox::layOut()
{
    auto* grid = new QGridLayout(this);
    for (std::size_t i = 0; i < m_modes.size(); ++i)
        grid->addWidget(m_modes[i], static_cast<int>(i), 0, 1, 5);
    const QString sides[] = { tr("Width"), tr("Height") };
    const std::array<QSpinBox*, 2> pixels { m_widthPixels, m_heightPixels };
    const std::array<QSpinBox*, 2> percents { m_widthPercent, m_heightPercent };
    for (int row = 0; row < 2; ++row) {
        const auto i = static_cast<std::size_t>(row);
        grid->addWidget(new QLabel(sides[i], this), 3 + row, 0);
        grid->addWidget(pixels[i], 3 + row, 1);
        grid->addWidget(new QLabel(tr("pixels"), this), 3 + row, 2);
        grid->addWidget(percents[i], 3 + row, 3);
        grid->addWidget(new QLabel(tr("percent"), this), 3 + row, 4);
    }
    grid->addWidget(m_constrain, 5, 0, 1, 5);
    grid->addWidget(m_resampleLabel, 6, 0);
    grid->addWidget(m_resample, 6, 1, 1, 4);
}

SizeMode SizeChoiceBox::mode() const
{
    if (m_modes[2]->isChecked())
        return SizeMode::User;
    return m_modes[1]->isChecked() ? SizeMode::Scaled : SizeMode::Actual;
}

exporting::PictureSize SizeChoiceBox::size() const
{
    const auto limit = static_cast<int>(exporting::MaxUserSide);
    return { std::clamp(m_widthPixels->value(), 1, limit), std::clamp(m_heightPixels->value(), 1, limit) };
}

bool SizeChoiceBox::constrain() const { return m_constrain->isChecked(); }

exporting::Scaling SizeChoiceBox::scaling() const
{
    return m_resample->currentIndex() == 1 ? exporting::Scaling::Bilinear : exporting::Scaling::Nearest;
}

bool SizeChoiceBox::sizeValid() const
{
    return mode() != SizeMode::User
        || (exporting::userSideValid(m_widthPixels->value()) && exporting::userSideValid(m_heightPixels->value()));
}

void SizeChoiceBox::choose(SizeMode mode)
{
    const bool user = mode == SizeMode::User;
    for (QWidget* field : std::initializer_list<QWidget*> { m_widthPixels, m_widthPercent, m_heightPixels,
                                                            m_heightPercent, m_constrain })
        field->setEnabled(user);
    m_resample->setEnabled(m_resampleRow != ResampleRow::OffAtActualSize || mode != SizeMode::Actual);
    const exporting::PictureSize size
        = user ? m_user : (mode == SizeMode::Scaled ? exporting::scaledSize(m_frame, m_zoom) : m_frame);
    m_following = true;
    showSide(Side::Width, size.width, nullptr);
    showSide(Side::Height, size.height, nullptr);
    m_following = false;
    emit changed();
}

void SizeChoiceBox::edited(Side side, const QSpinBox* edit, bool percent, int value)
{
    if (m_following)
        return;
    const std::int32_t whole = side == Side::Width ? m_frame.width : m_frame.height;
    const std::int32_t pixels = percent ? exporting::sideFromPercent(whole, value) : value;
    m_following = true;
    showSide(side, pixels, edit);
    if (m_constrain->isChecked()) {
        if (side == Side::Width)
            showSide(Side::Height, exporting::constrainedHeight(m_frame, pixels), nullptr);
        else
            showSide(Side::Width, exporting::constrainedWidth(m_frame, pixels), nullptr);
    }
    m_following = false;
    if (mode() == SizeMode::User)
        m_user = { m_widthPixels->value(), m_heightPixels->value() };
    emit changed();
}

void SizeChoiceBox::showSide(Side side, std::int32_t pixels, const QSpinBox* typed)
{
    const bool width = side == Side::Width;
    QSpinBox* pixelEdit = width ? m_widthPixels : m_heightPixels;
    QSpinBox* percentEdit = width ? m_widthPercent : m_heightPercent;
    // The field being typed in keeps its text; only the others follow it.
    if (pixelEdit != typed)
        pixelEdit->setValue(pixels);
    if (percentEdit != typed)
        percentEdit->setValue(percentOf(pixels, width ? m_frame.width : m_frame.height));
}
