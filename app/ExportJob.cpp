#include "app/ExportJob.h"

#include <QApplication>
#include <QEventLoop>
#include <QProgressDialog>
#include <QTimer>

#include <atomic>
#include <thread>

void runBesideWindow(QProgressDialog& window, std::atomic<bool>& cancelled, const std::function<void()>& work,
                     const std::function<void()>& update)
{
    std::atomic<bool> finished { false };
    window.setWindowModality(Qt::WindowModal);
    window.setMinimumDuration(300);
    window.setAutoClose(false);
    window.setAutoReset(false);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    {
        std::jthread worker([&] {
            work();
            finished.store(true);
        });
        QEventLoop loop;
        QTimer poll;
        QObject::connect(&window, &QProgressDialog::canceled, [&cancelled] { cancelled.store(true); });
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (window.wasCanceled())
                cancelled.store(true);
            update();
            if (finished.load())
                loop.quit();
        });
        poll.start(30);
        loop.exec();
    }
    QApplication::restoreOverrideCursor();
}

bool runExportJob(QWidget* parent, int steps, const std::function<bool(const exporting::Progress&)>& work)
{
    std::atomic<int> done { 0 };
    std::atomic<bool> cancelled { false };
    bool answer = false;
    const exporting::Progress progress {
        [&done](int count) { done.store(count); },
        [&cancelled] { return cancelled.load(); },
    };
    QProgressDialog window(QStringLiteral("Please wait..."), QStringLiteral("Cancel"), 0, std::max(steps, 1), parent);
    runBesideWindow(window, cancelled, [&] { answer = work(progress); },
        [&] { window.setValue(std::min(done.load(), std::max(steps, 1))); });
    return answer;
}
