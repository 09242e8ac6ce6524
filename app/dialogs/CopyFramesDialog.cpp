#include "app/dialogs/CopyFramesDialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

constexpr int CurrentScope = 0;
constexpr int AllScope = 1;
constexpr int SelectedScope = 2;
// Past 65535 pixels no picture of ours is written; the spin boxes go
// beyond it so that the Copy button can say no instead of clamping silently.
constexpr int MaxUserSize = 65535;
constexpr int MaxTyped = 999999;

std::int32_t atLeastOne(double value) { return static_cast<std::int32_t>(std::max(1.0, std::round(value))); }

QSpinBox* spinBox(QWidget* parent, int maximum)
{
    auto* box = new QSpinBox(parent);
    box->setRange(0, maximum);
    return box;
}

} // namespace

CopyFramesDialog::CopyFramesDialog(const Frames& frames, const document::ExportChoices& choices,
                                   exporting::Scaling scaling, QWidget* parent)
    : QDialog(parent)
    , m_frameFacts(frames)
    , m_selection(choices.selection)
{
    setWindowTitle(tr("Select items to copy"));
    m_frameFacts.width = std::max(1, frames.width);
    m_frameFacts.height = std::max(1, frames.height);
    m_selection.resize(static_cast<std::size_t>(std::max(0, frames.count)), 1);

    m_header = new QCheckBox(tr("Copy Header"), this);
    m_frames = new QCheckBox(tr("Copy Frames"), this);
    m_header->setChecked(true);
    m_frames->setChecked(true);

    auto* scopeGroup = new QButtonGroup(this);
    const QString scopeTexts[] = { tr("Current frame"), tr("All frames"), tr("Selected frames") };
    for (int scope = 0; scope < 3; ++scope) {
        m_scope[scope] = new QRadioButton(scopeTexts[scope], this);
        scopeGroup->addButton(m_scope[scope], scope);
    }
    m_scope[CurrentScope]->setChecked(true);
    m_list = new QListWidget(this);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_mark = new QPushButton(tr("Copy frame(s)"), this);
    m_unmark = new QPushButton(tr("Not copy frame(s)"), this);

    auto* sizeBox = new QGroupBox(tr(" Size  "), this);
    auto* sizeGroup = new QButtonGroup(this);
    const QString sizeTexts[] = { tr("Actual size"), tr("Scaled size"), tr("User defined size") };
    for (int mode = 0; mode < 3; ++mode) {
        m_size[mode] = new QRadioButton(sizeTexts[mode], sizeBox);
        sizeGroup->addButton(m_size[mode], mode);
    }
    m_width = spinBox(sizeBox, MaxTyped);
    m_height = spinBox(sizeBox, MaxTyped);
    m_widthPercent = spinBox(sizeBox, MaxTyped);
    m_heightPercent = spinBox(sizeBox, MaxTyped);
    m_constrain = new QCheckBox(tr("Constrain Proportions"), sizeBox);
    m_constrain->setChecked(choices.constrain);
    m_scaling = new QComboBox(sizeBox);
    m_scaling->addItems({ tr("Nearest Neighbour "), tr("Bilinear") });
    m_scaling->setCurrentIndex(scaling == exporting::Scaling::Bilinear ? 1 : 0);

    auto* sizeLayout = new QGridLayout(sizeBox);
    for (int mode = 0; mode < 3; ++mode)
        sizeLayout->addWidget(m_size[mode], mode, 0, 1, 3);
    sizeLayout->addWidget(new QLabel(tr("Width"), sizeBox), 3, 0);
    sizeLayout->addWidget(m_width, 3, 1);
    sizeLayout->addWidget(new QLabel(tr("pixels"), sizeBox), 3, 2);
    sizeLayout->addWidget(m_widthPercent, 3, 3);
    sizeLayout->addWidget(new QLabel(tr("percent"), sizeBox), 3, 4);
    sizeLayout->addWidget(new QLabel(tr("Height"), sizeBox), 4, 0);
    sizeLayout->addWidget(m_height, 4, 1);
    sizeLayout->addWidget(new QLabel(tr("pixels"), sizeBox), 4, 2);
    sizeLayout->addWidget(m_heightPercent, 4, 3);
    sizeLayout->addWidget(new QLabel(tr("percent"), sizeBox), 4, 4);
    sizeLayout->addWidget(m_constrain, 5, 0, 1, 3);
    sizeLayout->addWidget(new QLabel(tr("Resample :"), sizeBox), 6, 0);
    sizeLayout->addWidget(m_scaling, 6, 1, 1, 4);

    auto* buttons = new QDialogButtonBox(this);
    m_copy = buttons->addButton(tr("Copy"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QDialogButtonBox::Cancel);

    auto* marks = new QHBoxLayout;
    marks->addWidget(m_mark);
    marks->addWidget(m_unmark);
    auto* left = new QVBoxLayout;
    left->addWidget(m_header);
    left->addWidget(m_frames);
    for (QRadioButton* button : m_scope)
        left->addWidget(button);
    left->addWidget(m_list);
    left->addLayout(marks);
    auto* columns = new QHBoxLayout;
    columns->addLayout(left);
    columns->addWidget(sizeBox);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns);
    layout->addWidget(buttons);

    refreshList();
    const auto mode = choices.sizeMode;
    m_size[static_cast<int>(mode)]->setChecked(true);
    if (mode == document::SizeMode::User)
        setSize(atLeastOne(choices.width), atLeastOne(choices.height));
    chooseSize(mode);

    connect(scopeGroup, &QButtonGroup::idClicked, this, [this] { updateButtons(); });
    connect(sizeGroup, &QButtonGroup::idClicked, this,
            [this](int mode) { chooseSize(static_cast<document::SizeMode>(mode)); });
    connect(m_header, &QCheckBox::toggled, this, &CopyFramesDialog::updateButtons);
    connect(m_frames, &QCheckBox::toggled, this, &CopyFramesDialog::updateButtons);
    connect(m_list, &QListWidget::itemSelectionChanged, this, &CopyFramesDialog::updateButtons);
    connect(m_mark, &QPushButton::clicked, this, [this] { mark(true); });
    connect(m_unmark, &QPushButton::clicked, this, [this] { mark(false); });
    connect(m_width, &QSpinBox::valueChanged, this, &CopyFramesDialog::widthEdited);
    connect(m_height, &QSpinBox::valueChanged, this, &CopyFramesDialog::heightEdited);
    connect(m_widthPercent, &QSpinBox::valueChanged, this, [this] { percentEdited(true); });
    connect(m_heightPercent, &QSpinBox::valueChanged, this, [this] { percentEdited(false); });
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    updateButtons();
}

