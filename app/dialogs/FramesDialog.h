#pragma once

#include <QDialog>
#include <QImage>
#include <QSize>

#include <vector>

class COrvoDoc;
class QAbstractButton;
class QLabel;

// "Frames": every frame of a document as a thumbnail button, all scaled by
// one factor as large as the dialog allows; a click makes that frame the
// document's current frame.
class FramesDialog : public QDialog {
    Q_OBJECT
public:
    explicit FramesDialog(COrvoDoc& document, QWidget* parent = nullptr);

    // Shows the dialog modally; the frame chosen last stays current.
    static void showFrames(COrvoDoc& document, QWidget* parent);

    const std::vector<QAbstractButton*>& thumbnails() const { return m_buttons; }
    QLabel* currentFrameText() const { return m_currentText; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildThumbnails();
    void layoutThumbnails();
    void choose(int frame);
    void refresh();

    COrvoDoc& m_document;
    QWidget* m_area = nullptr;
    QLabel* m_currentText = nullptr;
    std::vector<QAbstractButton*> m_buttons;
    // The largest frame width and height: every thumbnail takes one factor from it.
    QSize m_largest;
};
