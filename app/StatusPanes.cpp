#include "app/StatusPanes.h"

#include <QFontMetrics>
#include <QLabel>
#include <QStatusBar>

namespace {

// Texts that size each pane, wide enough for the values they stand for.
constexpr const char* Placeholders[StatusPanes::PaneCount] = {
    "00/00/0000", "000000KB", "0000x0000", "000 (000)", "000", "XPos", "YPos", "R:000 G:000 B:000",
};

} // namespace

StatusPanes::StatusPanes(QStatusBar& bar)
{
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
