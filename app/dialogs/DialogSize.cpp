#include "app/dialogs/DialogSize.h"

#include "view/model/WindowPlacement.h"

#include <QDateTime>
#include <QFileDialog>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLocale>
#include <QRect>
#include <QScreen>
#include <QStyle>
#include <QTreeView>

#include <algorithm>
#include <initializer_list>

namespace dialogsize {

namespace {

constexpr int SharePercent = 70;
constexpr int MinimumWidth = 760;
constexpr int MinimumHeight = 520;
// What a window manager's frame adds around a dialog: the position of a
// window is its frame's, its size the inside's.
constexpr int FrameWidth = 8;
constexpr int FrameHeight = 32;

viewmodel::WindowRect windowRect(const QRect& rect)
{
    return { rect.x(), rect.y(), rect.width(), rect.height() };
}

int widest(const QFontMetrics& metrics, std::initializer_list<QString> texts)
{
    int width = 0;
    for (const QString& text : texts)
        width = std::max(width, metrics.horizontalAdvance(text));
    return width;
}

} // namespace

void fitToScreen(QWidget& dialog)
{
    const QWidget* parent = dialog.parentWidget();
    const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const viewmodel::WindowRect size
        = viewmodel::shareOf(windowRect(screen->availableGeometry()), SharePercent, MinimumWidth, MinimumHeight);
    dialog.resize(size.width, size.height);
}

void placeBeside(QWidget& dialog, const QRect& keepClear)
{
    if (keepClear.isEmpty())
        return;
    const QScreen* screen = QGuiApplication::screenAt(keepClear.center());
    if (!screen)
        screen = dialog.screen();
    if (!screen)
        return;
    dialog.adjustSize();
    const QSize size = dialog.size() + QSize(FrameWidth, FrameHeight);
    const viewmodel::WindowRect place
        = viewmodel::placeBeside(windowRect(keepClear), size.width(), size.height(), windowRect(screen->availableGeometry()));
    dialog.move(place.x, place.y);
}

void widenFileColumns(QFileDialog& dialog)
{
    auto* tree = dialog.findChild<QTreeView*>(QStringLiteral("treeView"));
    if (!tree || tree->header()->count() < 4)
        return;
    QHeaderView* header = tree->header();
    const QFontMetrics metrics(tree->font());
    // The header's sort arrow and the cell's margins come on top of the text.
    const int padding = 3 * metrics.averageCharWidth() + tree->style()->pixelMetric(QStyle::PM_HeaderMarkSize);
    const QLocale locale = QLocale::system();
    const int size = widest(metrics, { locale.formattedDataSize(999'900'000), header->model()->headerData(1, Qt::Horizontal).toString() });
    const int type = widest(metrics, { QStringLiteral("Windows BMP image"), QStringLiteral("DICOM image") });
    const QDateTime late(QDate(2000, 12, 28), QTime(22, 58, 58));
    const int date = widest(metrics, { locale.toString(late, QLocale::ShortFormat),
                                       header->model()->headerData(3, Qt::Horizontal).toString() });
    header->setStretchLastSection(false);
    header->setSectionResizeMode(0, QHeaderView::Stretch);
    header->resizeSection(1, size + padding);
    header->resizeSection(2, type + padding);
    header->resizeSection(3, date + padding);
}

} // namespace dialogsize
