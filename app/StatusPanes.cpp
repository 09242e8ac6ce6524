#include "app/StatusPanes.h"

#include "view/model/ShellLayout.h"

#include <QEvent>
#include <QFontMetrics>
#include <QLabel>
#include <QStatusBar>
#include <QStyle>

#include <algorithm>

namespace {

// Texts that size each pane, wide enough for the values they stand for.
constexpr const char* Placeholders[StatusPanes::PaneCount] = {
    "00/00/0000", "000000KB", "0000x0000", "000 (000)", "000", "XPos", "YPos", "R:000 G:000 B:000",
};

// The panes leave the message area room for a command's prompt of about this
// many characters before they start to give way.
constexpr int MessageRoomChars = 24;

// Hides the panes that do not fit the bar's width, so that a narrow window
// shows fewer panes instead of panes drawn over each other.
class PaneFitter : public QObject {
public:
    PaneFitter(QStatusBar& bar, const std::array<QLabel*, StatusPanes::PaneCount>& labels)
        : QObject(&bar)
        , m_bar(bar)
        , m_labels(labels)
    {
        bar.installEventFilter(this);
    }

    void fit()
    {
        // The layout's spacing and the size grip take their share first.
        const int spacing = m_bar.style()->pixelMetric(QStyle::PM_LayoutHorizontalSpacing, nullptr, &m_bar);
        std::array<int, StatusPanes::PaneCount> widths {};
        for (std::size_t i = 0; i < widths.size(); ++i)
            widths[i] = m_labels[i]->minimumWidth() + std::max(spacing, 4);
        const int grip = m_bar.isSizeGripEnabled() ? m_bar.style()->pixelMetric(QStyle::PM_SizeGripSize) : 0;
        const int room = m_bar.width() - grip - 8;
        const int message = m_bar.fontMetrics().averageCharWidth() * MessageRoomChars;
        std::size_t first = viewmodel::firstFittingPane(widths, room - message);
        // The pixel under the cursor stays longest, prompt or not.
        first = std::min(first, std::max(viewmodel::firstFittingPane(widths, room), widths.size() - 1));
        for (std::size_t i = 0; i < widths.size(); ++i)
            m_labels[i]->setVisible(i >= first);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == &m_bar && event->type() == QEvent::Resize)
            fit();
        return false;
    }

private:
    QStatusBar& m_bar;
    std::array<QLabel*, StatusPanes::PaneCount> m_labels;
};

} // namespace

StatusPanes::StatusPanes(QStatusBar& bar)
{
    // Pane 1 shows the bar's messages, a command's prompt among them; the
    // bar hides this text while one shows and brings it back after.
    m_idle = new QLabel(QObject::tr("Ready"), &bar);
    m_idle->setObjectName(QStringLiteral("statusIdle"));
    bar.addWidget(m_idle, 1);
    for (int i = 0; i < PaneCount; ++i) {
        auto* label = new QLabel(&bar);
        label->setObjectName(QStringLiteral("statusPane%1").arg(i + 2));
        label->setAlignment(Qt::AlignCenter);
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        const int margin = 2 * label->frameWidth() + 8;
        label->setMinimumWidth(label->fontMetrics().horizontalAdvance(QString::fromLatin1(Placeholders[i])) + margin);
        bar.addPermanentWidget(label);
        m_labels[static_cast<std::size_t>(i)] = label;
    }
    (new PaneFitter(bar, m_labels))->fit(); // owned by the bar
    showNoDocument();
}

QString StatusPanes::placeholder(Pane pane) { return QString::fromLatin1(Placeholders[pane]); }

std::array<QString, 5> StatusPanes::frameTexts(const StatusFacts& f)
{
    return {
        f.fileDate,
        QString::asprintf("%lldKB", static_cast<long long>(f.fileSize / 1024)),
        QString::asprintf("%dx%d", f.width, f.height),
        QString::asprintf("%03d", f.frameCount),
        QString::asprintf("%4d", f.currentFrame + 1),
    };
}

std::array<QString, 3> StatusPanes::cursorTexts(const CursorFacts& c)
{
    return {
        QString::asprintf("%04d", c.column),
        QString::asprintf("%04d", c.row),
        c.colour ? QString::asprintf("R:%d G:%d B:%d", c.red, c.green, c.blue) : QString::asprintf("%d", c.grey),
    };
}

void StatusPanes::showNoDocument()
{
    for (QLabel* label : m_labels)
        label->setText(QStringLiteral(" "));
}

void StatusPanes::showNoFrame()
{
    for (QLabel* label : m_labels)
        label->clear();
}

void StatusPanes::showFrame(const StatusFacts& facts)
{
    const auto texts = frameTexts(facts);
    for (std::size_t i = 0; i < texts.size(); ++i)
        m_labels[i]->setText(texts[i]);
}

void StatusPanes::showCursor(const std::optional<CursorFacts>& cursor)
{
    if (!cursor) {
        for (int pane : { CursorX, CursorY, PixelValue })
            m_labels[static_cast<std::size_t>(pane)]->clear();
        return;
    }
    const auto texts = cursorTexts(*cursor);
    m_labels[CursorX]->setText(texts[0]);
    m_labels[CursorY]->setText(texts[1]);
    m_labels[PixelValue]->setText(texts[2]);
}

QString StatusPanes::text(Pane pane) const { return m_labels[static_cast<std::size_t>(pane)]->text(); }
