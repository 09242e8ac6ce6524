#pragma once

#include <QDialog>

#include <optional>

class QComboBox;
class QLineEdit;
class QPushButton;

// "Video Speed Setup": the movie's frame time, typed as milliseconds or as
// frames per second, each edit following the other.
class VideoSpeedDialog : public QDialog {
    Q_OBJECT
public:
    struct Parameters {
        double frameTime = 0.0; // milliseconds
    };

    VideoSpeedDialog(double frameTime, double headerFrameTime, QWidget* parent = nullptr);

    // The frame time chosen, or none when the dialog was cancelled.
    static std::optional<Parameters> ask(double frameTime, double headerFrameTime, QWidget* parent);
    Parameters parameters() const;

    QComboBox* unitChoice() const { return m_unit; }
    QLineEdit* frameTimeEdit() const { return m_frameTime; }
    QLineEdit* framesPerSecondEdit() const { return m_framesPerSecond; }
    QPushButton* fromHeaderButton() const { return m_fromHeader; }

private:
    void chooseUnit(int index);
    // Shows in `target` the rate that `typed` gives, without echoing back.
    void follow(const QLineEdit* typed, QLineEdit* target);

    QComboBox* m_unit = nullptr;
    QLineEdit* m_frameTime = nullptr;
    QLineEdit* m_framesPerSecond = nullptr;
    QPushButton* m_fromHeader = nullptr;
    bool m_following = false;
};
