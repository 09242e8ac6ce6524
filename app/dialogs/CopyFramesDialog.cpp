#include "app/dialogs/CopyFramesDialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int CurrentScope = 0;
constexpr int AllScope = 1;
constexpr int SelectedScope = 2;
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

    const SizeChoiceBox::Setup size { .frame = { m_frameFacts.width, m_frameFacts.height },
        .zoom = static_cast<double>(m_frameFacts.zoom), .mode = choices.sizeMode, .userWidth = choices.width,
        .userHeight = choices.height, .constrain = choices.constrain, .scaling = scaling };
    m_size = new SizeChoiceBox(tr(" Size  "), size, this);

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
    columns->addWidget(m_size);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns);
    layout->addWidget(buttons);

    refreshList();

    connect(scopeGroup, &QButtonGroup::idClicked, this, [this] { updateButtons(); });
    connect(m_size, &SizeChoiceBox::changed, this, &CopyFramesDialog::updateButtons);
    connect(m_header, &QCheckBox::toggled, this, &CopyFramesDialog::updateButtons);
    connect(m_frames, &QCheckBox::toggled, this, &CopyFramesDialog::updateButtons);
    connect(m_list, &QListWidget::itemSelectionChanged, this, &CopyFramesDialog::updateButtons);
    connect(m_mark, &QPushButton::clicked, this, [this] { mark(true); });
    connect(m_unmark, &QPushButton::clicked, this, [this] { mark(false); });
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    updateButtons();
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
    // Frames alone, from an empty selection, would copy an empty report.
    const bool noFrame = m_frames->isChecked() && !m_header->isChecked() && m_scope[SelectedScope]->isChecked()
        && std::none_of(m_selection.begin(), m_selection.end(), [](std::uint8_t on) { return on != 0; });
    m_copy->setEnabled(m_size->sizeValid() && !noFrame);
}

CopyFramesDialog::Parameters CopyFramesDialog::parameters() const
{
    Parameters result;
    result.header = m_header->isChecked();
    result.frames = m_frames->isChecked();
    result.width = m_size->size().width;
    result.height = m_size->size().height;
    result.scaling = m_size->scaling();
    result.choices.sizeMode = m_size->mode();
    result.choices.constrain = m_size->constrain();
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
