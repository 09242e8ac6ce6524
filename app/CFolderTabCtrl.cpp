#include "app/CFolderTabCtrl.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>
#include <QScrollBar>
#include <QStyle>

namespace {

// A horizontal scroll bar's height in this style, so the tabs line up with it.
int scrollBarHeight(const QWidget* widget)
{
    return widget->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, widget);
}

constexpr int TextPadding = 20;
constexpr int SlantLeft = 8;
constexpr int SlantRight = 9;

} // namespace

CFolderTabCtrl::CFolderTabCtrl(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("FolderTabs"));
    const int height = scrollBarHeight(this);
    m_normalFont = QFont(QStringLiteral("Arial"));
    m_normalFont.setPixelSize(std::max(1, height - 1));
    m_normalFont.setWeight(QFont::Normal);
    m_selectedFont = m_normalFont;
    m_selectedFont.setPixelSize(std::max(1, height - 3));
    setFixedHeight(height);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

void CFolderTabCtrl::setLabels(const QString& labels)
{
    m_tabs.clear();
    for (const QString& label : labels.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        m_tabs.push_back(Tab { label, {}, {} });
    m_selected = m_tabs.empty() ? -1 : 0;
    layoutTabs();
    updateGeometry();
    update();
}

QString CFolderTabCtrl::tabText(int index) const
{
    return index >= 0 && index < tabCount() ? m_tabs[static_cast<std::size_t>(index)].text : QString();
}

QRect CFolderTabCtrl::tabRect(int index) const
{
    return index >= 0 && index < tabCount() ? m_tabs[static_cast<std::size_t>(index)].rect : QRect();
}

void CFolderTabCtrl::selectTab(int index)
{
    if (index < 0 || index >= tabCount() || index == m_selected)
        return;
    m_selected = index;
    update();
}

void CFolderTabCtrl::setFramed(bool framed)
{
    m_framed = framed;
    update();
}

int CFolderTabCtrl::hitTest(const QPoint& point) const
{
    for (int i = 0; i < tabCount(); ++i) {
        if (m_tabs[static_cast<std::size_t>(i)].outline.containsPoint(point, Qt::OddEvenFill))
            return i;
    }
    return -1;
}

int CFolderTabCtrl::naturalWidth() const
{
    return m_tabs.empty() ? 0 : m_tabs.back().rect.right() + 1;
}

QSize CFolderTabCtrl::sizeHint() const { return { naturalWidth(), scrollBarHeight(this) }; }

void CFolderTabCtrl::layoutTabs()
{
    const QFontMetrics metrics(m_normalFont);
    const int height = scrollBarHeight(this);
    int left = 0;
    for (Tab& tab : m_tabs) {
        const int width = metrics.horizontalAdvance(tab.text) + TextPadding;
        tab.rect = QRect(left, 0, width, height);
        const int right = left + width;
        tab.outline = QPolygon({ QPoint(left, 0), QPoint(left + SlantLeft, height - 1),
            QPoint(right - SlantRight, height - 1), QPoint(right - 1, 0) });
        left = right;
    }
}

void CFolderTabCtrl::resizeEvent(QResizeEvent* event)
{
    layoutTabs();
    QWidget::resizeEvent(event);
}

void CFolderTabCtrl::drawTab(QPainter& painter, const Tab& tab, bool selected) const
{
    const QPalette& colours = palette();
    painter.setBrush(selected ? colours.color(QPalette::Base) : colours.color(QPalette::Button));
    painter.setPen(Qt::NoPen);
    painter.drawPolygon(tab.outline);
    // Black outline, with the slanted right edge in the shadow colour.
    const QPolygon& p = tab.outline;
    painter.setPen(Qt::black);
    painter.drawLine(p[0], p[1]);
    painter.drawLine(p[1], p[2]);
    painter.setPen(colours.color(QPalette::Dark));
    painter.drawLine(p[2], p[3]);
    painter.setFont(selected ? m_selectedFont : m_normalFont);
    painter.setPen(selected ? colours.color(QPalette::Text) : QColor(Qt::gray));
    painter.drawText(tab.rect.adjusted(10, 1, -10, -1), Qt::AlignCenter, tab.text);
}

void CFolderTabCtrl::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Button));
    for (int i = 0; i < tabCount(); ++i) {
        const Tab& tab = m_tabs[static_cast<std::size_t>(i)];
        if (tab.rect.left() > width())
            break;
        if (i != m_selected)
            drawTab(painter, tab, false);
    }
    if (m_selected >= 0 && m_selected < tabCount())
        drawTab(painter, m_tabs[static_cast<std::size_t>(m_selected)], true);
    // The strip's top edge, broken where the selected sheet joins the view.
    painter.setPen(Qt::black);
    const QRect selected = tabRect(m_selected);
    if (selected.isValid()) {
        painter.drawLine(0, 0, selected.left(), 0);
        painter.drawLine(selected.right(), 0, width() - 1, 0);
    } else {
        painter.drawLine(0, 0, width() - 1, 0);
    }
    if (m_framed) {
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

void CFolderTabCtrl::mousePressEvent(QMouseEvent* event)
{
    const int hit = hitTest(event->position().toPoint());
    if (hit < 0 || hit == m_selected)
        return;
    m_selected = hit;
    update();
    emit tabChanged(hit);
}