document::SizeMode CopyFramesDialog::sizeMode() const
{
    for (int mode = 0; mode < 3; ++mode) {
        if (m_size[mode]->isChecked())
            return static_cast<document::SizeMode>(mode);
    }
    return document::SizeMode::Actual;
}

void CopyFramesDialog::chooseSize(document::SizeMode mode)
{
    const bool user = mode == document::SizeMode::User;
    for (QSpinBox* box : { m_width, m_height, m_widthPercent, m_heightPercent })
        box->setEnabled(user);
    if (mode == document::SizeMode::Actual)
        setSize(m_frameFacts.width, m_frameFacts.height);
    else if (mode == document::SizeMode::Scaled)
        setSize(atLeastOne(m_frameFacts.width * static_cast<double>(m_frameFacts.zoom)),
                atLeastOne(m_frameFacts.height * static_cast<double>(m_frameFacts.zoom)));
    updateButtons();
}

void CopyFramesDialog::setSize(std::int32_t width, std::int32_t height)
{
    m_following = true;
    m_width->setValue(width);
    m_height->setValue(height);
    m_widthPercent->setValue(static_cast<int>(std::lround(width * 100.0 / m_frameFacts.width)));
    m_heightPercent->setValue(static_cast<int>(std::lround(height * 100.0 / m_frameFacts.height)));
    m_following = false;
    updateButtons();
}

void CopyFramesDialog::widthEdited()
{
    if (m_following)
        return;
    const int width = m_width->value();
    const double ratio = static_cast<double>(m_frameFacts.width) / m_frameFacts.height;
    setSize(width, m_constrain->isChecked() ? atLeastOne(width / ratio) : m_height->value());
}

void CopyFramesDialog::heightEdited()
{
    if (m_following)
        return;
    const int height = m_height->value();
    const double ratio = static_cast<double>(m_frameFacts.width) / m_frameFacts.height;
    setSize(m_constrain->isChecked() ? atLeastOne(height * ratio) : m_width->value(), height);
}

