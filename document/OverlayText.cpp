#include "document/OverlayText.h"

#include "view/model/OverlayFont.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QScreen>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <cmath>

namespace overlaytext {

int pixelsPerInch()
{
    // Exports draw overlays on worker threads, which must not ask the
    // screens; they take what the interface thread last found.
    static std::atomic<int> lastKnown { 96 };
    const QCoreApplication* app = QCoreApplication::instance();
    if (app == nullptr || QThread::currentThread() != app->thread())
        return lastKnown.load();
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double dpi = screen != nullptr ? screen->logicalDotsPerInchY() : 96.0;
    const int answer = std::isfinite(dpi) && dpi >= 1.0 && dpi <= 10000.0 ? static_cast<int>(std::lround(dpi)) : 96;
    lastKnown.store(answer);
    return answer;
}

QColor toQColor(viewmodel::Colour colour)
{
    return QColor(document::redOf(colour), document::greenOf(colour), document::blueOf(colour));
}

viewmodel::Colour fromQColor(const QColor& colour)
{
    const QColor rgb = colour.toRgb();
    return document::makeColorRef(rgb.red(), rgb.green(), rgb.blue());
}

QFont toQFont(const viewmodel::OverlayFont& font, double zoom)
{
    QFont result(QString::fromStdString(font.face.str()));
    result.setPixelSize(viewmodel::fontPixelHeight(font.height, pixelsPerInch(), zoom));
    // Stored weights run 1..1000 like the toolkit's; anything else is normal.
    const int weight = font.weight >= 1 && font.weight <= 1000 ? font.weight : 400;
    result.setWeight(static_cast<QFont::Weight>(weight));
    result.setItalic(font.italic);
    result.setUnderline(font.underline);
    result.setStrikeOut(font.strikeOut);
    // Labels drawn at a fraction of a pixel's worth of zoom must not be
    // hinted into another size than the one they were measured at.
    result.setHintingPreference(QFont::PreferNoHinting);
    return result;
}

viewmodel::OverlayFont fromQFont(const QFont& font)
{
    viewmodel::OverlayFont result;
    const double points = font.pointSizeF() > 0 ? font.pointSizeF()
                                                : font.pixelSize() * 72.0 / std::max(1, pixelsPerInch());
    result.height = std::clamp(static_cast<int>(std::lround(points)), 1, 1000);
    result.weight = static_cast<int>(font.weight());
    result.italic = font.italic();
    result.underline = font.underline();
    result.strikeOut = font.strikeOut();
    result.face.set(font.family().toStdString());
    return result;
}

viewmodel::OverlayFont fromFontRecord(const document::FontRecord& record)
{
    viewmodel::OverlayFont result;
    result.height = record.height;
    result.weight = record.weight;
    result.italic = record.italic != 0;
    result.underline = record.underline != 0;
    result.strikeOut = record.strikeOut != 0;
    result.face.set(record.faceName);
    return result;
}

QFont toDialogFont(const viewmodel::OverlayFont& font)
{
    QFont result = toQFont(font, 1.0);
    result.setPointSize(std::clamp(std::abs(font.height), 1, 1000));
    return result;
}

QString toQString(const std::string& utf8) { return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())); }

viewmodel::Size nominalTextSize(const QString& text, const viewmodel::OverlayFont& font)
{
    const QFontMetrics metrics(toQFont(font, 1.0));
    const QStringList lines = text.split(QLatin1Char('\n'));
    int width = 0;
    for (const QString& line : lines)
        width = std::max(width, metrics.horizontalAdvance(line));
    return { width, metrics.height() * static_cast<int>(lines.size()) };
}

} // namespace overlaytext
