#pragma once

#include "app/dialogs/SizeChoiceBox.h"
#include "document/ExportChoices.h"

#include <QDialog>
#include <QImage>

#include <cstdint>
#include <optional>
#include <vector>

class QAbstractButton;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QSpinBox;

// "Video Setup": which frames go into the movie, at what speed, in colour
// or grey, at what size and with which codec.
class VideoSetupDialog : public QDialog {
    Q_OBJECT
public:
    enum class Codec { Uncompressed = 0, MotionJpeg = 1 };

    struct Parameters {
        std::vector<std::uint8_t> include; // one flag a frame
        double frameTime = 66.67;          // milliseconds
        bool colour = true;
        document::SizeMode sizeMode = document::SizeMode::Actual;
        std::int32_t width = 0; // the movie's size for the size choice
        std::int32_t height = 0;
        bool constrain = true;
        int scalingMethod = 0; // 0 nearest neighbour, 1 bilinear
        Codec codec = Codec::Uncompressed;
        bool openVideo = true;
    };

    // What the dialog shows but does not change.
    struct Facts {
        std::int32_t frameWidth = 1; // the rendered frame
        std::int32_t frameHeight = 1;
        double zoom = 1.0;
        double headerFrameTime = 0.0; // 0: the file gives none
        int currentFrame = 0;
        QImage preview; // the current frame as shown, small
    };

    VideoSetupDialog(const Parameters& start, const Facts& facts, QWidget* parent = nullptr);

    // The choices, or none when the dialog was cancelled.
    static std::optional<Parameters> ask(const Parameters& start, const Facts& facts, QWidget* parent);
    Parameters parameters() const;

    QListWidget* frameList() const { return m_frames; }
    QPushButton* includeButton() const { return m_includeButton; }
    QPushButton* excludeButton() const { return m_excludeButton; }
    QComboBox* unitChoice() const { return m_unit; }
    QLineEdit* frameTimeEdit() const { return m_frameTime; }
    QLineEdit* framesPerSecondEdit() const { return m_framesPerSecond; }
    QPushButton* fromHeaderButton() const { return m_fromHeader; }
    QRadioButton* sizeButton(document::SizeMode mode) const { return m_size->modeButton(mode); }
    QSpinBox* widthEdit() const { return m_size->widthPixels(); }
    QSpinBox* heightEdit() const { return m_size->heightPixels(); }
    QSpinBox* widthPercentEdit() const { return m_size->widthPercent(); }
    QSpinBox* heightPercentEdit() const { return m_size->heightPercent(); }
    QComboBox* scalingChoice() const { return m_size->resampleChoice(); }
    QComboBox* codecChoice() const { return m_codec; }
    QPushButton* okButton() const { return m_ok; }

private:
    QWidget* buildFrames();
    QWidget* buildSpeed(const Parameters& start);
    void setIncluded(bool included);
    void showItem(int frame);
    void chooseUnit(int index);
    void followRate(const QLineEdit* typed, QLineEdit* target);
    void updateEnabling();

    Facts m_facts;
    std::vector<std::uint8_t> m_flags;
    QListWidget* m_frames = nullptr;
    QPushButton* m_includeButton = nullptr;
    QPushButton* m_excludeButton = nullptr;
    QComboBox* m_unit = nullptr;
    QLineEdit* m_frameTime = nullptr;
    QLineEdit* m_framesPerSecond = nullptr;
    QPushButton* m_fromHeader = nullptr;
    QRadioButton* m_colour = nullptr;
    QRadioButton* m_grey = nullptr;
    SizeChoiceBox* m_size = nullptr;
    QComboBox* m_codec = nullptr;
    QCheckBox* m_openVideo = nullptr;
    QPushButton* m_ok = nullptr;
    bool m_following = false;
};
