#pragma once

#include <QColor>
#include <QObject>
#include <QPixmap>

class QMdiArea;

// What lies behind the document windows: the background colour, or the
// background pictures (a tile repeated from the top-left corner, with a
// picture centred and one in the bottom-right corner where they fit).
class MdiBackground : public QObject {
public:
    enum class Pictures { Off, On };

    // Paints `area` with `colour`, or with the pictures when they are on and
    // could be loaded.
    static void apply(QMdiArea& area, const QColor& colour, Pictures pictures);
    // Whether `area` shows the pictures now.
    static bool showsPictures(const QMdiArea& area);

    static QString tilePath() { return QStringLiteral(":/background/tile.png"); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit MdiBackground(QMdiArea& area);
    void paint();

    QMdiArea& m_area;
    QColor m_colour;
    bool m_pictures = false;
    QPixmap m_tile;
    QPixmap m_centre;
    QPixmap m_corner;
};
