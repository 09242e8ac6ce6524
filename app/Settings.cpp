#include "app/Settings.h"

#include <QSettings>

#include <limits>

namespace settings {

using document::ColorRef;
using document::FontRecord;
using document::UserOptions;

std::unique_ptr<QSettings> open()
{
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
        QString::fromLatin1(Organization), QString::fromLatin1(Application));
}

namespace {

// Values are read back as text from the INI file; anything that is not a
// whole number in range keeps the default rather than turning into 0.
qint64 readInteger(QSettings& store, const QString& key, qint64 fallback, qint64 low, qint64 high)
{
    const QVariant value = store.value(key);
    if (!value.isValid())
        return fallback;
    bool ok = false;
    const qint64 number = value.toString().trimmed().toLongLong(&ok);
    return ok && number >= low && number <= high ? number : fallback;
}

int readInt(QSettings& store, const char* key, int fallback)
{
    return static_cast<int>(readInteger(store, QString::fromLatin1(key), fallback,
        std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

int readInt(QSettings& store, const char* key, int fallback, document::OptionRange range)
{
    return static_cast<int>(readInteger(store, QString::fromLatin1(key), fallback, range.low, range.high));
}

ColorRef readColor(QSettings& store, const char* key, ColorRef fallback)
{
    return static_cast<ColorRef>(readInteger(store, QString::fromLatin1(key), fallback, 0, 0xFFFFFFFFLL));
}

bool readBool(QSettings& store, const char* key, bool fallback)
{
    return readInt(store, key, fallback ? 1 : 0) != 0;
}

std::uint8_t readByte(QSettings& store, const QString& key, std::uint8_t fallback)
{
    return static_cast<std::uint8_t>(readInteger(store, key, fallback, 0, 255));
}

FontRecord readFont(QSettings& store, const QString& prefix)
{
    FontRecord font;
    const auto key = [&](const char* name) { return prefix + QString::fromLatin1(name); };
    font.height = static_cast<std::int32_t>(readInteger(store, key("Height"), font.height,
        std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
    font.weight = static_cast<std::int32_t>(readInteger(store, key("Weight"), font.weight,
        std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
    font.italic = readByte(store, key("Italic"), font.italic);
    font.underline = readByte(store, key("Underline"), font.underline);
    font.strikeOut = readByte(store, key("StrikeOut"), font.strikeOut);
    font.charSet = readByte(store, key("CharSet"), font.charSet);
    const QVariant face = store.value(key("FaceName"));
    if (face.isValid() && !face.toString().isEmpty())
        font.faceName = face.toString().toStdString().substr(0, FontRecord::MaxFaceNameLength);
    return font;
}

void writeFont(QSettings& store, const QString& prefix, const FontRecord& font)
{
    store.setValue(prefix + QStringLiteral("Height"), font.height);
    store.setValue(prefix + QStringLiteral("Weight"), font.weight);
    store.setValue(prefix + QStringLiteral("Italic"), font.italic);
    store.setValue(prefix + QStringLiteral("Underline"), font.underline);
    store.setValue(prefix + QStringLiteral("StrikeOut"), font.strikeOut);
    store.setValue(prefix + QStringLiteral("CharSet"), font.charSet);
    store.setValue(prefix + QStringLiteral("FaceName"), QString::fromStdString(font.faceName));
}

} // namespace

UserOptions readUserOptions(QSettings& store)
{
    const UserOptions defaults;
    UserOptions o;
    store.beginGroup(QString::fromLatin1(UserOptionsGroup));
    o.autoClose = readInt(store, "AutoClose", defaults.autoClose);
    o.axisStart = readInt(store, "AxisStart", defaults.axisStart, document::AxisStartRange);
    o.axisColor = readColor(store, "AxisColor", defaults.axisColor);
    o.anonExports = readInt(store, "AnonExports", defaults.anonExports);
    o.annotationColor = readColor(store, "DAnnoColor", defaults.annotationColor);
    o.distanceColor = readColor(store, "DDistColor", defaults.distanceColor);
    o.angleColor = readColor(store, "DAngleColor", defaults.angleColor);
    o.mainBgColor = readColor(store, "MainBgColor", defaults.mainBgColor);
    o.docBgColor = readColor(store, "DocBgColor", defaults.docBgColor);
    o.defAnnotations = readBool(store, "DefAnnotations", defaults.defAnnotations);
    o.rulersOn = readBool(store, "RulersOn", defaults.rulersOn);
    o.bgImage = readBool(store, "BgImage", defaults.bgImage);
    o.annotationFont = readFont(store, QStringLiteral("Anno"));
    o.measurementFont = readFont(store, QStringLiteral("Meas"));
    o.lineWidth = readInt(store, "LineWidth", defaults.lineWidth, document::LineWidthRange);
    o.useVfw = readBool(store, "UseVfw", defaults.useVfw);
    o.videoSource = readInt(store, "VideoSource", defaults.videoSource);
    o.aspectRatio = readBool(store, "AspectRatio", defaults.aspectRatio);
    o.keepPatientAndStudy = readBool(store, "KeepPatientAndStudy", defaults.keepPatientAndStudy);
    store.endGroup();
    return o;
}

void writeUserOptions(QSettings& store, const UserOptions& o)
{
    store.beginGroup(QString::fromLatin1(UserOptionsGroup));
    store.setValue(QStringLiteral("AutoClose"), o.autoClose);
    store.setValue(QStringLiteral("AxisStart"), o.axisStart);
    store.setValue(QStringLiteral("AxisColor"), o.axisColor);
    store.setValue(QStringLiteral("AnonExports"), o.anonExports);
    store.setValue(QStringLiteral("DAnnoColor"), o.annotationColor);
    store.setValue(QStringLiteral("DDistColor"), o.distanceColor);
    store.setValue(QStringLiteral("DAngleColor"), o.angleColor);
    store.setValue(QStringLiteral("MainBgColor"), o.mainBgColor);
    store.setValue(QStringLiteral("DocBgColor"), o.docBgColor);
    store.setValue(QStringLiteral("DefAnnotations"), o.defAnnotations ? 1 : 0);
    store.setValue(QStringLiteral("RulersOn"), o.rulersOn ? 1 : 0);
    store.setValue(QStringLiteral("BgImage"), o.bgImage ? 1 : 0);
    writeFont(store, QStringLiteral("Anno"), o.annotationFont);
    writeFont(store, QStringLiteral("Meas"), o.measurementFont);
    store.setValue(QStringLiteral("LineWidth"), o.lineWidth);
    store.setValue(QStringLiteral("UseVfw"), o.useVfw ? 1 : 0);
    store.setValue(QStringLiteral("VideoSource"), o.videoSource);
    store.setValue(QStringLiteral("AspectRatio"), o.aspectRatio ? 1 : 0);
    store.setValue(QStringLiteral("KeepPatientAndStudy"), o.keepPatientAndStudy ? 1 : 0);
    store.endGroup();
}

QString readString(QSettings& store, const char* group, const char* key, const QString& fallback)
{
    store.beginGroup(QString::fromLatin1(group));
    const QVariant value = store.value(QString::fromLatin1(key));
    store.endGroup();
    return value.isValid() ? value.toString() : fallback;
}

void writeString(QSettings& store, const char* group, const char* key, const QString& value)
{
    store.beginGroup(QString::fromLatin1(group));
    store.setValue(QString::fromLatin1(key), value);
    store.endGroup();
}

int readNumber(QSettings& store, const char* group, const char* key, int fallback, int low, int high)
{
    store.beginGroup(QString::fromLatin1(group));
    const auto number = readInteger(store, QString::fromLatin1(key), fallback, low, high);
    store.endGroup();
    return static_cast<int>(number);
}

void writeNumber(QSettings& store, const char* group, const char* key, int value)
{
    store.beginGroup(QString::fromLatin1(group));
    store.setValue(QString::fromLatin1(key), value);
    store.endGroup();
}

viewmodel::WindowPresets readWindowPresets(QSettings& store)
{
    viewmodel::WindowPresets presets;
    store.beginGroup(QString::fromLatin1(WindowsGroup));
    for (std::size_t i = 0; i < presets.size(); ++i) {
        const auto key = [i](const char* name) { return QString::fromLatin1(name) + QString::number(i); };
        const auto number = [&](const char* name) {
            return static_cast<std::int32_t>(readInteger(store, key(name), 0,
                std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
        };
        presets[i] = { store.value(key("Name")).toString().toStdString(), number("Center"), number("Width") };
    }
    store.endGroup();
    if (!viewmodel::presetsAreBlank(presets))
        return presets;
    presets = viewmodel::defaultWindowPresets();
    writeWindowPresets(store, presets);
    return presets;
}

void writeWindowPresets(QSettings& store, const viewmodel::WindowPresets& presets)
{
    store.beginGroup(QString::fromLatin1(WindowsGroup));
    for (std::size_t i = 0; i < presets.size(); ++i) {
        const QString index = QString::number(i);
        store.setValue(QStringLiteral("Center") + index, presets[i].centre);
        store.setValue(QStringLiteral("Width") + index, presets[i].width);
        store.setValue(QStringLiteral("Name") + index, QString::fromStdString(presets[i].name));
    }
    store.endGroup();
}

} // namespace settings
