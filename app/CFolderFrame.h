#pragma once

#include <QList>
#include <QMetaObject>
#include <QWidget>

#include <vector>

class CFolderTabCtrl;
class QScrollBar;

// The client of a document window: stacks its views, shows one at a time,
// and puts the tabs that switch between them beside the horizontal scroll
// bar. The visible view scrolls through the frame's scroll bars.
class CFolderFrame : public QWidget {
    Q_OBJECT
public:
    // The width kept for the horizontal scroll bar when the tabs would take
    // the whole bottom edge.
    static constexpr int MinScrollBarWidth = 40;

    explicit CFolderFrame(QWidget* parent = nullptr);

    // Adds a view in tab order; it stays hidden until shown.
    int addView(QWidget* view);
    // Puts a view in the place of view i, shown if that one was; the old
    // view is deleted once its events are done.
    void replaceView(int index, QWidget* view);
    void setLabels(const QString& labels);
    // -1 keeps the current width.
    void setTabWidth(int width);
    int tabWidth() const { return m_tabWidth; }
    // Selects tab i without telling anyone, as the view commands do.
    void selectTab(int index);
    // Shows view i, hides and disables the others.
    void showView(int index);
    int activeIndex() const { return m_active; }
    QWidget* activeView() const;
    QWidget* view(int index) const;
    QScrollBar* scrollBar(Qt::Orientation orientation) const;
    CFolderTabCtrl* tabStrip() const { return m_tabs; }

signals:
    // The user clicked another tab and its view is now shown.
    void tabActivated(int index);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void layoutChildren();
    void bindScrollBars(QWidget* view);

    std::vector<QWidget*> m_views;
    CFolderTabCtrl* m_tabs = nullptr;
    QScrollBar* m_horizontal = nullptr;
    QScrollBar* m_vertical = nullptr;
    QWidget* m_sizeBox = nullptr;
    int m_tabWidth = 0;
    int m_active = -1;
    QList<QMetaObject::Connection> m_scrollLinks;
};
