// The viewer driven step by step on Qt's offscreen platform, for the timing
// scripts beside this file:
//
//   viewer-steps cine FILE FRAMETIME N
//       plays a multi-frame FILE forward in an image view at FRAMETIME ms
//       and prints the wall time of N painted frames.
//   viewer-steps next-file DIR N
//       starts the main window, opens DIR's first file (in file-name order)
//       and gives the Next File command until N files were shown, each one
//       painted before the next step; prints files per second and the
//       resident memory after files 1, 100, 200, ... and N.
//   viewer-steps rotate-all FILE WORKERS
//       rotates every frame of FILE by 30 degrees, bicubic, as one command
//       with "Apply to all" on, on WORKERS threads (0: one a core); prints
//       the wall time.
//
// Run with QT_QPA_PLATFORM=offscreen and XDG_CONFIG_HOME in a scratch folder.
#include "app/CChildFrame.h"
#include "app/CMainFrame.h"
#include "app/CTolanApp.h"
#include "app/FrameJob.h"
#include "app/Command.h"
#include "app/SelectFileBar.h"
#include "document/COrvoDoc.h"
#include "document/FileNameOrder.h"
#include "imaging/Geometry.h"
#include "view/COrvoView.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTimer>

#include <clocale>
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

namespace {

constexpr int kPaintTimeoutMs = 10000;

// VmRSS of /proc/self/status in kB; -1 when unreadable.
long residentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (QByteArray line = status.readLine(); !line.isEmpty(); line = status.readLine()) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

// CPU seconds of the whole process: on a shared machine the wall time
// also counts the waits for other programs.
double cpuSeconds()
{
    timespec now {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

// Runs the event loop until the view paints; false on a timeout.
bool waitForPaint(COrvoView& view)
{
    QEventLoop loop;
    bool painted = false;
    QObject::connect(&view, &COrvoView::framePainted, &loop, [&] {
        painted = true;
        loop.quit();
    });
    QTimer::singleShot(kPaintTimeoutMs, &loop, &QEventLoop::quit);
    loop.exec();
    return painted;
}

int cine(const QString& path, double frameTime, int count)
{
    COrvoDoc document;
    if (!document.load(path, {})) {
        std::fprintf(stderr, "cannot open %s: %s\n", qPrintable(path), qPrintable(document.loadError()));
        return 1;
    }
    COrvoView view(document);
    view.resize(1000, 800);
    view.show();
    if (!waitForPaint(view)) {
        std::fprintf(stderr, "the first frame was never painted\n");
        return 1;
    }
    document.setFrameTime(frameTime);
    int painted = 0;
    QEventLoop loop;
    QObject::connect(&view, &COrvoView::framePainted, &loop, [&] {
        if (++painted >= count)
            loop.quit();
    });
    QTimer::singleShot(static_cast<int>(count * frameTime * 4) + kPaintTimeoutMs, &loop, &QEventLoop::quit);
    QElapsedTimer clock;
    clock.start();
    const double cpuStart = cpuSeconds();
    view.playMovie(COrvoView::Movie::Forward);
    loop.exec();
    const double seconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
    const double cpu = cpuSeconds() - cpuStart;
    if (painted < count) {
        std::fprintf(stderr, "only %d of %d frames were painted\n", painted, count);
        return 1;
    }
    std::printf("%d frames at %.1f ms: %.3f s (%.2f ms a frame, %.2f ms CPU a frame)\n", count, frameTime,
        seconds, seconds * 1000.0 / count, cpu * 1000.0 / count);
    return 0;
}

int rotateAll(const QString& path, unsigned workers)
{
    COrvoDoc document;
    if (!document.load(path, {})) {
        std::fprintf(stderr, "cannot open %s: %s\n", qPrintable(path), qPrintable(document.loadError()));
        return 1;
    }
    if (document.toggleApplyToAll() != COrvoDoc::ApplyToAllResult::Toggled) {
        std::fprintf(stderr, "%s has frames of different sizes\n", qPrintable(path));
        return 1;
    }
    QElapsedTimer clock;
    clock.start();
    const int changed = runFrameJob(nullptr, document, [](imaging::FrameImage& frame) {
        return imaging::rotateClockwise(frame, 30.0F, imaging::Interpolation::Bicubic);
    }, COrvoDoc::Scope::InScope, workers);
    const double seconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
    if (changed != document.frameCount()) {
        std::fprintf(stderr, "only %d of %d frames were rotated\n", changed, document.frameCount());
        return 1;
    }
    std::printf("%d frames on %u workers: %.3f s\n", changed, workers, seconds);
    return 0;
}

QString firstFileOf(const QString& directory)
{
    std::vector<std::string> names;
    for (const QString& name : QDir(directory).entryList(QDir::Files))
        names.push_back(name.toStdString());
    document::sortFileNames(names);
    return names.empty() ? QString() : QDir(directory).filePath(QString::fromStdString(names.front()));
}

void printMemory(int shown, int count)
{
    if (shown == 1 || shown % 100 == 0 || shown == count)
        std::printf("after file %d: VmRSS %ld kB\n", shown, residentKb());
}

int nextFile(const QString& directory, int count)
{
    const QString first = firstFileOf(directory);
    if (first.isEmpty()) {
        std::fprintf(stderr, "no files in %s\n", qPrintable(directory));
        return 1;
    }
    CTolanApp app;
    QElapsedTimer clock;
    clock.start();
    if (!app.start({ QStringLiteral("viewer-steps"), first }))
        return 1;
    CMainFrame& frame = *app.mainFrame();
    CChildFrame* child = frame.activeChild();
    if (!child || !waitForPaint(*child->imageView())) {
        std::fprintf(stderr, "the first file was never painted\n");
        return 1;
    }
    std::printf("first file shown after %.1f ms\n", static_cast<double>(clock.nsecsElapsed()) / 1e6);
    printMemory(1, count);
    // The bar lists the directory in slices between events; stepping starts
    // once it knows every file.
    SelectFileBar& bar = *frame.selectFileBar();
    while (bar.isScanning())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    clock.restart();
    const double cpuStart = cpuSeconds();
    for (int shown = 2; shown <= count; ++shown) {
        // Past the last file the walk starts again from the first.
        frame.action(bar.canGoForward() ? Command::NextFile : Command::FirstFile)->trigger();
        child = frame.activeChild();
        if (!child || !waitForPaint(*child->imageView())) {
            std::fprintf(stderr, "file %d was never painted\n", shown);
            return 1;
        }
        printMemory(shown, count);
    }
    const double seconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
    const double cpu = cpuSeconds() - cpuStart;
    std::printf("%d Next File steps: %.3f s, %.1f files/s, %.2f ms a file, %.2f ms CPU a file\n", count - 1,
        seconds, (count - 1) / seconds, seconds * 1000.0 / (count - 1), cpu * 1000.0 / (count - 1));
    return 0;
}

int usage()
{
    std::fprintf(stderr, "usage: viewer-steps cine FILE FRAMETIME N\n"
                         "       viewer-steps next-file DIR N\n"
                         "       viewer-steps rotate-all FILE WORKERS\n");
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication qtApp(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tolan Viewer"));
    std::setlocale(LC_NUMERIC, "C");
    const QStringList args = QApplication::arguments();
    if (args.size() == 5 && args[1] == QLatin1String("cine"))
        return cine(args[2], args[3].toDouble(), args[4].toInt());
    if (args.size() == 4 && args[1] == QLatin1String("rotate-all"))
        return rotateAll(args[2], args[3].toUInt());
    if (args.size() == 4 && args[1] == QLatin1String("next-file"))
        return nextFile(args[2], args[3].toInt());
    return usage();
}
