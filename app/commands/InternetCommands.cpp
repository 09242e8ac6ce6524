// "Open from &Internet...": the address from the dialog is fetched into a
// private file of the cache folder while a progress window offers Cancel,
// then saved where the user says, or opened from the cache.

#include "app/CMainFrame.h"
#include "app/ExportJob.h"
#include "app/Command.h"
#include "app/commands/CommandTable.h"
#include "app/commands/Commands.h"
#include "app/dialogs/OpenUrlDialog.h"
#include "net/UrlAddress.h"
#include "net/UrlDownload.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QProgressDialog>
#include <QSaveFile>
#include <QStandardPaths>

#include <atomic>

namespace {

// The downloads opened from the cache: a document may read its file again
// while it is open, so they stay until the main frame goes.
class DownloadedFiles : public QObject {
public:
    explicit DownloadedFiles(QObject* parent) : QObject(parent) {}
    ~DownloadedFiles() override
    {
        for (const QString& path : m_paths)
            QFile::remove(path);
    }
    void keep(const QString& path) { m_paths.append(path); }

private:
    QStringList m_paths;
};

QString downloadFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::CacheLocation) + QStringLiteral("/downloads");
}

// The fetch runs on a worker thread; the interface thread shows how far it
// got and passes Cancel on.
net::DownloadResult fetchWithProgress(CMainFrame& frame, const QString& address)
{
    std::atomic<std::uint64_t> received { 0 };
    std::atomic<std::uint64_t> total { 0 };
    std::atomic<bool> cancelled { false };
    net::DownloadResult result;
    const std::string url = address.toStdString();
    const std::string extension = net::safeExtension(url);
    const std::filesystem::path folder = downloadFolder().toStdString();
    const net::DownloadProgress progress = [&](std::uint64_t got, std::uint64_t size) {
        received.store(got);
        total.store(size);
        return !cancelled.load();
    };

    QProgressDialog window(QObject::tr("Downloading %1").arg(address), QObject::tr("Cancel"), 0, 0, &frame);
    window.setWindowTitle(frame.windowTitle());
    runBesideWindow(window, cancelled,
        [&] { result = net::fetchToFolder(url, folder, extension, net::DownloadOptions {}, progress); },
        [&] {
            // Per mille of the whole, or a busy bar while the size is unknown.
            const std::uint64_t size = total.load();
            if (size > 0) {
                window.setMaximum(1000);
                window.setValue(static_cast<int>(std::min<std::uint64_t>(received.load(), size) * 1000 / size));
            }
        });
    return result;
}

void tellNotFound(CMainFrame& frame, const std::string& reason)
{
    QMessageBox box(QMessageBox::Critical, CMainFrame::programName(), OpenUrlDialog::notFoundText(), QMessageBox::Ok, &frame);
    box.setInformativeText(QString::fromStdString(reason));
    box.exec();
}

bool askToSave(CMainFrame& frame)
{
    QMessageBox box(QMessageBox::Question, CMainFrame::programName(),
        QStringLiteral("Do you want to save this file locally?   "), QMessageBox::Yes | QMessageBox::No, &frame);
    return box.exec() == QMessageBox::Yes;
}

// Copies through a temporary name in the target's folder, renamed into
// place, so a failed copy leaves any earlier file as it was.
QString copyInto(const QString& from, const QString& to)
{
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly))
        return source.errorString();
    QSaveFile target(to);
    if (!target.open(QIODevice::WriteOnly))
        return target.errorString();
    while (!source.atEnd()) {
        const QByteArray chunk = source.read(1 << 20);
        if (chunk.isEmpty() && source.error() != QFileDevice::NoError)
            return source.errorString();
        if (target.write(chunk) != chunk.size())
            return target.errorString();
    }
    if (!target.commit())
        return target.errorString();
    return {};
}

void openFromInternet(CMainFrame& frame, DownloadedFiles& kept)
{
    OpenUrlDialog dialog(&frame);
    if (dialog.exec() != QDialog::Accepted || dialog.address().isEmpty())
        return;
    const QString address = dialog.address();
    const net::DownloadResult result = fetchWithProgress(frame, address);
    if (result.status == net::DownloadStatus::Cancelled)
        return;
    if (result.status != net::DownloadStatus::Done) {
        tellNotFound(frame, result.error);
        return;
    }
    const QString local = QString::fromStdString(result.file.string());
    if (askToSave(frame)) {
        const QString proposed = QString::fromStdString(net::proposedSaveName(address.toStdString()));
        const QString chosen = QFileDialog::getSaveFileName(&frame, QObject::tr("Save As"), proposed,
                                                            QObject::tr("All Files (*)"));
        if (!chosen.isEmpty()) {
            const QString failure = copyInto(local, chosen);
            if (failure.isEmpty()) {
                QFile::remove(local);
                emit frame.openAsOneRequested({ chosen }, QFileInfo(chosen).fileName());
                return;
            }
            QMessageBox::warning(&frame, CMainFrame::programName(), QObject::tr("The file could not be saved: %1").arg(failure));
        }
    }
    kept.keep(local);
    emit frame.openUnlistedRequested(local, address);
}

} // namespace

void addInternetCommands(CommandTable& table, CMainFrame& frame)
{
    auto* kept = new DownloadedFiles(&frame);
    table.add(Command::OpenFromInternet, [&frame, kept] { openFromInternet(frame, *kept); });
}
