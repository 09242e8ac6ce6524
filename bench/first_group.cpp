// The time from the start of an "Open Multiple Files" scan to its first
// group offered in "File Groups:", for bench/first_group.sh:
//
//   first-group DIR
//       scans DIR and its sub-folders with every group key on and prints
//       "first-group SECONDS all SECONDS groups N files N".
//
// Run with QT_QPA_PLATFORM=offscreen and XDG_CONFIG_HOME in a scratch folder.
#include "app/dialogs/OpenMultipleDialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLineEdit>
#include <QTimer>

#include <cstdio>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: first-group DIR\n");
        return 2;
    }
    OpenMultipleDialog dialog(QString::fromLocal8Bit(argv[1]));
    for (QCheckBox* box : dialog.keyBoxes())
        box->setChecked(true);
    dialog.subdirectoriesBox()->setChecked(true);
    dialog.show();
    QElapsedTimer clock;
    qint64 firstNs = -1;
    QObject::connect(&dialog, &OpenMultipleDialog::firstGroupShown, [&] { firstNs = clock.nsecsElapsed(); });
    QEventLoop loop;
    QObject::connect(&dialog, &OpenMultipleDialog::scanFinished, &loop, &QEventLoop::quit);
    QTimer::singleShot(600000, &loop, &QEventLoop::quit);
    clock.start();
    dialog.startScan();
    loop.exec();
    const qint64 allNs = clock.nsecsElapsed();
    if (dialog.scanning() || firstNs < 0) {
        std::fprintf(stderr, "first-group: no group found\n");
        return 1;
    }
    std::printf("first-group %.4f all %.4f groups %zu files %zu\n", static_cast<double>(firstNs) / 1e9,
                static_cast<double>(allNs) / 1e9, dialog.groups().groups().size(), dialog.groups().records().size());
    return 0;
}
