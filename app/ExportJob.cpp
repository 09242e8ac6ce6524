#include "app/ExportJob.h"

#include <QApplication>
#include <QEventLoop>
#include <QProgressDialog>
#include <QTimer>

#include <atomic>
#include <thread>

bool runExportJob(QWidget* parent, int steps, const std::function<bool(const exporting::Progress&)>& work)
{
    std::atomic<int> done { 0 };
    std::atomic<bool> cancelled { false };
    std::atomic<bool> finished { false };
    bool answer = false;
    const exporting::Progress progress {
        [&done](int count) { done.store(count); },
        [&cancelled] { return cancelled.load(); },
    };
    QProgressDialog window(QStringLiteral("Please wait..."), QStringLiteral("Cancel"), 0, std::max(steps, 1), parent);
    window.setWindowModality(Qt::WindowModal);
    window.setMinimumDuration(300);
    window.setAutoClose(false);
    window.setAutoReset(false);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    {
        std::jthread worker([&] {
            answer = work(progress);
            finished.store(true);
        });
        QEventLoop loop;
        QTimer poll;
        QObject::connect(&window, &QProgressDialog::canceled, [&cancelled] { cancelled.store(true); });
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (window.wasCanceled())
                cancelled.store(true);
            window.setValue(std::min(done.load(), std::max(steps, 1)));
            if (finished.load())
                loop.quit();
        });
        poll.start(30);
        loop.exec();
    }
    QApplication::restoreOverrideCursor();
    return answer;
}
