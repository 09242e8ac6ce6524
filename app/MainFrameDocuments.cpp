// The main frame's side of the open documents: their windows, the commands
// that act on the active one, and the status panes that describe it.
#include "app/CChildFrame.h"
#include "app/CMainFrame.h"
#include "app/MainFrameActions.h"
#include "app/StatusPanes.h"
#include "app/UnsavedEdits.h"

#include "document/COrvoDoc.h"
#include "imaging/FrameImage.h"
#include "view/COrvoView.h"
#include "view/model/ZoomList.h"

#include <QAction>
#include <QComboBox>
#include <QMdiArea>
#include <QMdiSubWindow>


CChildFrame* CMainFrame::activeChild() const
{
    return qobject_cast<CChildFrame*>(m_mdiArea->activeSubWindow());
}

void CMainFrame::addChildFrame(CChildFrame* child)
{
    m_mdiArea->addSubWindow(child);
    child->setImageViewActions(m_actions->viewKeys());
    child->setCloseCheck([this](CChildFrame& closing) { return mayCloseWindow(*this, closing); });
    connect(child, &CChildFrame::stateChanged, this, [this, child] {
        if (child == activeChild()) {
            updateCommandStates();
            refreshStatusPanes();
        }
    });
    connect(child, &CChildFrame::documentReplaced, this, [this, child] {
        if (child == activeChild())
            emit activeDocumentChanged();
    });
    connect(child, &CChildFrame::cursorMoved, this, [this, child](int column, int row) {
        if (child == activeChild())
            showCursor(column, row);
    });
    connect(child, &QObject::destroyed, this, [this] {
        updateCommandStates();
        refreshStatusPanes();
    });
    child->showMaximized();
    m_mdiArea->setActiveSubWindow(child);
    updateCommandStates();
    refreshStatusPanes();
}

void CMainFrame::childActivated()
{
    CChildFrame* child = activeChild();
    // The main window losing and regaining the focus hands the same child
    // back; only a change of window is an activation.
    if (!child || child == m_lastActiveChild)
        return;
    m_lastActiveChild = child;
    // A frame larger than the window is fitted to it once the view has its size.
    child->imageView()->fitAtNextPaint();
}

void CMainFrame::chooseZoom(const QString& text)
{
    CChildFrame* child = activeChild();
    const imaging::FrameImage* frame = child ? child->document().frame() : nullptr;
    if (frame) {
        const viewmodel::ZoomListChoice choice = viewmodel::parseZoomListEntry(text.toStdString());
        COrvoView* view = child->imageView();
        if (choice.kind == viewmodel::ZoomListChoice::Kind::Factor)
            view->setZoomFactor(choice.zoom);
        else if (choice.kind == viewmodel::ZoomListChoice::Kind::Fit)
            view->zoom(COrvoView::ZoomCommand::Fit);
        view->setFocus();
    }
    // A refused text gives way to the factor in force.
    m_zoomList->clearFocus();
    refreshStatusPanes();
}

void CMainFrame::refreshStatusPanes()
{
    const CChildFrame* child = activeChild();
    const COrvoDoc* doc = child ? &child->document() : nullptr;
    const imaging::FrameImage* frame = doc ? doc->frame() : nullptr;
    double zoomPercent = 100.0;
    if (!doc) {
        m_statusPanes->showNoDocument();
    } else if (!frame) {
        m_statusPanes->showNoFrame();
    } else {
        StatusFacts facts;
        facts.fileDate = doc->fileDate();
        facts.fileSize = doc->fileSize();
        facts.width = frame->width();
        facts.height = frame->height();
        facts.frameCount = doc->frameCount();
        facts.currentFrame = doc->currentFrameIndex();
        m_statusPanes->showFrame(facts);
        m_statusPanes->showCursor(std::nullopt);
        zoomPercent = doc->zoom() * 100.0;
    }
    if (!m_zoomList->hasFocus()) {
        const QString text = QString::asprintf("%.2f%%", zoomPercent);
        int found = m_zoomList->findText(text);
        if (found < 0) {
            m_zoomList->addItem(text);
            found = m_zoomList->count() - 1;
        }
        m_zoomList->setCurrentIndex(found);
    }
}

void CMainFrame::showCursor(int column, int row)
{
    const CChildFrame* child = activeChild();
    const imaging::FrameImage* frame = child ? child->document().frame() : nullptr;
    const auto value = frame && column >= 0 && row >= 0 ? frame->pixelValue(column, row) : std::nullopt;
    if (!value || child->mode() != CChildFrame::Mode::Image) {
        m_statusPanes->showCursor(std::nullopt);
        return;
    }
    CursorFacts facts;
    facts.column = column;
    facts.row = row;
    facts.colour = value->kind != imaging::SampleKind::Grey;
    facts.grey = value->red;
    facts.red = value->red;
    facts.green = value->green;
    facts.blue = value->blue;
    m_statusPanes->showCursor(facts);
}
