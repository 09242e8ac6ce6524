#include "imaging/CustomPalette.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <limits>
#include <memory>
#include <new>
#include <system_error>

namespace imaging {
namespace {

base::Failure<PaletteFileError> paletteError(PaletteFileError code, std::string detail)
{
    return {code, std::move(detail)};
}

// The characters that separate words in a palette file (those of isspace in
// the C locale).
bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool isControl(char c)
{
    const auto u = static_cast<unsigned char>(c);
    return u < 0x20 || u == 0x7F;
}

// Reads one decimal integer the way "%d" does (blanks, an optional sign,
// digits), held at the 32-bit limits instead of overflowing.
std::optional<std::int32_t> readInteger(std::string_view text, std::size_t& pos)
{
    std::size_t p = pos;
    while (p < text.size() && isSpace(text[p]))
        ++p;
    bool negative = false;
    if (p < text.size() && (text[p] == '+' || text[p] == '-'))
        negative = text[p++] == '-';
    if (p >= text.size() || text[p] < '0' || text[p] > '9')
        return std::nullopt;
    constexpr std::int64_t limit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    std::int64_t magnitude = 0;
    while (p < text.size() && text[p] >= '0' && text[p] <= '9') {
        magnitude = std::min(limit, magnitude * 10 + (text[p] - '0'));
        ++p;
    }
    pos = p;
    const std::int64_t value = negative ? -magnitude : magnitude;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, std::numeric_limits<std::int32_t>::min(),
                                                              std::numeric_limits<std::int32_t>::max()));
}

bool hasTxtExtension(const std::filesystem::path& file)
{
    std::string ext = file.extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    return ext == ".txt";
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// A new file beside `file` that nobody else has opened.
FilePtr createTemporary(const std::filesystem::path& file, std::filesystem::path& temporary)
{
    const auto seed = static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    for (std::uint64_t attempt = 0; attempt < 16; ++attempt) {
        char suffix[32];
        std::snprintf(suffix, sizeof suffix, ".%016llx.tmp",
                      static_cast<unsigned long long>(seed * 0x9E3779B97F4A7C15ULL + attempt));
        temporary = file;
        temporary += suffix;
        // "x": fail rather than reuse an existing file (C11).
        if (FilePtr out{std::fopen(temporary.c_str(), "wx")})
            return out;
        if (errno != EEXIST)
            break;
    }
    return nullptr;
}

} // namespace

PaletteTable CustomPalette::table() const
{
    PaletteTable t;
    for (std::size_t i = 0; i < 256; ++i)
        t.entries[i] = PaletteEntry{static_cast<std::uint8_t>(red[i] & 0xFF), static_cast<std::uint8_t>(green[i] & 0xFF),
                                    static_cast<std::uint8_t>(blue[i] & 0xFF), 0};
    return t;
}

PaletteFileResult<CustomPalette> parsePalette(std::string_view text)
{
    try {
        std::size_t pos = 0;
        while (pos < text.size() && isSpace(text[pos]))
            ++pos;
        const std::size_t nameStart = pos;
        while (pos < text.size() && !isSpace(text[pos]))
            ++pos;
        if (pos == nameStart)
            return paletteError(PaletteFileError::NoName, "no palette name");
        CustomPalette palette;
        palette.name = std::string(text.substr(nameStart, std::min(pos - nameStart, CustomPalette::kMaxNameLength)));
        std::replace_if(palette.name.begin(), palette.name.end(), isControl, '_');
        for (std::size_t i = 0; i < 256; ++i) {
            std::size_t p = pos;
            const auto r = readInteger(text, p);
            const auto g = r ? readInteger(text, p) : std::nullopt;
            const auto b = g ? readInteger(text, p) : std::nullopt;
            if (!b)
                break;
            palette.red[i] = *r;
            palette.green[i] = *g;
            palette.blue[i] = *b;
            pos = p;
        }
        return palette;
    } catch (const std::bad_alloc&) {
        return paletteError(PaletteFileError::CannotOpen, "out of memory");
    }
}

