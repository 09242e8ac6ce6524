#pragma once

#include <QList>
#include <QString>

#include <array>
#include <optional>

class QLabel;
class QStatusBar;

// What the status bar says about the active document's current frame.
struct StatusFacts {
    QString fileDate;
    qint64 fileSize = 0;
    int width = 0;
    int height = 0;
    int frameCount = 0;
    int currentFrame = 0; // 0-based
};

// The pixel under the cursor: grey frames have one value, colour frames three.
struct CursorFacts {
    int column = 0;
    int row = 0;
    bool colour = false;
    int grey = 0;
    int red = 0;
    int green = 0;
    int blue = 0;
};

// Panes 2 to 9 of the status bar, and the idle text of pane 1 (the status
// bar's own message area). Texts are built with C formatting so they never follow the locale.
class StatusPanes {
public:
    static constexpr int PaneCount = 8;
    enum Pane { FileDate, FileSize, FrameSize, FrameCount, FrameNumber, CursorX, CursorY, PixelValue };

    explicit StatusPanes(QStatusBar& bar);

    // No active document: every pane shows one blank.
    void showNoDocument();
    // A document without a current frame: the document panes are emptied.
    void showNoFrame();
    void showFrame(const StatusFacts& facts);
    void showCursor(const std::optional<CursorFacts>& cursor);

    QString text(Pane pane) const;
    QLabel* label(Pane pane) const { return m_labels[static_cast<std::size_t>(pane)]; }
    // "Ready", shown in pane 1 while no message is.
    QLabel* idleLabel() const { return m_idle; }

    static std::array<QString, 5> frameTexts(const StatusFacts& facts);
    static std::array<QString, 3> cursorTexts(const CursorFacts& cursor);
    static QString placeholder(Pane pane);

private:
    std::array<QLabel*, PaneCount> m_labels {};
    QLabel* m_idle = nullptr;
};
