#include "app/dialogs/VideoSetupDialog.h"

#include "view/model/FrameRate.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

using document::SizeMode;

namespace {

constexpr int kMaxSide = 65535;
// The edits take more than the largest size, so that a size out of range
// can be typed and is then refused by OK rather than silently clamped.
constexpr int kEditLimit = 999999;

double valueOf(const QLineEdit* edit)
{
    bool ok = false;
    const double value = QLocale::c().toDouble(edit->text().trimmed(), &ok);
    return ok && std::isfinite(value) ? value : 0.0;
}

QString rateText(double value) { return QString::fromStdString(viewmodel::frameRateText(value)); }

std::int32_t atLeastOne(double value)
{
    return static_cast<std::int32_t>(std::clamp(std::lround(value), 1L, static_cast<long>(kEditLimit)));
}

QSpinBox* sizeEdit(QWidget* parent)
{
    auto* edit = new QSpinBox(parent);
    edit->setRange(0, kEditLimit);
    return edit;
}

} // namespace

VideoSetupDialog::VideoSetupDialog(const Parameters& start, const Facts& facts, QWidget* parent)
    : QDialog(parent)
    , m_facts(facts)
    , m_flags(start.include)
{
    setWindowTitle(tr("Video Setup"));
    m_facts.frameWidth = std::max(m_facts.frameWidth, 1);
    m_facts.frameHeight = std::max(m_facts.frameHeight, 1);
    m_userWidth = std::clamp(start.width, 1, kEditLimit);
    m_userHeight = std::clamp(start.height, 1, kEditLimit);

    auto* options = new QVBoxLayout;
    options->addWidget(buildSpeed(start));
    options->addWidget(buildSize(start));
    m_codec = new QComboBox(this);
    m_codec->addItems({ tr("Uncompressed"), tr("Motion-JPEG") });
    m_codec->setCurrentIndex(static_cast<int>(start.codec));
    m_openVideo = new QCheckBox(tr("Open video after creation"), this);
    m_openVideo->setChecked(start.openVideo);
    auto* codecRow = new QFormLayout;
    codecRow->addRow(tr("Codec"), m_codec);
    codecRow->addRow(m_openVideo);
    options->addLayout(codecRow);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_ok = buttons->button(QDialogButtonBox::Ok);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* columns = new QHBoxLayout;
    columns->addWidget(buildFrames());
    columns->addLayout(options);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns);
    layout->addWidget(buttons);
    chooseUnit(0);
    chooseSize(start.sizeMode);
}

QWidget* VideoSetupDialog::buildFrames()
{
    auto* box = new QGroupBox(tr("Frames"), this);
    m_frames = new QListWidget(box);
    m_frames->setSelectionMode(QAbstractItemView::ExtendedSelection);
    for (int frame = 0; frame < static_cast<int>(m_flags.size()); ++frame) {
        m_frames->addItem(QString());
        showItem(frame);
    }
    if (m_facts.currentFrame >= 0 && m_facts.currentFrame < m_frames->count())
        m_frames->setCurrentRow(m_facts.currentFrame);
    m_includeButton = new QPushButton(tr("Include to video"), box);
    m_excludeButton = new QPushButton(tr("Exclude from video"), box);
    auto* layout = new QVBoxLayout(box);
    layout->addWidget(m_frames);
    layout->addWidget(m_includeButton);
    layout->addWidget(m_excludeButton);
    connect(m_includeButton, &QPushButton::clicked, this, [this] { setIncluded(true); });
    connect(m_excludeButton, &QPushButton::clicked, this, [this] { setIncluded(false); });
    connect(m_frames, &QListWidget::itemSelectionChanged, this, &VideoSetupDialog::updateEnabling);
    return box;
}

