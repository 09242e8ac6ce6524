#pragma once

#include <QFont>
#include <QPolygon>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <vector>

// A strip of sheet-like trapezoid tabs drawn along the bottom of a window,
// beside its horizontal scroll bar.
class CFolderTabCtrl : public QWidget {
    Q_OBJECT
public:
    explicit CFolderTabCtrl(QWidget* parent = nullptr);

    // Labels separated by '\n', e.g. "Frame\nHeader".
    void setLabels(const QString& labels);
    int tabCount() const { return static_cast<int>(m_tabs.size()); }
    QString tabText(int index) const;
    QRect tabRect(int index) const;
    int selectedTab() const { return m_selected; }
    // Selects without telling the parent, as a command that switches views does.
    void selectTab(int index);
    // The tab under a point, or -1.
    int hitTest(const QPoint& point) const;
    // The width that shows every tab.
    int naturalWidth() const;
    // A frame drawn around the whole strip.
    void setFramed(bool framed);

    QSize sizeHint() const override;

signals:
    // The user clicked a tab other than the selected one.
    void tabChanged(int index);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    struct Tab {
        QString text;
        QRect rect;
        QPolygon outline;
    };

    void layoutTabs();
    void drawTab(QPainter& painter, const Tab& tab, bool selected) const;

    std::vector<Tab> m_tabs;
    int m_selected = 0;
    bool m_framed = false;
    QFont m_normalFont;
    QFont m_selectedFont;
};
