#include "app/dialogs/VideoSetupDialog.h"

#include "view/model/FrameRate.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QLabel>
#include <QPixmap>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

double valueOf(const QLineEdit* edit)
{
    bool ok = false;
    const double value = QLocale::c().toDouble(edit->text().trimmed(), &ok);
    return ok && std::isfinite(value) ? value : 0.0;
}

QString rateText(double value) { return QString::fromStdString(viewmodel::frameRateText(value)); }

} // namespace

VideoSetupDialog::VideoSetupDialog(const Parameters& start, const Facts& facts, QWidget* parent)
    : QDialog(parent)
    , m_facts(facts)
    , m_flags(start.include)
{
    setWindowTitle(tr("Video Setup"));

    auto* options = new QVBoxLayout;
    options->addWidget(buildSpeed(start));
    const SizeChoiceBox::Setup size { .frame = { m_facts.frameWidth, m_facts.frameHeight }, .zoom = m_facts.zoom,
        .mode = start.sizeMode, .userWidth = std::max(start.width, 1), .userHeight = std::max(start.height, 1),
        .constrain = start.constrain, .scaling = start.scalingMethod == 1 ? exporting::Scaling::Bilinear
                                                                           : exporting::Scaling::Nearest,
        .resample = SizeChoiceBox::ResampleRow::OffAtActualSize };
    m_size = new SizeChoiceBox(tr("Size"), size, this);
    connect(m_size, &SizeChoiceBox::changed, this, &VideoSetupDialog::updateEnabling);
    options->addWidget(m_size);
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
    updateEnabling();
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
    if (!m_facts.preview.isNull()) {
        auto* preview = new QLabel(box);
        preview->setObjectName(QStringLiteral("preview"));
        preview->setPixmap(QPixmap::fromImage(m_facts.preview));
        preview->setAlignment(Qt::AlignCenter);
        layout->addWidget(preview);
    }
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
    m_ok->setEnabled(valueOf(m_frameTime) > 0.0 && m_size->sizeValid());
}

VideoSetupDialog::Parameters VideoSetupDialog::parameters() const
{
    Parameters chosen;
    chosen.include = m_flags;
    chosen.frameTime = valueOf(m_frameTime);
    chosen.colour = m_colour->isChecked();
    chosen.sizeMode = m_size->mode();
    chosen.width = m_size->size().width;
    chosen.height = m_size->size().height;
    chosen.constrain = m_size->constrain();
    chosen.scalingMethod = static_cast<int>(m_size->scaling());
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
