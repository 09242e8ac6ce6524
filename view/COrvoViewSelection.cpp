// The image view's side of the selection: the crawling outline, the keys
// that edit the selection and the context menu of the selecting tools.

#include "view/COrvoView.h"

#include "document/COrvoDoc.h"
#include "imaging/FrameImage.h"
#include "view/SelectionEdits.h"
#include "view/model/SelectionDrag.h"
#include "view/model/ToolContextMenu.h"
#include "view/tools/ViewTool.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QPointer>
#include <QPolygon>
#include <QTimer>

#include <map>
#include <optional>
#include <string_view>

namespace {

std::optional<selectionedits::Edit> editOf(viewmodel::MenuItem item)
{
    switch (item) {
    case viewmodel::MenuItem::Clear: return selectionedits::Edit::Clear;
    case viewmodel::MenuItem::InverseSelection: return selectionedits::Edit::InverseSelection;
    case viewmodel::MenuItem::Unselect: return selectionedits::Edit::Unselect;
    case viewmodel::MenuItem::CropToSelection: return selectionedits::Edit::CropToSelection;
    default: return std::nullopt; // the copy items: the shell's clipboard commands
    }
}

} // namespace

void COrvoView::updateOutlineTimer()
{
    const imaging::FrameImage* frame = m_document.frame();
    // A drag repaints the view itself, and the outline holds still under it.
    const bool crawl = isVisible() && frame && frame->hasSelection() && !(m_toolHandler && m_toolHandler->dragging());
    if (!crawl) {
        if (m_outlineTimer)
            m_outlineTimer->stop();
        return;
    }
    if (!m_outlineTimer) {
        m_outlineTimer = new QTimer(this);
        m_outlineTimer->setInterval(viewmodel::OutlineTickMilliseconds);
        connect(m_outlineTimer, &QTimer::timeout, this, &COrvoView::advanceOutline);
    }
    if (!m_outlineTimer->isActive())
        m_outlineTimer->start();
}

void COrvoView::advanceOutline()
{
    const imaging::FrameImage* frame = m_document.frame();
    if (!frame || !frame->hasSelection()) {
        updateOutlineTimer();
        return;
    }
    m_outlinePhase = viewmodel::nextOutlinePhase(m_outlinePhase);
    // Only the outline's box is painted again.
    const imaging::RegionBox box = frame->selectionBox(m_document.zoom());
    const QRect around = QRect(QPoint(box.left, box.top), QPoint(box.right, box.bottom));
    viewport()->update(around.translated(computeImageRect().topLeft()));
}

void COrvoView::paintSelectionOutline(QPainter& painter)
{
    const imaging::FrameImage* frame = m_document.frame();
    if (!frame || !frame->hasSelection())
        return;
    const QPoint origin = m_imageRect.topLeft();
    const QRect shown = viewport()->rect();
    QPolygon white;
    QPolygon black;
    for (const imaging::OutlinePoint& p : frame->selectionOutline(m_document.zoom())) {
        const QPoint at(origin.x() + p.x, origin.y() + p.y);
        if (!shown.contains(at))
            continue;
        // The stripes are fixed to the outline, so they crawl but do not slide while scrolling.
        (viewmodel::isOutlineStripeWhite({ p.x, p.y }, m_outlinePhase) ? white : black).append(at);
    }
    painter.setPen(QPen(Qt::white, 0));
    painter.drawPoints(white);
    painter.setPen(QPen(Qt::black, 0));
    painter.drawPoints(black);
}

bool COrvoView::selectionKey(QKeyEvent* event)
{
    // "I" is the Edit menu's key, bound to this view by the main window.
    if (event->key() != Qt::Key_Delete)
        return false;
    selectionedits::apply(m_document, selectionedits::Edit::Clear);
    event->accept();
    return true;
}

void COrvoView::contextMenuEvent(QContextMenuEvent* event)
{
    constexpr int offset = viewmodel::KeyboardMenuOffset;
    const bool keyboard = event->reason() == QContextMenuEvent::Keyboard;
    const QPoint local = keyboard ? QPoint(offset, offset) : viewport()->mapFromGlobal(event->globalPos());
    const QPoint at = viewport()->mapToGlobal(local);
    const viewmodel::ContextMenu kind = m_document.frame()
        ? viewmodel::contextMenuFor(m_tool, viewmodel::OverlayHit::Nothing)
        : viewmodel::ContextMenu::None;
    if (kind != viewmodel::ContextMenu::Selection) {
        if (m_document.frame() && overlayContextMenu(local, at))
            event->accept();
        else
            QAbstractScrollArea::contextMenuEvent(event);
        return;
    }
    event->accept();
    // No parent: the menu runs its own loop, during which the view may close.
    QMenu menu;
    std::map<const QAction*, QPointer<QAction>> commands;
    for (const viewmodel::MenuItem item : viewmodel::menuItems(kind)) {
        if (item == viewmodel::MenuItem::Separator) {
            menu.addSeparator();
            continue;
        }
        const std::string_view text = viewmodel::menuItemText(item);
        QAction* action = menu.addAction(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
        if (const std::optional<selectionedits::Edit> edit = editOf(item)) {
            action->setEnabled(selectionedits::canApply(m_document, *edit));
            action->setData(static_cast<int>(*edit));
            continue;
        }
        const auto found = m_menuCommands.find(item);
        QAction* command = found != m_menuCommands.end() ? found->second.data() : nullptr;
        action->setEnabled(command && command->isEnabled());
        if (command)
            commands.emplace(action, command);
    }
    const QPointer<COrvoView> alive(this);
    const QAction* chosen = menu.exec(at);
    if (!alive || !chosen)
        return;
    if (const auto command = commands.find(chosen); command != commands.end()) {
        if (command->second)
            command->second->trigger();
        return;
    }
    selectionedits::apply(m_document, static_cast<selectionedits::Edit>(chosen->data().toInt()));
}

void COrvoView::showEvent(QShowEvent* event)
{
    QAbstractScrollArea::showEvent(event);
    updateOutlineTimer();
}