void CopyFramesDialog::percentEdited(bool width)
{
    if (m_following)
        return;
    m_following = true;
    if (width)
        m_width->setValue(static_cast<int>(std::lround(m_frameFacts.width * m_widthPercent->value() / 100.0)));
    else
        m_height->setValue(static_cast<int>(std::lround(m_frameFacts.height * m_heightPercent->value() / 100.0)));
    m_following = false;
    if (width)
        widthEdited();
    else
        heightEdited();
}

void CopyFramesDialog::refreshList()
{
    const int keep = m_list->currentRow();
    m_list->clear();
    for (std::size_t frame = 0; frame < m_selection.size(); ++frame) {
        const QString mark = m_selection[frame] ? QStringLiteral("\u2714 ") : QStringLiteral("    ");
        m_list->addItem(mark + tr("Frame %1").arg(frame + 1, 4, 10, QLatin1Char('0')));
    }
    if (keep >= 0 && keep < m_list->count())
        m_list->setCurrentRow(keep);
}

void CopyFramesDialog::mark(bool on)
{
    const QModelIndexList rows = m_list->selectionModel()->selectedRows();
    for (const QModelIndex& row : rows) {
        if (row.row() >= 0 && static_cast<std::size_t>(row.row()) < m_selection.size())
            m_selection[static_cast<std::size_t>(row.row())] = on ? 1 : 0;
    }
    QList<int> keep;
    for (const QModelIndex& row : rows)
        keep.push_back(row.row());
    refreshList();
    for (int row : keep)
        m_list->item(row)->setSelected(true);
    updateButtons();
}

void CopyFramesDialog::updateButtons()
{
    const bool selecting = m_scope[SelectedScope]->isChecked() && m_frameFacts.count > 1;
    m_list->setEnabled(selecting);
    bool highlightedOn = false, highlightedOff = false;
    for (const QModelIndex& row : m_list->selectionModel()->selectedRows()) {
        const auto frame = static_cast<std::size_t>(row.row());
        if (frame < m_selection.size())
            (m_selection[frame] ? highlightedOn : highlightedOff) = true;
    }
    m_mark->setEnabled(selecting && highlightedOff);
    m_unmark->setEnabled(selecting && highlightedOn);
    const auto inRange = [](int value) { return value >= 1 && value <= MaxUserSize; };
    const bool sizeOk = sizeMode() != document::SizeMode::User || (inRange(m_width->value()) && inRange(m_height->value()));
    m_copy->setEnabled(sizeOk);
}

CopyFramesDialog::Parameters CopyFramesDialog::parameters() const
{
    Parameters result;
    result.header = m_header->isChecked();
    result.frames = m_frames->isChecked();
    result.width = std::clamp(m_width->value(), 1, MaxUserSize);
    result.height = std::clamp(m_height->value(), 1, MaxUserSize);
    result.scaling = m_scaling->currentIndex() == 1 ? exporting::Scaling::Bilinear : exporting::Scaling::Nearest;
    result.choices.sizeMode = sizeMode();
    result.choices.constrain = m_constrain->isChecked();
    result.choices.width = result.width;
    result.choices.height = result.height;
    result.choices.selection = m_selection;
    if (m_scope[CurrentScope]->isChecked()) {
        std::fill(result.choices.selection.begin(), result.choices.selection.end(), std::uint8_t { 0 });
        if (m_frameFacts.current >= 0 && static_cast<std::size_t>(m_frameFacts.current) < m_selection.size())
            result.choices.selection[static_cast<std::size_t>(m_frameFacts.current)] = 1;
    } else if (m_scope[AllScope]->isChecked()) {
        std::fill(result.choices.selection.begin(), result.choices.selection.end(), std::uint8_t { 1 });
    }
    for (std::size_t frame = 0; frame < result.choices.selection.size(); ++frame) {
        if (result.choices.selection[frame])
            result.list.push_back(static_cast<int>(frame));
    }
    return result;
}

std::optional<CopyFramesDialog::Parameters> CopyFramesDialog::ask(const Frames& frames,
                                                                  const document::ExportChoices& choices,
                                                                  exporting::Scaling scaling, QWidget* parent)
{
    CopyFramesDialog dialog(frames, choices, scaling, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.parameters();
}
