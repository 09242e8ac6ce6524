#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QString>
#include <QTemporaryDir>

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

// A minimal Part 10 file: 128-byte preamble and "DICM", enough for the
// directory probe to list it.
inline void writeDicomStub(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return;
    file.write(QByteArray(128, '\0')); // preamble
    file.write("DICM");                // Part 10 marker
}

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
