#include "app/LevelWindowBar.h"

#include "app/CMainFrame.h"
#include "app/WindowPresetsColumn.h"
#include "app/commands/CommandTargets.h"
#include "document/COrvoDoc.h"
#include "imaging/FrameImage.h"
#include "view/COrvoView.h"
#include "view/model/WindowPresets.h"

#include <QAction>
#include <QGridLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QToolButton>

namespace {

viewmodel::SampleRange rangeOf(const imaging::FrameImage& frame) { return { frame.min(), frame.max() }; }

viewmodel::LevelWindow levelWindowOf(imaging::Window window) { return { window.centre, window.width }; }

// Frames stacked behind one another: the switch that reaches all of them.
QIcon stackedFramesIcon(int side)
{
    QPixmap picture(side, side);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    const int step = side / 6;
    const int box = side - 2 * step - 1;
    for (int i = 2; i >= 0; --i) {
        painter.setBrush(i == 0 ? QColor(Qt::white) : QColor(Qt::lightGray));
        painter.setPen(Qt::black);
        painter.drawRect(i * step, (2 - i) * step, box, box);
    }
    return QIcon(picture);
}

// A range the controls can hold: an empty one collapses to its low end and
// switches the control off.
void setRange(QSlider* slider, QSpinBox* edit, viewmodel::SliderRange range, std::int32_t value)
{
    const bool enabled = viewmodel::isSliderEnabled(range);
    const int high = enabled ? range.high : range.low;
    slider->setRange(range.low, high);
    edit->setRange(range.low, high);
    slider->setValue(value);
    edit->setValue(value);
    slider->setEnabled(enabled);
    edit->setEnabled(enabled);
}

} // namespace

LevelWindowBar::LevelWindowBar(CMainFrame& frame, QWidget* parent)
    : QWidget(parent)
    , m_frame(frame)
{
    buildControls();
    connect(m_default, &QPushButton::clicked, this, &LevelWindowBar::restoreDefault);
    connect(m_custom, &QPushButton::clicked, this, &LevelWindowBar::toggleColumn);
    connect(m_applyToAll, &QToolButton::clicked, this, &LevelWindowBar::toggleApplyToAll);
    for (QSlider* slider : { m_centreSlider, m_widthSlider }) {
        QSpinBox* edit = slider == m_centreSlider ? m_centreEdit : m_widthEdit;
        connect(slider, &QSlider::sliderPressed, this, &LevelWindowBar::sliderPressed);
        connect(slider, &QSlider::sliderMoved, this, &LevelWindowBar::sliderMoved);
        connect(slider, &QSlider::sliderReleased, this, &LevelWindowBar::sliderReleased);
        connect(slider, &QSlider::valueChanged, this, [this, slider, edit] { sliderChanged(slider, edit); });
        connect(edit, &QSpinBox::valueChanged, this, &LevelWindowBar::editChanged);
    }
    // The Image menu's item toggles the same flag.
    connect(frame.action(Command::ApplyToAll), &QAction::changed, this, [this] {
        const COrvoDoc* doc = document();
        m_applyToAll->setChecked(doc && doc->applyToAll());
    });
    connect(&frame, &CMainFrame::activeDocumentChanged, this, &LevelWindowBar::followActiveDocument);
    followActiveDocument();
}

