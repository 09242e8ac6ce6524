#pragma once

#include "view/model/AutoScroll.h"

#include <QWidget>

class COrvoView;
class QTimer;

// The round marker of the middle-button auto-scroll: it sits where the
// button was pressed and, while the cursor is away from it, scrolls the view
// towards the cursor a little every tick. Any press, wheel turn or focus loss
// closes it; it deletes itself then.
class AutoScrollMarker final : public QWidget {
    Q_OBJECT
public:
    AutoScrollMarker(COrvoView& view, viewmodel::AutoScrollMode mode, QPoint at);

    static constexpr int Side = 36;
    static constexpr int TickMilliseconds = 10;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void tick();

    COrvoView& m_view;
    viewmodel::AutoScrollMode m_mode;
    QTimer* m_timer = nullptr;
};
