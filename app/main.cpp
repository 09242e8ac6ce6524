#include "app/CTolanApp.h"

#include <QApplication>
#include <QIcon>

#include <clocale>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    // A viewer started from a terminal without a display should say why it
    // cannot start instead of Qt's longer platform-plugin diagnostics.
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    if (!platform && !std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY")) {
        std::fprintf(stderr, "tolan-viewer: no display found (DISPLAY and WAYLAND_DISPLAY are unset)\n");
        return 1;
    }
    QApplication qtApp(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tolan Viewer"));
    QApplication::setApplicationVersion(QStringLiteral(TV_VERSION));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/tolan-viewer.svg")));
    // Numbers in files and on screen must not follow the user's locale.
    std::setlocale(LC_NUMERIC, "C");

    CTolanApp app;
    QObject::connect(&app, &CTolanApp::firstFramePainted, &qtApp, [&app] {
        if (app.quitAfterPaint())
            QCoreApplication::quit();
    });
    if (!app.start(QApplication::arguments()))
        return 1;
    return QApplication::exec();
}
