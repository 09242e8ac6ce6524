#pragma once

// The texts of the System Info report, built from figures gathered
// elsewhere so that they can be checked without the machine's own.

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>

namespace systeminfo {

struct MemoryFigures {
    std::uint64_t totalKb = 0;
    std::uint64_t freeKb = 0;
};

// "MemTotal" and "MemAvailable" of /proc/meminfo; none when either is missing.
std::optional<MemoryFigures> parseMeminfo(const QByteArray& text);

QString screenReport(int width, int height, int bitsPerPixel);
// Free space of the file system at `mount`; "Unavailable" without a figure.
QString diskText(std::optional<std::uint64_t> freeKb, const QString& mount);
// Memory figures and the disk text; "Unavailable" in both memory lines without figures.
QString memoryReport(const std::optional<MemoryFigures>& memory, const QString& disk);
QString osReport(const QString& name, const QString& version, const QString& build, const QString& detail);
// The system, memory and disk, and screen reports, in that order.
QString joinReports(const QString& os, const QString& memory, const QString& screen);

// One extension a line: every blank starts a new line.
QString extensionLines(const QString& extensions);

} // namespace systeminfo