QWidget* VideoSetupDialog::buildSpeed(const Parameters& start)
{
    auto* box = new QGroupBox(tr("Speed"), this);
    m_unit = new QComboBox(box);
    m_unit->addItems({ tr("Frame Time"), tr("Frames per Second") });
    m_frameTime = new QLineEdit(rateText(start.frameTime > 0.0 ? start.frameTime : 0.0), box);
    m_framesPerSecond = new QLineEdit(rateText(viewmodel::otherFrameRate(start.frameTime)), box);
    m_fromHeader = new QPushButton(tr("From Header"), box);
    m_fromHeader->setEnabled(m_facts.headerFrameTime != 0.0);
    m_colour = new QRadioButton(tr("Export color avi"), box);
    m_grey = new QRadioButton(tr("Export monochrome avi"), box);
    (start.colour ? m_colour : m_grey)->setChecked(true);
    auto* form = new QFormLayout(box);
    form->addRow(m_unit);
    form->addRow(tr("Frame Time (msec)"), m_frameTime);
    form->addRow(tr("Frames per second"), m_framesPerSecond);
    form->addRow(m_fromHeader);
    form->addRow(m_colour);
    form->addRow(m_grey);
    connect(m_unit, &QComboBox::currentIndexChanged, this, &VideoSetupDialog::chooseUnit);
    connect(m_frameTime, &QLineEdit::textChanged, this, [this] { followRate(m_frameTime, m_framesPerSecond); });
    connect(m_framesPerSecond, &QLineEdit::textChanged, this, [this] { followRate(m_framesPerSecond, m_frameTime); });
    connect(m_fromHeader, &QPushButton::clicked, this, [this] { m_frameTime->setText(rateText(m_facts.headerFrameTime)); });
    return box;
}

QWidget* VideoSetupDialog::buildSize(const Parameters& start)
{
    auto* box = new QGroupBox(tr("Size"), this);
    auto* grid = new QGridLayout(box);
    auto* group = new QButtonGroup(box);
    const std::array names { tr("Actual size"), tr("Scaled size"), tr("User defined size") };
    for (int mode = 0; mode < 3; ++mode) {
        m_size.at(static_cast<std::size_t>(mode)) = new QRadioButton(names.at(static_cast<std::size_t>(mode)), box);
        group->addButton(m_size.at(static_cast<std::size_t>(mode)), mode);
        grid->addWidget(m_size.at(static_cast<std::size_t>(mode)), mode, 0, 1, 3);
    }
    m_width = sizeEdit(box);
    m_height = sizeEdit(box);
    m_widthPercent = sizeEdit(box);
    m_heightPercent = sizeEdit(box);
    grid->addWidget(new QLabel(tr("Width"), box), 3, 0);
    grid->addWidget(m_width, 3, 1);
    grid->addWidget(m_widthPercent, 3, 2);
    grid->addWidget(new QLabel(tr("Height"), box), 4, 0);
    grid->addWidget(m_height, 4, 1);
    grid->addWidget(m_heightPercent, 4, 2);
    grid->addWidget(new QLabel(tr("pixels"), box), 5, 1);
    grid->addWidget(new QLabel(tr("percent"), box), 5, 2);
    m_constrain = new QCheckBox(tr("Constrain Proportions"), box);
    m_constrain->setChecked(start.constrain);
    grid->addWidget(m_constrain, 6, 0, 1, 3);
    m_scaling = new QComboBox(box);
    m_scaling->addItems({ tr("Nearest Neighbour "), tr("Bilinear") });
    m_scaling->setCurrentIndex(std::clamp(start.scalingMethod, 0, 1));
    grid->addWidget(m_scaling, 7, 0, 1, 3);
    connect(group, &QButtonGroup::idClicked, this, [this](int mode) { chooseSize(static_cast<SizeMode>(mode)); });
    connect(m_width, &QSpinBox::valueChanged, this, &VideoSetupDialog::widthEdited);
    connect(m_height, &QSpinBox::valueChanged, this, &VideoSetupDialog::heightEdited);
    connect(m_widthPercent, &QSpinBox::valueChanged, this,
            [this] { percentEdited(m_widthPercent, m_width, m_facts.frameWidth); });
    connect(m_heightPercent, &QSpinBox::valueChanged, this,
            [this] { percentEdited(m_heightPercent, m_height, m_facts.frameHeight); });
    return box;
}

void VideoSetupDialog::setIncluded(bool included)
{
    for (const QListWidgetItem* item : m_frames->selectedItems()) {
        const int frame = m_frames->row(item);
        m_flags.at(static_cast<std::size_t>(frame)) = included ? 1 : 0;
        showItem(frame);
    }
    updateEnabling();
}

void VideoSetupDialog::showItem(int frame)
{
    QListWidgetItem* item = m_frames->item(frame);
    const bool included = m_flags.at(static_cast<std::size_t>(frame)) != 0;
    item->setText(included ? tr("Frame %1").arg(frame + 1) : tr("Frame %1 (excluded)").arg(frame + 1));
    QFont font = item->font();
    font.setStrikeOut(!included);
    item->setFont(font);
}

void VideoSetupDialog::chooseUnit(int index)
{
    m_frameTime->setEnabled(index == 0);
    m_framesPerSecond->setEnabled(index != 0);
}

void VideoSetupDialog::followRate(const QLineEdit* typed, QLineEdit* target)
{
    if (!m_following) {
        m_following = true;
        target->setText(rateText(viewmodel::otherFrameRate(valueOf(typed))));
        m_following = false;
    }
    updateEnabling();
}

