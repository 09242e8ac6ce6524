#include "app/CChildFrame.h"

#include "app/CFolderFrame.h"
#include "document/COrvoDoc.h"
#include "view/COrvoList.h"
#include "view/COrvoView.h"

CChildFrame::CChildFrame(std::shared_ptr<COrvoDoc> document, QWidget* parent)
    : QMdiSubWindow(parent)
    , m_document(std::move(document))
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(m_document->fileTitle());
    m_folder = new CFolderFrame(this);
    m_imageView = new COrvoView(*m_document, m_folder);
    m_imageView->fitWhenFirstShown();
    m_folder->addView(m_imageView);
    // The header list comes with its tab's first showing: most windows are
    // never switched to it, and building it (its font, its style sheet) is a
    // good part of what opening a window costs.
    m_folder->setLabels(tr("Frame\nHeader"));
    setWidget(m_folder);
    m_folder->showView(0);
    connect(m_folder, &CFolderFrame::tabActivated, this, [this](int index) {
        if (index == 0)
            showImage();
        else
            showHeader();
    });
    connect(m_document.get(), &COrvoDoc::changed, this, &CChildFrame::stateChanged);
    connect(m_imageView, &COrvoView::cursorMoved, this, &CChildFrame::cursorMoved);
    connect(m_imageView, &COrvoView::zoomChanged, this, &CChildFrame::stateChanged);
    connect(m_imageView, &COrvoView::movieChanged, this, &CChildFrame::stateChanged);
}

CChildFrame::~CChildFrame() = default;

void CChildFrame::showImage()
{
    m_folder->showView(0);
    m_imageView->updateScrollRanges();
    m_mode = Mode::Image;
    emit stateChanged();
}

void CChildFrame::showHeader()
{
    if (!m_headerView) {
        m_headerView = new COrvoList(*m_document, m_folder);
        m_folder->addView(m_headerView);
    }
    m_headerView->fill();
    m_folder->showView(1);
    m_mode = Mode::Header;
    emit stateChanged();
}
