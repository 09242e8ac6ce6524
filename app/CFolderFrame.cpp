#include "app/CFolderFrame.h"

#include "app/CFolderTabCtrl.h"

#include <QAbstractScrollArea>
#include <QResizeEvent>
#include <QScrollBar>
#include <QStyle>

#include <algorithm>

CFolderFrame::CFolderFrame(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("FolderFrame"));
    m_tabs = new CFolderTabCtrl(this);
    m_horizontal = new QScrollBar(Qt::Horizontal, this);
    m_vertical = new QScrollBar(Qt::Vertical, this);
    m_sizeBox = new QWidget(this);
    m_sizeBox->setAutoFillBackground(true);
    m_sizeBox->setBackgroundRole(QPalette::Button);
    connect(m_tabs, &CFolderTabCtrl::tabChanged, this, [this](int index) {
        showView(index);
        emit tabActivated(index);
    });
}

int CFolderFrame::addView(QWidget* view)
{
    view->setParent(this);
    view->hide();
    view->setEnabled(false);
    if (auto* area = qobject_cast<QAbstractScrollArea*>(view)) {
        // The frame's own bars stand in for the view's.
        area->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        area->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    }
    m_views.push_back(view);
    layoutChildren();
    return static_cast<int>(m_views.size()) - 1;
}

void CFolderFrame::replaceView(int index, QWidget* view)
{
    QWidget* old = this->view(index);
    if (!old)
        return;
    addView(view);
    m_views.pop_back();
    m_views[static_cast<std::size_t>(index)] = view;
    old->hide();
    old->deleteLater();
    if (m_active == index)
        showView(index);
}

void CFolderFrame::setLabels(const QString& labels)
{
    m_tabs->setLabels(labels);
    setTabWidth(m_tabs->naturalWidth() + 8);
}

void CFolderFrame::setTabWidth(int width)
{
    if (width >= 0)
        m_tabWidth = width;
    layoutChildren();
}

void CFolderFrame::selectTab(int index) { m_tabs->selectTab(index); }

QWidget* CFolderFrame::view(int index) const
{
    return index >= 0 && index < static_cast<int>(m_views.size()) ? m_views[static_cast<std::size_t>(index)] : nullptr;
}

QWidget* CFolderFrame::activeView() const { return view(m_active); }

QScrollBar* CFolderFrame::scrollBar(Qt::Orientation orientation) const
{
    return orientation == Qt::Horizontal ? m_horizontal : m_vertical;
}

void CFolderFrame::showView(int index)
{
    QWidget* shown = view(index);
    if (!shown)
        return;
    for (QWidget* other : m_views) {
        if (other != shown) {
            other->hide();
            other->setEnabled(false);
        }
    }
    m_active = index;
    m_tabs->selectTab(index);
    shown->setEnabled(true);
    shown->show();
    shown->setFocus();
    bindScrollBars(shown);
    shown->update();
}

void CFolderFrame::bindScrollBars(QWidget* view)
{
    for (const auto& link : std::as_const(m_scrollLinks))
        disconnect(link);
    m_scrollLinks.clear();
    auto* area = qobject_cast<QAbstractScrollArea*>(view);
    if (!area) {
        m_horizontal->setRange(0, 0);
        m_vertical->setRange(0, 0);
        return;
    }
    for (auto [ours, theirs] : { std::pair { m_horizontal, area->horizontalScrollBar() },
             std::pair { m_vertical, area->verticalScrollBar() } }) {
        ours->setRange(theirs->minimum(), theirs->maximum());
        ours->setPageStep(theirs->pageStep());
        ours->setSingleStep(theirs->singleStep());
        ours->setValue(theirs->value());
        m_scrollLinks << connect(theirs, &QScrollBar::rangeChanged, ours, [ours, theirs](int low, int high) {
            ours->setRange(low, high);
            ours->setPageStep(theirs->pageStep());
        });
        m_scrollLinks << connect(theirs, &QScrollBar::valueChanged, ours, &QScrollBar::setValue);
        m_scrollLinks << connect(ours, &QScrollBar::valueChanged, theirs, &QScrollBar::setValue);
    }
}

void CFolderFrame::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    layoutChildren();
}

void CFolderFrame::layoutChildren()
{
    const int w = width();
    const int h = height();
    const int barHeight = m_horizontal->sizeHint().height();
    const int barWidth = m_vertical->sizeHint().width();
    // A narrow window shortens the strip rather than giving it a negative width.
    const int tabs = std::clamp(m_tabWidth, 0, std::max(0, w - MinScrollBarWidth));
    const bool showBars = tabs > 0;
    QRect viewArea(0, 0, w, h);
    if (showBars) {
        viewArea = QRect(0, 0, std::max(0, w - barWidth), std::max(0, h - barHeight));
        m_vertical->setGeometry(w - barWidth, 0, barWidth, viewArea.height());
        m_tabs->setGeometry(0, h - barHeight, tabs, barHeight);
        m_horizontal->setGeometry(tabs, h - barHeight, std::max(0, w - barWidth - tabs), barHeight);
        m_sizeBox->setGeometry(w - barWidth, h - barHeight, barWidth, barHeight);
    }
    for (QWidget* bar : { static_cast<QWidget*>(m_tabs), static_cast<QWidget*>(m_horizontal),
             static_cast<QWidget*>(m_vertical), m_sizeBox })
        bar->setVisible(showBars);
    for (QWidget* v : m_views)
        v->setGeometry(viewArea);
}
