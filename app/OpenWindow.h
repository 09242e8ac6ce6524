#pragma once

#include <QDialog>

class QLabel;

// The small captionless window shown while a file opens; on failure it
// shows the reader's message for a moment instead of a message box.
class OpenWindow : public QDialog {
    Q_OBJECT
public:
    static constexpr int FailureDisplayMs = 1500;

    explicit OpenWindow(const QString& path, QWidget* parent = nullptr);

    // Shows the message, keeps the window up for FailureDisplayMs, then closes.
    void showFailure(const QString& message);
    QString message() const;

private:
    QLabel* m_title = nullptr;
    QLabel* m_message = nullptr;
};
