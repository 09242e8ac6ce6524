#include "app/dialogs/FramesDialog.h"

#include "document/COrvoDoc.h"
#include "imaging/DisplayBitmap.h"
#include "imaging/FrameImage.h"
#include "view/FramePicture.h"
#include "view/model/ThumbnailGrid.h"

#include <QAbstractButton>
#include <QDialogButtonBox>
#include <QEvent>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

// Thumbnails are made once at this size at most and drawn larger or smaller
// as the dialog is resized; a larger picture would cost memory for a detail
// no grid cell shows.
constexpr int ThumbnailSide = 192;
constexpr int Spacing = 4;

// One frame's picture, drawn in its cell at the grid's scale; the current
// frame is outlined.
class ThumbnailButton : public QAbstractButton {
public:
    ThumbnailButton(QImage picture, QSize frameSize, QWidget* parent)
        : QAbstractButton(parent)
        , m_picture(std::move(picture))
        , m_frameSize(frameSize)
    {
        setCheckable(true);
        setObjectName(QStringLiteral("thumbnail"));
    }

    void setScale(double scale)
    {
        m_scale = scale;
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::black);
        const QSize shown(static_cast<int>(m_frameSize.width() * m_scale),
            static_cast<int>(m_frameSize.height() * m_scale));
        QRect target(QPoint(), shown);
        target.moveCenter(rect().center());
        painter.drawImage(target, m_picture);
        if (isChecked()) {
            painter.setPen(QPen(palette().color(QPalette::Highlight), 3));
            painter.drawRect(rect().adjusted(1, 1, -2, -2));
        }
    }

private:
    QImage m_picture;
    QSize m_frameSize;
    double m_scale = 0.0;
};

// The view's picture of a frame, reduced by `factor` without blending: a
// long series must open its dialog without delay.
QImage thumbnailOf(const imaging::DisplayBitmap& bitmap, double factor)
{
    const QSize size(std::max(1, static_cast<int>(std::lround(bitmap.width() * factor))),
        std::max(1, static_cast<int>(std::lround(bitmap.height() * factor))));
    return framePicture(bitmap).scaled(size, Qt::IgnoreAspectRatio, Qt::FastTransformation);
}

} // namespace

FramesDialog::FramesDialog(COrvoDoc& document, QWidget* parent)
    : QDialog(parent)
    , m_document(document)
{
    setWindowTitle(tr("Frames"));
    setSizeGripEnabled(true);
    m_area = new QWidget(this);
    m_area->installEventFilter(this);
    m_currentText = new QLabel(this);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_area, 1);
    layout->addWidget(m_currentText);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    buildThumbnails();
    refresh();
    resize(720, 560);
}

void FramesDialog::buildThumbnails()
{
    const int count = m_document.frameCount();
    for (int i = 0; i < count; ++i) {
        const imaging::FrameImage* frame = m_document.frame(i);
        m_largest = m_largest.expandedTo(QSize(frame->width(), frame->height()));
    }
    const int side = std::max(m_largest.width(), m_largest.height());
    const double factor = side > ThumbnailSide ? static_cast<double>(ThumbnailSide) / side : 1.0;
    for (int i = 0; i < count; ++i) {
        imaging::FrameImage* frame = m_document.frame(i);
        const bool wasCurrent = i == m_document.currentFrameIndex();
        const imaging::DisplayBitmap* bitmap = frame->displayBitmap();
        QImage picture = bitmap && !bitmap->isNull() ? thumbnailOf(*bitmap, factor) : QImage();
        // Only the frame on screen keeps its bitmap, as after loading.
        if (!wasCurrent)
            frame->releaseDisplayBitmap();
        auto* button = new ThumbnailButton(std::move(picture), QSize(frame->width(), frame->height()), m_area);
        button->setToolTip(QString::number(i + 1));
        connect(button, &QAbstractButton::clicked, this, [this, i] { choose(i); });
        m_buttons.push_back(button);
    }
}

bool FramesDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_area && event->type() == QEvent::Resize)
        layoutThumbnails();
    return QDialog::eventFilter(watched, event);
}

void FramesDialog::layoutThumbnails()
{
    const auto grid = viewmodel::thumbnailGrid(static_cast<int>(m_buttons.size()), m_largest.width(),
        m_largest.height(), { m_area->width(), m_area->height(), Spacing });
    if (grid.columns == 0) {
        for (QAbstractButton* button : m_buttons)
            button->hide();
        return;
    }
    const QSize cell(static_cast<int>(m_largest.width() * grid.scale), static_cast<int>(m_largest.height() * grid.scale));
    // The grid sits in the middle of the area.
    const QPoint origin((m_area->width() - grid.columns * (cell.width() + Spacing) - Spacing) / 2 + Spacing,
        (m_area->height() - grid.rows * (cell.height() + Spacing) - Spacing) / 2 + Spacing);
    for (std::size_t i = 0; i < m_buttons.size(); ++i) {
        const int column = static_cast<int>(i) % grid.columns;
        const int row = static_cast<int>(i) / grid.columns;
        auto* button = static_cast<ThumbnailButton*>(m_buttons[i]);
        button->setGeometry(QRect(origin + QPoint(column * (cell.width() + Spacing), row * (cell.height() + Spacing)), cell));
        button->setScale(grid.scale);
        button->show();
    }
}

void FramesDialog::choose(int frame)
{
    m_document.setCurrentFrame(frame);
    refresh();
}

void FramesDialog::refresh()
{
    const int current = m_document.currentFrameIndex();
    m_currentText->setText(tr("Current frame:") + QStringLiteral(" %1").arg(current + 1, 4, 10, QLatin1Char('0')));
    for (std::size_t i = 0; i < m_buttons.size(); ++i)
        m_buttons[i]->setChecked(static_cast<int>(i) == current);
}

void FramesDialog::showFrames(COrvoDoc& document, QWidget* parent)
{
    FramesDialog dialog(document, parent);
    dialog.exec();
}