void LevelWindowBar::buildControls()
{
    m_grid = new QGridLayout(this);
    m_grid->setSpacing(3);
    auto* centreLabel = new QLabel(QStringLiteral("L"), this);
    auto* widthLabel = new QLabel(QStringLiteral("W"), this);
    m_centreSlider = new QSlider(Qt::Vertical, this);
    m_widthSlider = new QSlider(Qt::Vertical, this);
    m_centreSlider->setToolTip(tr("Window Center"));
    m_widthSlider->setToolTip(tr("Window Width"));
    m_centreEdit = new QSpinBox(this);
    m_widthEdit = new QSpinBox(this);
    for (QSpinBox* edit : { m_centreEdit, m_widthEdit }) {
        // A typed number counts once it is complete (Enter or leaving the box).
        edit->setKeyboardTracking(false);
        edit->setMinimumWidth(fontMetrics().averageCharWidth() * 9);
    }
    m_default = new QPushButton(tr("Default"), this);
    m_custom = new QPushButton(this);
    m_applyToAll = new QToolButton(this);
    m_applyToAll->setCheckable(true);
    m_applyToAll->setToolTip(tr("Apply to all frames"));
    const int side = fontMetrics().height() * 3 / 2;
    m_applyToAll->setIcon(stackedFramesIcon(side));
    m_applyToAll->setIconSize(QSize(side, side));

    m_grid->addWidget(centreLabel, 0, 1, Qt::AlignHCenter);
    m_grid->addWidget(widthLabel, 0, 2, Qt::AlignHCenter);
    m_grid->addWidget(m_centreSlider, 1, 1, Qt::AlignHCenter);
    m_grid->addWidget(m_widthSlider, 1, 2, Qt::AlignHCenter);
    m_grid->addWidget(new QLabel(tr("Level"), this), 2, 1, 1, 2);
    m_grid->addWidget(m_centreEdit, 3, 1, 1, 2);
    m_grid->addWidget(new QLabel(tr("Window"), this), 4, 1, 1, 2);
    m_grid->addWidget(m_widthEdit, 5, 1, 1, 2);
    m_grid->addWidget(m_default, 6, 1, 1, 2);
    m_grid->addWidget(m_custom, 7, 1, 1, 2);
    m_grid->addWidget(m_applyToAll, 8, 1, 1, 2, Qt::AlignHCenter);
    m_grid->setRowStretch(1, 1);
    m_custom->setText(QStringLiteral("< %1").arg(tr("Custom")));
}

COrvoDoc* LevelWindowBar::document() const
{
    return activeView(m_frame) ? activeDocument(m_frame) : nullptr;
}

void LevelWindowBar::followActiveDocument()
{
    disconnect(m_followed);
    disconnect(m_followedDrag);
    if (COrvoDoc* doc = document()) {
        m_followed = connect(doc, &COrvoDoc::changed, this, &LevelWindowBar::refresh);
        // The level-window tool's drag is shown here while it goes on.
        m_followedDrag = connect(activeView(m_frame), &COrvoView::windowPreviewed, this, &LevelWindowBar::refresh);
    }
    refresh();
}

void LevelWindowBar::refresh()
{
    // A slider under the mouse keeps its place; the release refreshes.
    if (m_dragDocument)
        return;
    const COrvoDoc* doc = document();
    const imaging::FrameImage* frame = doc ? doc->frame() : nullptr;
    m_updating = true;
    if (frame) {
        const viewmodel::SampleRange range = rangeOf(*frame);
        m_shown = viewmodel::shownWindow(levelWindowOf(frame->window()), m_shown, range);
        setRange(m_centreSlider, m_centreEdit, viewmodel::centreRange(range), m_shown.centre);
        setRange(m_widthSlider, m_widthEdit, viewmodel::widthRange(range), m_shown.width);
    } else {
        const std::initializer_list<QWidget*> controls { m_centreSlider, m_widthSlider, m_centreEdit, m_widthEdit };
        for (QWidget* control : controls)
            control->setEnabled(false);
    }
    m_default->setEnabled(frame != nullptr);
    m_custom->setEnabled(frame != nullptr);
    m_applyToAll->setEnabled(frame != nullptr);
    m_applyToAll->setChecked(doc && doc->applyToAll());
    m_updating = false;
}

void LevelWindowBar::applyToScope(const std::function<viewmodel::LevelWindow(int frame)>& windowOf)
{
    COrvoDoc* doc = document();
    if (!doc || !doc->frame())
        return;
    // The switch counts only while every frame has the same size and kind.
    const auto scope = doc->allFramesAgree() ? COrvoDoc::Scope::InScope : COrvoDoc::Scope::CurrentOnly;
    doc->changeFrames(
        [&windowOf](imaging::FrameImage& target, int f) {
            const viewmodel::LevelWindow window = viewmodel::clampWindowToFrame(windowOf(f), rangeOf(target));
            return target.setWindow({ window.centre, window.width }) && target.rebuildDisplay();
        },
        scope);
    focusView();
}

