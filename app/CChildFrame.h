#pragma once

#include <QList>
#include <QMdiSubWindow>

#include <functional>
#include <memory>

class CFolderFrame;
class QAction;
class COrvoDoc;
class COrvoList;
class COrvoView;

// One window of a document: a folder frame with the image view under the
// "Frame" tab and the header view under "Header". The window keeps its
// document alive.
class CChildFrame : public QMdiSubWindow {
    Q_OBJECT
public:
    enum class Mode { Image, Header };

    explicit CChildFrame(std::shared_ptr<COrvoDoc> document, QWidget* parent = nullptr);
    ~CChildFrame() override;

    COrvoDoc& document() const { return *m_document; }
    std::shared_ptr<COrvoDoc> sharedDocument() const { return m_document; }
    COrvoView* imageView() const { return m_imageView; }
    // Null until the header tab is first shown.
    COrvoList* headerView() const { return m_headerView; }
    CFolderFrame* folderFrame() const { return m_folder; }
    Mode mode() const { return m_mode; }
    // Asked before the window closes: true lets it close now; false keeps
    // it (the check may close it later, through closeWithoutAsking()).
    void setCloseCheck(std::function<bool(CChildFrame&)> check) { m_closeCheck = std::move(check); }
    // Closes without the check: its question was answered.
    void closeWithoutAsking();

    // Shows another document in this window, with a new image view and
    // header list; the tool and the tab shown stay.
    void replaceDocument(std::shared_ptr<COrvoDoc> document);

    // Actions whose keys act in the image view, this one and those that replace it.
    void setImageViewActions(const QList<QAction*>& actions);

    void showImage();
    void showHeader();

signals:
    // The view shown changed, or the document did: the main frame refreshes.
    void stateChanged();
    // replaceDocument() put another document in this window.
    void documentReplaced();
    void cursorMoved(int column, int row);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    COrvoView* createImageView();

    std::shared_ptr<COrvoDoc> m_document;
    CFolderFrame* m_folder = nullptr;
    COrvoView* m_imageView = nullptr;
    COrvoList* m_headerView = nullptr;
    QList<QAction*> m_imageViewActions;
    Mode m_mode = Mode::Image;
    std::function<bool(CChildFrame&)> m_closeCheck;
    bool m_closeAnswered = false;
};
