#include "export/ExportPlan.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

namespace exporting {

namespace {

constexpr double MaxSide = std::numeric_limits<std::int32_t>::max();

bool unsafeByte(unsigned char c)
{
    return c == '/' || c == '\\' || c == ':' || c < 0x20 || c == 0x7F;
}

std::int32_t roundedSide(double value, double high)
{
    if (!(value >= 1.0))
        return 1;
    return static_cast<std::int32_t>(std::min(std::floor(value + 0.5), high));
}

std::string numbered(std::string_view name, int number, std::string_view extension)
{
    char digits[16];
    std::snprintf(digits, sizeof digits, "_%04d.", number);
    std::string file(name);
    file += digits;
    file += extension;
    return file;
}

} // namespace

std::string safeFileName(std::string_view name)
{
    std::string safe(name);
    bool leading = true;
    for (char& c : safe) {
        const auto byte = static_cast<unsigned char>(c);
        // A leading dot would hide the file, or name the folder itself.
        if (unsafeByte(byte) || (leading && c == '.'))
            c = '_';
        else
            leading = false;
    }
    return safe;
}

std::string defaultExportName(std::string_view title, TitleSource source, Anonymized anonymized)
{
    if (source == TitleSource::HeaderValues && anonymized == Anonymized::Yes)
        return std::string(NeutralExportName);
    // Only a dot of the last path part starts an extension: a URL's host
    // keeps its dots.
    const std::size_t separator = title.find_last_of("/\\");
    const std::size_t dot = title.rfind('.');
    const bool inLastPart = dot != std::string_view::npos && (separator == std::string_view::npos || dot > separator);
    if (inLastPart && dot > 0)
        title = title.substr(0, dot);
    std::string name = safeFileName(title);
    return name.empty() ? std::string(NeutralExportName) : name;
}

std::vector<PlannedOutput> planOutputs(std::string_view name, std::string_view extension, Scope scope,
                                       int frameCount, int currentFrame, std::span<const std::uint8_t> selection,
                                       Numbering numbering)
{
    std::vector<PlannedOutput> outputs;
    if (frameCount <= 0)
        return outputs;
    switch (scope) {
    case Scope::Current:
        if (currentFrame >= 0 && currentFrame < frameCount)
            outputs.push_back({ currentFrame, numbered(name, currentFrame + 1, extension) });
        break;
    case Scope::All:
        for (int i = 0; i < frameCount; ++i)
            outputs.push_back({ i, numbered(name, i + 1, extension) });
        break;
    case Scope::Selected: {
        const int count = std::min(frameCount, static_cast<int>(selection.size()));
        for (int i = 0; i < count; ++i) {
            if (!selection[static_cast<std::size_t>(i)])
                continue;
            const int number = numbering == Numbering::Continual ? static_cast<int>(outputs.size()) + 1 : i + 1;
            outputs.push_back({ i, numbered(name, number, extension) });
        }
        break;
    }
    }
    return outputs;
}

std::vector<std::uint8_t> scopeSelection(Scope scope, int frameCount, int currentFrame)
{
    std::vector<std::uint8_t> selection(static_cast<std::size_t>(std::max(frameCount, 0)), 0);
    if (scope == Scope::All)
        std::fill(selection.begin(), selection.end(), 1);
    else if (scope == Scope::Current && currentFrame >= 0 && currentFrame < frameCount)
        selection[static_cast<std::size_t>(currentFrame)] = 1;
    return selection;
}

bool selectionIsLeadingRun(std::span<const std::uint8_t> selection)
{
    const auto firstOff = std::find(selection.begin(), selection.end(), 0);
    return std::find_if(firstOff, selection.end(), [](std::uint8_t flag) { return flag != 0; }) == selection.end();
}

std::int32_t scaleSide(std::int32_t side, double factor)
{
    if (!(factor > 0.0) || !std::isfinite(factor))
        return std::max(side, 1);
    return roundedSide(side * factor, MaxSide);
}

PictureSize scaledSize(PictureSize frame, double zoom)
{
    return { scaleSide(frame.width, zoom), scaleSide(frame.height, zoom) };
}

std::int32_t constrainedHeight(PictureSize frame, std::int64_t width)
{
    if (frame.width <= 0 || frame.height <= 0)
        return 1;
    const double ratio = static_cast<double>(frame.width) / frame.height;
    return roundedSide(static_cast<double>(width) / ratio, MaxUserSide);
}

std::int32_t constrainedWidth(PictureSize frame, std::int64_t height)
{
    if (frame.width <= 0 || frame.height <= 0)
        return 1;
    const double ratio = static_cast<double>(frame.width) / frame.height;
    return roundedSide(static_cast<double>(height) * ratio, MaxUserSide);
}

bool userSideValid(std::int64_t side)
{
    return side >= 1 && side <= MaxUserSide;
}

std::int32_t sideFromPercent(std::int32_t side, double percent)
{
    if (!std::isfinite(percent))
        return 1;
    return roundedSide(side * percent / 100.0, MaxUserSide);
}

DialogEnabling dialogEnabling(const DialogState& state)
{
    DialogEnabling on;
    const bool choosing = state.scope == Scope::Selected && !state.selection.empty();
    on.frameList = choosing;
    if (choosing) {
        for (int row : state.highlighted) {
            if (row < 0 || static_cast<std::size_t>(row) >= state.selection.size())
                continue;
            if (state.selection[static_cast<std::size_t>(row)])
                on.markNotExport = true;
            else
                on.markExport = true;
        }
        on.continual = !selectionIsLeadingRun(state.selection);
    }
    on.quality = state.format == ExportFormat::Jpeg || state.format == ExportFormat::Html;
    on.exportHeader = state.format == ExportFormat::Html;
    const bool anyFrame = std::any_of(state.selection.begin(), state.selection.end(),
                                      [](std::uint8_t flag) { return flag != 0; });
    const bool headerPage = state.format == ExportFormat::Html && state.exportHeader;
    on.exportButton = (anyFrame || headerPage) && !state.directoryEmpty && state.sizeValid;
    return on;
}

} // namespace exporting