void LevelWindowBar::commit()
{
    const viewmodel::LevelWindow typed { m_centreEdit->value(), m_widthEdit->value() };
    m_shown = typed;
    applyToScope([typed](int) { return typed; });
}

void LevelWindowBar::applyPreset(int index)
{
    if (!m_column || index < 0 || static_cast<std::size_t>(index) >= m_column->presets().size())
        return;
    const viewmodel::WindowPreset& preset = m_column->presets()[static_cast<std::size_t>(index)];
    const viewmodel::LevelWindow window { preset.centre, preset.width };
    applyToScope([window](int) { return window; });
    if (m_frame.options().autoClose != 0 && m_column->isVisible())
        toggleColumn();
}

void LevelWindowBar::restoreDefault()
{
    COrvoDoc* doc = document();
    if (!doc)
        return;
    applyToScope([doc](int f) { return levelWindowOf(doc->frame(f)->asLoadedWindow()); });
}

void LevelWindowBar::toggleColumn()
{
    if (!m_column) {
        m_column = new WindowPresetsColumn([this] { return document() != nullptr; }, this);
        m_column->hide();
        m_grid->addWidget(m_column, 0, 0, 8, 1, Qt::AlignBottom);
        connect(m_column, &WindowPresetsColumn::presetChosen, this, &LevelWindowBar::applyPreset);
    }
    const bool open = m_column->isHidden();
    m_column->setVisible(open);
    m_custom->setText(open ? QStringLiteral("> %1").arg(tr("Close")) : QStringLiteral("< %1").arg(tr("Custom")));
}

void LevelWindowBar::toggleApplyToAll()
{
    COrvoDoc* doc = document();
    if (doc && doc->toggleApplyToAll() == COrvoDoc::ApplyToAllResult::FramesDiffer)
        QMessageBox::information(&m_frame, CMainFrame::programName(), tr("Images differ in width and/or height    "));
    m_applyToAll->setChecked(doc && doc->applyToAll());
    focusView();
}

void LevelWindowBar::sliderPressed()
{
    COrvoDoc* doc = document();
    imaging::FrameImage* frame = doc ? doc->frame() : nullptr;
    if (!frame || !frame->beginWindowChange())
        return;
    m_dragDocument = doc;
    m_dragFrame = doc->currentFrameIndex();
}

void LevelWindowBar::sliderMoved()
{
    imaging::FrameImage* frame = m_dragDocument ? m_dragDocument->frame(m_dragFrame) : nullptr;
    if (!frame)
        return;
    // A preview on the current frame only; the release makes it one step.
    if (frame->setWindow({ m_centreSlider->sliderPosition(), m_widthSlider->sliderPosition() })
        && frame->rebuildDisplay())
        if (COrvoView* view = activeView(m_frame))
            view->frameChanged();
}

void LevelWindowBar::sliderReleased()
{
    if (imaging::FrameImage* frame = m_dragDocument ? m_dragDocument->frame(m_dragFrame) : nullptr)
        frame->endWindowChange(imaging::WindowChangeEnd::Restore);
    m_dragDocument.clear();
    m_dragFrame = -1;
    commit();
}

void LevelWindowBar::sliderChanged(QSlider* slider, QSpinBox* edit)
{
    if (m_updating)
        return;
    m_updating = true;
    edit->setValue(slider->value());
    m_updating = false;
    // A drag commits on release; a click on the groove or a key is done at once.
    if (!slider->isSliderDown())
        commit();
}

void LevelWindowBar::editChanged()
{
    if (m_updating)
        return;
    m_updating = true;
    m_centreSlider->setValue(m_centreEdit->value());
    m_widthSlider->setValue(m_widthEdit->value());
    m_updating = false;
    commit();
}

void LevelWindowBar::focusView()
{
    if (COrvoView* view = activeView(m_frame))
        view->setFocus();
}