PaletteFileResult<CustomPalette> readPaletteFile(const std::filesystem::path& file)
{
    std::error_code ec;
    const std::uintmax_t size = std::filesystem::file_size(file, ec);
    if (ec)
        return paletteError(PaletteFileError::CannotOpen, file.string());
    if (size > kMaxPaletteFileBytes)
        return paletteError(PaletteFileError::TooLarge, file.string());
    try {
        FilePtr in{std::fopen(file.c_str(), "rb")};
        if (!in)
            return paletteError(PaletteFileError::CannotOpen, file.string());
        // Read to the end rather than trusting the size: the file may have grown.
        std::string text(static_cast<std::size_t>(kMaxPaletteFileBytes) + 1, '\0');
        const std::size_t got = std::fread(text.data(), 1, text.size(), in.get());
        if (std::ferror(in.get()))
            return paletteError(PaletteFileError::CannotOpen, file.string());
        if (got > kMaxPaletteFileBytes)
            return paletteError(PaletteFileError::TooLarge, file.string());
        text.resize(got);
        return parsePalette(text);
    } catch (const std::bad_alloc&) {
        return paletteError(PaletteFileError::CannotOpen, "out of memory");
    }
}

std::string sanitizePaletteName(std::string_view name)
{
    constexpr std::string_view reserved = "/\\:*?\"<>|";
    std::string out(name.substr(0, std::min(name.size(), CustomPalette::kMaxNameLength)));
    for (char& c : out) {
        if (isSpace(c) || isControl(c) || reserved.find(c) != std::string_view::npos)
            c = '_';
    }
    return out.empty() ? std::string("NewPalette") : out;
}

std::string paletteFileName(std::string_view name)
{
    return sanitizePaletteName(name) + ".txt";
}

std::string formatPalette(const CustomPalette& palette)
{
    std::string text = sanitizePaletteName(palette.name);
    text += '\n';
    char line[48];
    for (std::size_t i = 0; i < 256; ++i) {
        const int n = std::snprintf(line, sizeof line, "%d\t%d\t%d\n", static_cast<int>(palette.red[i]),
                                    static_cast<int>(palette.green[i]), static_cast<int>(palette.blue[i]));
        text.append(line, static_cast<std::size_t>(n));
    }
    return text;
}

PaletteFileResult<void> writePaletteFile(const std::filesystem::path& file, const CustomPalette& palette)
{
    std::string text;
    try {
        text = formatPalette(palette);
    } catch (const std::bad_alloc&) {
        return paletteError(PaletteFileError::CannotWrite, "out of memory");
    }
    std::filesystem::path temporary;
    FilePtr out = createTemporary(file, temporary);
    if (!out)
        return paletteError(PaletteFileError::CannotCreate, file.string());
    const bool written = std::fwrite(text.data(), 1, text.size(), out.get()) == text.size()
        && std::fflush(out.get()) == 0;
    const bool closed = std::fclose(out.release()) == 0;
    std::error_code ec;
    if (written && closed) {
        std::filesystem::rename(temporary, file, ec);
        if (!ec)
            return {};
    }
    std::filesystem::remove(temporary, ec);
    return paletteError(PaletteFileError::CannotWrite, file.string());
}

std::size_t CustomPaletteList::loadFolder(const std::filesystem::path& folder)
{
    try {
        std::error_code ec;
        std::vector<std::filesystem::path> files;
        std::filesystem::directory_iterator it(folder, ec);
        for (; !ec && it != std::filesystem::directory_iterator(); it.increment(ec)) {
            std::error_code typeError;
            if (it->is_regular_file(typeError) && hasTxtExtension(it->path()))
                files.push_back(it->path());
        }
        std::sort(files.begin(), files.end());
        std::size_t added = 0;
        for (const std::filesystem::path& file : files) {
            auto palette = readPaletteFile(file);
            if (palette && add(std::move(palette).value()))
                ++added;
        }
        return added;
    } catch (const std::bad_alloc&) {
        return 0;
    }
}

PaletteFileResult<void> CustomPaletteList::save(const std::filesystem::path& file, const CustomPalette& palette)
{
    if (m_palettes.size() >= kMaxPalettes)
        return paletteError(PaletteFileError::CannotCreate, "too many palettes");
    try {
        CustomPalette kept = palette;
        kept.name = sanitizePaletteName(palette.name);
        m_palettes.reserve(m_palettes.size() + 1);
        if (auto written = writePaletteFile(file, kept); !written)
            return written;
        m_palettes.push_back(std::move(kept));
        return {};
    } catch (const std::bad_alloc&) {
        return paletteError(PaletteFileError::CannotWrite, "out of memory");
    }
}

bool CustomPaletteList::add(CustomPalette palette)
{
    if (m_palettes.size() >= kMaxPalettes)
        return false;
    try {
        m_palettes.push_back(std::move(palette));
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

} // namespace imaging
