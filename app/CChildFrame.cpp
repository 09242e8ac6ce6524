#include "app/CChildFrame.h"

#include "app/CFolderFrame.h"
#include "app/dialogs/AnnotationDialog.h"
#include "document/COrvoDoc.h"
#include "view/COrvoList.h"
#include "view/COrvoView.h"

#include <QCloseEvent>

CChildFrame::CChildFrame(std::shared_ptr<COrvoDoc> document, QWidget* parent)
    : QMdiSubWindow(parent)
    , m_document(std::move(document))
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(m_document->fileTitle());
    m_folder = new CFolderFrame(this);
    m_imageView = createImageView();
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
}

COrvoView* CChildFrame::createImageView()
{
    auto* view = new COrvoView(*m_document, m_folder);
    view->fitAtNextPaint();
    view->setAnnotationPrompt(&AnnotationDialog::prompt);
    connect(m_document.get(), &COrvoDoc::changed, this, &CChildFrame::stateChanged);
    connect(m_document.get(), &COrvoDoc::zoomChanged, this, &CChildFrame::stateChanged);
    connect(m_document.get(), &COrvoDoc::overlaysChanged, this, &CChildFrame::stateChanged);
    connect(view, &COrvoView::cursorMoved, this, &CChildFrame::cursorMoved);
    connect(view, &COrvoView::zoomChanged, this, &CChildFrame::stateChanged);
    connect(view, &COrvoView::movieChanged, this, &CChildFrame::stateChanged);
    return view;
}

void CChildFrame::replaceDocument(std::shared_ptr<COrvoDoc> document)
{
    const viewmodel::Tool tool = m_imageView->playingMovie() ? viewmodel::Tool::PanHand : m_imageView->currentTool();
    COrvoView* oldView = m_imageView;
    QWidget* oldList = m_headerView;
    disconnect(m_document.get(), nullptr, this, nullptr);
    // The old views hold the old document until they are gone.
    for (QWidget* old : { static_cast<QWidget*>(oldView), oldList }) {
        if (old)
            connect(old, &QObject::destroyed, [keep = m_document] {});
    }
    oldView->disconnect(this);
    m_document = std::move(document);
    setWindowTitle(m_document->fileTitle());
    m_imageView = createImageView();
    m_imageView->selectTool(tool);
    m_imageView->addActions(m_imageViewActions);
    m_folder->replaceView(0, m_imageView);
    if (m_headerView) {
        m_headerView = new COrvoList(*m_document, m_folder);
        m_folder->replaceView(1, m_headerView);
        if (m_mode == Mode::Header)
            m_headerView->fill();
    }
    emit documentReplaced();
    emit stateChanged();
}

CChildFrame::~CChildFrame() = default;

void CChildFrame::closeEvent(QCloseEvent* event)
{
    if (!m_closeAnswered && m_closeCheck && !m_closeCheck(*this)) {
        event->ignore();
        return;
    }
    QMdiSubWindow::closeEvent(event);
}

void CChildFrame::closeWithoutAsking()
{
    m_closeAnswered = true;
    // Something else may still refuse; the next close asks again then.
    if (!close())
        m_closeAnswered = false;
}

void CChildFrame::setImageViewActions(const QList<QAction*>& actions)
{
    m_imageViewActions = actions;
    m_imageView->addActions(actions);
}

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