void VideoSetupDialog::chooseSize(SizeMode mode)
{
    if (static_cast<int>(mode) < 0 || static_cast<int>(mode) > 2)
        mode = SizeMode::Actual;
    m_size.at(static_cast<std::size_t>(mode))->setChecked(true);
    switch (mode) {
    case SizeMode::Actual: showSize(m_facts.frameWidth, m_facts.frameHeight); break;
    case SizeMode::Scaled:
        showSize(atLeastOne(m_facts.frameWidth * m_facts.zoom), atLeastOne(m_facts.frameHeight * m_facts.zoom));
        break;
    case SizeMode::User: showSize(m_userWidth, m_userHeight); break;
    }
    updateEnabling();
}

void VideoSetupDialog::showSize(std::int32_t width, std::int32_t height)
{
    m_following = true;
    m_width->setValue(width);
    m_height->setValue(height);
    m_widthPercent->setValue(atLeastOne(width * 100.0 / m_facts.frameWidth));
    m_heightPercent->setValue(atLeastOne(height * 100.0 / m_facts.frameHeight));
    m_following = false;
}

void VideoSetupDialog::widthEdited()
{
    if (m_following)
        return;
    m_userWidth = m_width->value();
    if (m_constrain->isChecked())
        m_userHeight = atLeastOne(static_cast<double>(m_userWidth) * m_facts.frameHeight / m_facts.frameWidth);
    showSize(m_userWidth, m_userHeight);
    updateEnabling();
}

void VideoSetupDialog::heightEdited()
{
    if (m_following)
        return;
    m_userHeight = m_height->value();
    if (m_constrain->isChecked())
        m_userWidth = atLeastOne(static_cast<double>(m_userHeight) * m_facts.frameWidth / m_facts.frameHeight);
    showSize(m_userWidth, m_userHeight);
    updateEnabling();
}

void VideoSetupDialog::percentEdited(QSpinBox* percent, QSpinBox* pixels, std::int32_t whole)
{
    if (m_following)
        return;
    // Setting the pixels runs the constraint as if they had been typed.
    pixels->setValue(atLeastOne(static_cast<double>(whole) * percent->value() / 100.0));
}

SizeMode VideoSetupDialog::sizeMode() const
{
    for (int mode = 0; mode < 3; ++mode) {
        if (m_size.at(static_cast<std::size_t>(mode))->isChecked())
            return static_cast<SizeMode>(mode);
    }
    return SizeMode::Actual;
}

void VideoSetupDialog::updateEnabling()
{
    bool excludedSelected = false;
    bool includedSelected = false;
    for (const QListWidgetItem* item : m_frames->selectedItems()) {
        const bool included = m_flags.at(static_cast<std::size_t>(m_frames->row(item))) != 0;
        (included ? includedSelected : excludedSelected) = true;
    }
    m_includeButton->setEnabled(excludedSelected);
    m_excludeButton->setEnabled(includedSelected);
    const bool user = sizeMode() == SizeMode::User;
    for (QSpinBox* edit : { m_width, m_height, m_widthPercent, m_heightPercent })
        edit->setEnabled(user);
    m_constrain->setEnabled(user);
    m_scaling->setEnabled(sizeMode() != SizeMode::Actual);
    const auto inRange = [](int side) { return side >= 1 && side <= kMaxSide; };
    const bool sizeOk = !user || (inRange(m_width->value()) && inRange(m_height->value()));
    m_ok->setEnabled(valueOf(m_frameTime) > 0.0 && sizeOk);
}

VideoSetupDialog::Parameters VideoSetupDialog::parameters() const
{
    Parameters chosen;
    chosen.include = m_flags;
    chosen.frameTime = valueOf(m_frameTime);
    chosen.colour = m_colour->isChecked();
    chosen.sizeMode = sizeMode();
    chosen.width = std::clamp(m_width->value(), 1, kMaxSide);
    chosen.height = std::clamp(m_height->value(), 1, kMaxSide);
    chosen.constrain = m_constrain->isChecked();
    chosen.scalingMethod = m_scaling->currentIndex();
    chosen.codec = static_cast<Codec>(m_codec->currentIndex());
    chosen.openVideo = m_openVideo->isChecked();
    return chosen;
}

std::optional<VideoSetupDialog::Parameters> VideoSetupDialog::ask(const Parameters& start, const Facts& facts,
                                                                  QWidget* parent)
{
    VideoSetupDialog dialog(start, facts, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.parameters();
}
