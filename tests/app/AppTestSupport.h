#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QString>
#include <QTemporaryDir>
#include <QWidget>
#include <QtTest>

// Points the settings file into a fresh temporary folder, so every test
// starts as a first run and never touches the user's own settings.
class ScratchSettings {
public:
    ScratchSettings() { QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_dir.path()); }
    QString iniPath() const { return m_dir.path() + QStringLiteral("/Tavik/Tolan Viewer V3.1.0.ini"); }
    QString path() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
};

// With TV_SCREENSHOT_DIR set, the widget is shown and saved there as
// `name`.png, to be looked at.
inline void saveScreenshot(QWidget& widget, const QString& name)
{
    const QString dir = qEnvironmentVariable("TV_SCREENSHOT_DIR");
    if (dir.isEmpty())
        return;
    widget.show();
    QVERIFY(QTest::qWaitForWindowExposed(&widget));
    QVERIFY(widget.grab().save(dir + QLatin1Char('/') + name + QStringLiteral(".png")));
}

// A file of the shared test data folder.
inline QString testFile(const char* relative)
{
    return QStringLiteral(TV_TESTDATA_DIR "/") + QString::fromLatin1(relative);
}

// Small DICOM files built byte by byte (DicomTestFiles.cpp): one that reads
// and opens, raw data sets by their first group, and files the header-only
// read refuses.
enum class TestFile {
    Part10,
    RawFromGroup0008,
    RawFromGroup0010,
    RawFromGroup0028,
    RawFromGroup0032, // beyond the image module: not taken for DICOM
    Jpeg2000,
    JpegLs,
    Deflated,
    Truncated,
    Flat16, // a 16-bit frame whose samples all hold one value
    SpacedFrame, // 32 x 32 at 0.5 x 0.5 mm, 2 mm slices
    SpacedFrames, // three such frames
    Gradient, // 7 x 4 grey frame of 8 bits whose samples all differ
    MarkedFrame, // 16 x 16 of 12 bits: a flat left half crossed by a bright line, a ramp on the right
    RgbFrame, // 8 x 4 RGB, 8 bits, samples counting up
    PaletteColourFrame, // 16 x 8 "PALETTE COLOR" by the maker "Acme Scan"
    HundredFrames, // a hundred such frames
    NamedPatient, // Part10 with the Patient's Name "DOE^JANE" first
};
void writeTestFile(const QString& path, TestFile kind);

// A Part 10 file of one small frame that the directory probe lists.
inline void writeDicomStub(const QString& path) { writeTestFile(path, TestFile::Part10); }

#include <QObject>

#include <functional>
#include <memory>
#include <vector>

// Several Qt Test classes share one executable: each file registers its class
// and main() runs them all.
inline std::vector<std::function<std::unique_ptr<QObject>()>>& testRegistry()
{
    static std::vector<std::function<std::unique_ptr<QObject>()>> registry;
    return registry;
}

template <typename T>
struct RegisterTest {
    RegisterTest() { testRegistry().push_back([] { return std::make_unique<T>(); }); }
};

#define TV_REGISTER_TEST(Class) static RegisterTest<Class> registerTest##Class
