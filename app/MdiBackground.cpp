#include "app/MdiBackground.h"

#include "view/model/WindowPlacement.h"

#include <QEvent>
#include <QMdiArea>
#include <QPainter>

// The pictures are compiled into the shell's library, which nothing else
// references: the resource must be registered by name.
static void registerBackgroundPictures()
{
    Q_INIT_RESOURCE(background);
}

MdiBackground::MdiBackground(QMdiArea& area)
    : QObject(&area)
    , m_area(area)
{
    setObjectName(QStringLiteral("MdiBackground"));
    registerBackgroundPictures();
    m_tile.load(tilePath());
    m_centre.load(QStringLiteral(":/background/centre.png"));
    m_corner.load(QStringLiteral(":/background/corner.png"));
    area.viewport()->installEventFilter(this);
}

void MdiBackground::apply(QMdiArea& area, const QColor& colour, Pictures pictures)
{
    auto* background = area.findChild<MdiBackground*>(QStringLiteral("MdiBackground"), Qt::FindDirectChildrenOnly);
    if (!background)
        background = new MdiBackground(area);
    background->m_colour = colour;
    background->m_pictures = pictures == Pictures::On && !background->m_tile.isNull();
    background->paint();
}

bool MdiBackground::showsPictures(const QMdiArea& area)
{
    const auto* background
        = area.findChild<MdiBackground*>(QStringLiteral("MdiBackground"), Qt::FindDirectChildrenOnly);
    return background && background->m_pictures;
}

bool MdiBackground::eventFilter(QObject* watched, QEvent* event)
{
    // The centre and corner pictures follow the area's size.
    if (m_pictures && watched == m_area.viewport() && event->type() == QEvent::Resize)
        paint();
    return false;
}

void MdiBackground::paint()
{
    if (!m_pictures) {
        m_area.setBackground(m_colour);
        return;
    }
    const QSize size = m_area.viewport()->size().expandedTo(QSize(1, 1));
    QPixmap picture(size);
    QPainter painter(&picture);
    painter.fillRect(picture.rect(), QBrush(m_tile));
    const auto places = viewmodel::backgroundPlaces(size.width(), size.height(), m_centre.width(), m_centre.height(),
                                                    m_corner.width(), m_corner.height());
    if (places.centre && !m_centre.isNull())
        painter.drawPixmap(places.centre->x, places.centre->y, m_centre);
    if (places.corner && !m_corner.isNull())
        painter.drawPixmap(places.corner->x, places.corner->y, m_corner);
    painter.end();
    // As large as the area, so the brush never repeats it.
    m_area.setBackground(QBrush(picture));
}
