#pragma once

#include <cstdint>
#include <string>

namespace document {

// A Windows-style colour value as stored in the settings file: 0x00BBGGRR.
using ColorRef = std::uint32_t;

constexpr ColorRef makeColorRef(int red, int green, int blue)
{
    return static_cast<ColorRef>(red & 0xFF) | (static_cast<ColorRef>(green & 0xFF) << 8)
        | (static_cast<ColorRef>(blue & 0xFF) << 16);
}
constexpr int redOf(ColorRef c) { return static_cast<int>(c & 0xFF); }
constexpr int greenOf(ColorRef c) { return static_cast<int>((c >> 8) & 0xFF); }
constexpr int blueOf(ColorRef c) { return static_cast<int>((c >> 16) & 0xFF); }

// One font choice of the user: kept whole so the preferences dialog can copy
// it in and out as a unit. 161 is the Greek character set.
struct FontRecord {
    std::int32_t height = 8;
    std::int32_t weight = 400;
    std::uint8_t italic = 0;
    std::uint8_t underline = 0;
    std::uint8_t strikeOut = 0;
    std::uint8_t charSet = 161;
    std::string faceName = "Arial";

    static constexpr std::size_t MaxFaceNameLength = 31;
    bool operator==(const FontRecord&) const = default;
};

// The user's preferences. Plain data so documents and views can take a copy
// without knowing where it is stored.
struct UserOptions {
    int autoClose = 0;
    int axisStart = 1;
    ColorRef axisColor = makeColorRef(255, 255, 255);
    int anonExports = 1;
    ColorRef annotationColor = makeColorRef(0, 255, 0);
    ColorRef distanceColor = makeColorRef(255, 0, 0);
    ColorRef angleColor = makeColorRef(255, 0, 0);
    ColorRef mainBgColor = makeColorRef(0, 70, 100);
    ColorRef docBgColor = makeColorRef(0, 70, 100);
    bool defAnnotations = false;
    bool rulersOn = false;
    bool bgImage = false;
    FontRecord annotationFont;
    FontRecord measurementFont;
    int lineWidth = 2;
    bool useVfw = false;
    int videoSource = 0;
    bool aspectRatio = true;
    // Saved files carry the patient and study of the file they came from;
    // off, a saved edit names no patient.
    bool keepPatientAndStudy = false;

    bool operator==(const UserOptions&) const = default;
};

// The values the numbered options may take; reading the settings and the
// preferences dialog both keep to them. The corner numbers are the rulers'.
struct OptionRange {
    int low;
    int high;
};
inline constexpr OptionRange LineWidthRange { 1, 100 };
inline constexpr OptionRange AxisStartRange { 0, 3 };

} // namespace document
