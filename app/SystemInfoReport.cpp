#include "app/SystemInfoReport.h"

#include <QCoreApplication>
#include <QList>

namespace systeminfo {

namespace {

QString unavailable() { return QCoreApplication::translate("SystemInfo", "Unavailable"); }

// Kilobytes as unsigned 64-bit, so memories and disks past 4 TiB keep every digit.
QString kilobytes(std::uint64_t value)
{
    return QString::asprintf("%llu KB", static_cast<unsigned long long>(value));
}

} // namespace

std::optional<MemoryFigures> parseMeminfo(const QByteArray& text)
{
    std::optional<std::uint64_t> total;
    std::optional<std::uint64_t> available;
    for (const QByteArray& line : text.split('\n')) {
        const qsizetype colon = line.indexOf(':');
        if (colon < 0)
            continue;
        const QByteArray key = line.left(colon).trimmed();
        if (key != "MemTotal" && key != "MemAvailable")
            continue;
        // "MemTotal:       16318324 kB"
        const QList<QByteArray> fields = line.mid(colon + 1).simplified().split(' ');
        bool ok = false;
        const qulonglong value = fields.value(0).toULongLong(&ok);
        if (!ok || fields.value(1) != "kB")
            return std::nullopt;
        (key == "MemTotal" ? total : available) = value;
    }
    if (!total || !available)
        return std::nullopt;
    return MemoryFigures { *total, *available };
}

QString screenReport(int width, int height, int bitsPerPixel)
{
    return QString::asprintf("Screen:\r\n%dx%d (%d bits per pixel)\r\n\r\n", width, height, bitsPerPixel);
}

QString diskText(std::optional<std::uint64_t> freeKb, const QString& mount)
{
    if (!freeKb)
        return unavailable();
    return QStringLiteral("%1 Free on %2").arg(kilobytes(*freeKb), mount);
}

QString memoryReport(const std::optional<MemoryFigures>& memory, const QString& disk)
{
    const QString total = memory ? kilobytes(memory->totalKb) : unavailable();
    const QString free = memory ? kilobytes(memory->freeKb) : unavailable();
    return QStringLiteral("Total Memory:\r\n%1\r\n\r\nFree Memory:\r\n%2\r\n\r\nFree disk space:\r\n%3\r\n\r\n")
        .arg(total, free, disk);
}

QString osReport(const QString& name, const QString& version, const QString& build, const QString& detail)
{
    return QStringLiteral("OS Version Info:\r\n%1 Version %2\r\nBuild %3 %4\r\n\r\n").arg(name, version, build, detail);
}

QString joinReports(const QString& os, const QString& memory, const QString& screen) { return os + memory + screen; }

QString extensionLines(const QString& extensions)
{
    QString lines = extensions;
    lines.replace(QLatin1Char(' '), QLatin1Char('\n'));
    return lines;
}

} // namespace systeminfo
