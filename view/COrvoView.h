#pragma once

#include "document/UserOptions.h"
#include "view/OverlayEdits.h"
#include "view/model/CineSchedule.h"
#include "view/model/Tool.h"
#include "view/model/ViewTransform.h"
#include "view/model/ZoomHistory.h"

#include <QAbstractScrollArea>
#include <QAction>
#include <QColor>
#include <QElapsedTimer>
#include <QImage>
#include <QPointer>
#include <QRect>

#include <map>
#include <memory>
#include <optional>

class AutoScrollMarker;
class COrvoDoc;
class QPainter;
class QTimer;
class ViewTool;
struct ToolEvent;

// The image view: the current frame's display bitmap stretched by the
// document's zoom factor, centred on the background colour.
class COrvoView : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit COrvoView(COrvoDoc& document, QWidget* parent = nullptr);
    ~COrvoView() override;

    COrvoDoc& document() const { return m_document; }
    void setBackgroundColour(document::ColorRef colour);
    QColor backgroundColour() const { return m_background; }
    // Where the frame was last drawn, in viewport coordinates; the tools map
    // the mouse through it.
    QRect displayedImageRect() const { return m_imageRect; }
    // The layout paint uses, without painting.
    QRect computeImageRect() const;
    // The current frame at the document's zoom in this viewport, scrolled
    // as the scroll bars say.
    viewmodel::ViewTransform transform() const;
    void updateScrollRanges();
    // What the left button does over the frame; a drag under way ends first.
    void selectTool(viewmodel::Tool tool);
    viewmodel::Tool currentTool() const { return m_tool; }
    // The current frame's display bitmap changed: the cached picture goes.
    void frameChanged();
    // Shows the cursor the current tool wants where the mouse is now.
    void updateCursor();

    // The zoom commands. Each sets the document's factor, keeps the scroll
    // position inside its range and records the view in the zoom history;
    // false where the command has nothing to do.
    enum class ZoomCommand { StepIn, StepOut, Fit, ActualSize, Back, Forward };
    bool zoom(ZoomCommand command);
    bool canZoom(ZoomCommand command) const;
    // A factor chosen from the zoom list, recorded like a command's.
    void setZoomFactor(float factor);
    const viewmodel::ZoomHistory& zoomHistory() const { return m_zoomHistory; }

    // The zoom tools' steps. setZoomAndScroll sets the factor and the scroll
    // position, kept inside the new range, and records the view when asked.
    enum class ZoomRecord { No, Yes };
    void setZoomAndScroll(float factor, viewmodel::Point scroll, ZoomRecord record);
    // Sets the factor keeping image pixel `pixel` under viewport point `at`
    // as far as the scroll range allows, without a record.
    void zoomAbout(float factor, viewmodel::Point pixel, viewmodel::Point at);
    // Records the present factor and scroll position in the zoom history.
    void recordZoom();
    // The next paint that shows a frame larger than the window fits it in,
    // once; the shell asks this when the view's window is activated.
    void fitAtNextPaint()
    {
        m_fitPending = true;
        viewport()->update();
    }
    viewmodel::Point scrollPosition() const;

    // The cine loop: plays forward or backward through the frames, wrapping
    // at either end, frame k due k frame times after the start. The
    // same command again, the other direction's command, ESC, a left press
    // or a tool change stop it, and the frame it started from comes back.
    enum class Movie { Forward, Backward };
    void playMovie(Movie direction);
    bool canPlayMovie() const;
    bool playingMovie() const { return viewmodel::isMovieTool(m_tool); }

    // The shell's command behind a context-menu item the view does not run
    // itself (the copies to the clipboard): the item is enabled as the
    // command is and runs it.
    void setMenuCommand(viewmodel::MenuItem item, QAction* command) { m_menuCommands[item] = command; }

    // The shell's annotation dialog, which the text tool and "&Edit..." open.
    void setAnnotationPrompt(overlayedits::AnnotationPrompt prompt) { m_annotationPrompt = std::move(prompt); }
    // Asks for a new annotation whose text's bottom-left corner goes to a
    // viewport point on the frame.
    void addAnnotationAt(viewmodel::Point viewport);
    // Asks for the new text, font and colour of annotation `index` of the
    // current frame.
    void editAnnotation(std::size_t index);

signals:
    // The cursor moved over the frame (column, row) or left it (-1, -1).
    void cursorMoved(int column, int row);
    // A paint put the current frame on the screen.
    void framePainted();
    // The zoom factor or the zoom history changed.
    void zoomChanged();
    // A movie started, stopped or turned round.
    void movieChanged();
    // A level-window drag shows a window on the current frame that the
    // release has yet to make an edit of.
    void windowPreviewed();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    COrvoDoc& m_document;
    QColor m_background;
    QRect m_imageRect;
    QImage m_frameCache;
    viewmodel::Tool m_tool = viewmodel::Tool::PanHand;
    std::unique_ptr<ViewTool> m_toolHandler;

    viewmodel::ZoomHistory m_zoomHistory;
    bool m_fitPending = false;
    QPointer<AutoScrollMarker> m_autoScroll;
    QTimer* m_movieTimer = nullptr;
    int m_movieStart = 0;
    QElapsedTimer m_movieClock;
    viewmodel::CineSchedule m_movieSchedule;

    void stopMovie();
    void stepMovie();
    void scheduleMovieStep();

    // The selection outline crawls while the current frame has a selection,
    // the view is shown and no drag is under way.
    QTimer* m_outlineTimer = nullptr;
    int m_outlinePhase = 0;
    void updateOutlineTimer();
    void advanceOutline();
    void paintSelectionOutline(QPainter& painter);
    // Delete clears the selected area.
    bool selectionKey(QKeyEvent* event);

    std::map<viewmodel::MenuItem, QPointer<QAction>> m_menuCommands;
    overlayedits::AnnotationPrompt m_annotationPrompt;
    std::optional<QFont> m_lastAnnotationFont;
    std::optional<overlayedits::AnnotationAnswer> askAnnotation(const overlayedits::AnnotationRequest& request);
    void paintOverlays(QPainter& painter);
    // The overlay under a context-menu point and its menu; false when none.
    bool overlayContextMenu(QPoint at, QPoint global);
    void applyOverlayMenuItem(viewmodel::MenuItem item, overlayedits::OverlayRef ref);

    ToolEvent toolEvent(const QMouseEvent& event) const;
    ToolEvent toolEvent(QPoint at, Qt::KeyboardModifiers keys) const;
    // The current frame's display bitmap, converted once for painting.
    const QImage& framePixmap();
    std::optional<float> zoomFor(ZoomCommand command) const;
    void applyZoom(float factor, viewmodel::ZoomCause cause);
    void fitIfPending();
    // The middle button's marker; a press while it is open only closes it.
    void openAutoScroll(QPoint at);
    bool closeAutoScroll();
    void endDrag();
};
