#include "imaging/Palettes.h"

#include <array>
#include <cmath>
#include <initializer_list>

#include "imaging/CustomPalette.h"
#include "imaging/FrameImage.h"

namespace imaging {
namespace {

struct Knot {
    int index;
    int value;
};

using Curve = std::initializer_list<Knot>;

// A channel through its knots: straight lines between neighbouring knots,
// rounded; knots on neighbouring indices make the curve jump.
void drawCurve(PaletteTable& table, Curve knots, std::uint8_t PaletteEntry::*channel)
{
    const Knot* previous = nullptr;
    for (const Knot& knot : knots) {
        if (!previous) {
            table.entries[static_cast<std::size_t>(knot.index)].*channel = static_cast<std::uint8_t>(knot.value);
        } else {
            const int steps = knot.index - previous->index;
            for (int i = 1; i <= steps; ++i) {
                const double v = previous->value + static_cast<double>(knot.value - previous->value) * i / steps;
                table.entries[static_cast<std::size_t>(previous->index + i)].*channel
                    = static_cast<std::uint8_t>(std::lround(v));
            }
        }
        previous = &knot;
    }
}

PaletteTable fromCurves(Curve red, Curve green, Curve blue)
{
    PaletteTable table;
    drawCurve(table, red, &PaletteEntry::red);
    drawCurve(table, green, &PaletteEntry::green);
    drawCurve(table, blue, &PaletteEntry::blue);
    return table;
}

// Sixteen bands, each rising from black to its end colour.
PaletteTable fusion16()
{
    constexpr std::array<std::array<int, 3>, 16> ends{{
        {0, 31, 31}, {0, 63, 63}, {0, 95, 95}, {0, 127, 127}, {31, 95, 159}, {63, 63, 191}, {95, 31, 223},
        {127, 0, 255}, {159, 191, 31}, {191, 63, 128}, {223, 95, 63}, {255, 127, 3}, {255, 159, 63},
        {255, 191, 127}, {255, 223, 191}, {255, 255, 255},
    }};
    PaletteTable table;
    for (int band = 0; band < 16; ++band) {
        for (int p = 0; p < 16; ++p) {
            const auto& end = ends[static_cast<std::size_t>(band)];
            table.entries[static_cast<std::size_t>(16 * band + p)] = PaletteEntry{
                static_cast<std::uint8_t>(end[0] * p / 15), static_cast<std::uint8_t>(end[1] * p / 15),
                static_cast<std::uint8_t>(end[2] * p / 15), 0};
        }
    }
    return table;
}

// A grey ramp with fifteen coloured markers every sixteen entries.
PaletteTable grayRain()
{
    constexpr std::array<std::array<int, 3>, 15> markers{{
        {175, 0, 255}, {95, 0, 255}, {15, 0, 255}, {0, 64, 255}, {0, 143, 255}, {0, 223, 255}, {0, 255, 207},
        {0, 255, 128}, {0, 255, 47}, {31, 255, 0}, {111, 255, 0}, {192, 255, 0}, {255, 239, 0}, {255, 159, 0},
        {255, 79, 0},
    }};
    PaletteTable table = PaletteTable::grayscale();
    for (std::size_t m = 0; m < markers.size(); ++m) {
        const auto& c = markers[m];
        table.entries[16 * (m + 1)] = PaletteEntry{static_cast<std::uint8_t>(c[0]), static_cast<std::uint8_t>(c[1]),
                                                   static_cast<std::uint8_t>(c[2]), 0};
    }
    return table;
}

std::array<PaletteTable, kBuiltInPaletteCount> buildTables()
{
    return {
        // Blackbody
        fromCurves({{0, 0}, {85, 255}, {255, 255}}, {{0, 0}, {85, 0}, {170, 255}, {255, 255}},
                   {{0, 0}, {170, 0}, {255, 255}}),
        // Cardiac
        fromCurves({{0, 72}, {16, 45}, {31, 0}, {65, 1}, {80, 15}, {96, 19}, {111, 31}, {159, 223}, {176, 225},
                    {223, 255}, {240, 169}, {255, 71}},
                   {{0, 192}, {15, 223}, {31, 233}, {47, 127}, {79, 15}, {96, 0}, {160, 1}, {175, 31}, {223, 239},
                    {240, 221}, {255, 191}},
                   {{0, 0}, {31, 255}, {80, 254}, {112, 205}, {144, 124}, {175, 0}, {225, 1}, {240, 11}, {255, 0}}),
        // Fiveramp
        fromCurves({{0, 0}, {102, 0}, {152, 250}, {153, 0}, {203, 250}, {204, 0}, {255, 255}},
                   {{0, 0}, {51, 0}, {101, 250}, {102, 0}, {152, 250}, {153, 0}, {204, 0}, {255, 255}},
                   {{0, 0}, {50, 250}, {51, 0}, {204, 0}, {255, 255}}),
        // Flow
        fromCurves({{0, 32}, {127, 0}, {191, 255}, {255, 255}}, {{0, 200}, {60, 20}, {130, 0}, {191, 2}, {255, 255}},
                   {{0, 255}, {63, 255}, {127, 0}, {223, 0}, {255, 255}}),
        fusion16(),
        // GE_Color
        fromCurves({{0, 0}, {64, 1}, {191, 255}, {255, 255}}, {{0, 0}, {63, 127}, {127, 0}, {255, 255}},
                   {{0, 0}, {127, 255}, {191, 0}, {255, 255}}),
        grayRain(),
        PaletteTable::grayscale(),
        // Hotiron
        fromCurves({{0, 0}, {128, 255}, {255, 255}}, {{0, 0}, {128, 0}, {255, 255}}, {{0, 0}, {191, 0}, {255, 255}}),
        // Nih
        fromCurves({{0, 0}, {15, 85}, {31, 0}, {127, 0}, {159, 255}, {217, 255}, {255, 171}},
                   {{0, 0}, {63, 0}, {111, 255}, {159, 255}, {217, 0}, {255, 0}},
                   {{0, 0}, {15, 170}, {31, 85}, {63, 255}, {79, 255}, {95, 170}, {111, 170}, {127, 0}, {143, 85},
                    {159, 0}, {255, 0}}),
        // Spectrum
        fromCurves({{0, 255}, {51, 0}, {153, 0}, {204, 255}, {255, 255}},
                   {{0, 0}, {51, 0}, {102, 255}, {204, 255}, {255, 0}},
                   {{0, 255}, {102, 255}, {153, 0}, {255, 0}}),
    };
}

constexpr std::array<std::string_view, kBuiltInPaletteCount> kNames{
    "Blackbody", "Cardiac", "Fiveramp", "Flow", "Fusion16", "GE_Color",
    "GrayRain", "Grayscale", "Hotiron", "Nih", "Spectrum",
};

} // namespace

std::string_view builtInPaletteName(int number)
{
    if (number < 0 || number >= kBuiltInPaletteCount)
        return {};
    return kNames[static_cast<std::size_t>(number)];
}

const PaletteTable* builtInPalette(int number)
{
    static const std::array<PaletteTable, kBuiltInPaletteCount> tables = buildTables();
    if (number < 0 || number >= kBuiltInPaletteCount)
        return nullptr;
    return &tables[static_cast<std::size_t>(number)];
}

bool setPalette(FrameImage& frame, int number, const CustomPaletteList& custom)
{
    // A 24-bit bitmap has no colour table for a palette to rewrite.
    if (frame.sampleDepth() == 0 || frame.kind() == SampleKind::Rgb)
        return false;
    if (const PaletteTable* table = builtInPalette(number))
        return frame.setPalette(number, *table);
    if (number < kFirstCustomPalette)
        return false;
    const CustomPalette* palette = custom.at(static_cast<std::size_t>(number - kFirstCustomPalette));
    if (!palette)
        return false;
    return frame.setPalette(number, palette->table());
}

int getPalette(const FrameImage& frame)
{
    const int number = frame.paletteNumber();
    if (number >= kFirstCustomPalette)
        return kFirstCustomPalette;
    if (number < 0)
        return kGrayscalePalette;
    return number;
}

} // namespace imaging
