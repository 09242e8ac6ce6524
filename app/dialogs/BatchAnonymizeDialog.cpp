#include "app/dialogs/BatchAnonymizeDialog.h"

#include "app/Settings.h"
#include "app/dialogs/AnonymizeOptionsDialog.h"
#include "app/dialogs/AttentionDialog.h"
#include "dicom/BatchAnonymizer.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QEventLoop>
#include <QFile>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QSettings>
#include <QVBoxLayout>

#include <atomic>
#include <memory>
#include <set>
#include <thread>

BatchAnonymizeDialog::BatchAnonymizeDialog(QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(tr("Batch Anonymize"));
    m_files = new ScanFileList(this);
    m_files->directoryButton()->setText(tr("Scan Directory..."));
    // Every file found is anonymized unless the user takes it out.
    m_files->setSelectNewRows(true);
    auto* exportButton = new QPushButton(tr("Export Directory..."), this);
    m_exportLabel = new QLabel(this);
    m_exportLabel->setMinimumWidth(300);
    m_exportLabel->setTextFormat(Qt::PlainText);
    m_suffix = new QCheckBox(tr("Use \"_anon\" suffix"), this);
    m_anonymize = new QPushButton(tr("Anonymize"), this);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);

    auto* exportRow = new QHBoxLayout;
    exportRow->addWidget(exportButton);
    exportRow->addWidget(m_exportLabel, 1);
    exportRow->addWidget(m_suffix);
    exportRow->addWidget(m_anonymize);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_files, 1);
    layout->addLayout(exportRow);
    layout->addWidget(buttons);
    resize(820, 480);

    connect(m_files, &ScanFileList::scanFinished, this, &BatchAnonymizeDialog::scanFinished);
    connect(exportButton, &QPushButton::clicked, this, &BatchAnonymizeDialog::chooseExportDirectory);
    connect(m_anonymize, &QPushButton::clicked, this, &BatchAnonymizeDialog::anonymizeClicked);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void BatchAnonymizeDialog::done(int result)
{
    m_files->stopScan();
    QDialog::done(result);
}

void BatchAnonymizeDialog::scan(const QString& folder)
{
    m_files->setFolder(folder);
    m_files->startScan();
}

void BatchAnonymizeDialog::chooseExportDirectory()
{
    const QString folder = QFileDialog::getExistingDirectory(this, tr("Export Directory..."), m_exportDirectory);
    if (!folder.isEmpty())
        setExportDirectory(folder);
}

void BatchAnonymizeDialog::setExportDirectory(const QString& folder)
{
    m_exportDirectory = folder;
    m_exportLabel->setText(folder);
}

void BatchAnonymizeDialog::anonymizeClicked()
{
    auto store = settings::open();
    if (!store)
        return;
    const QString message = anonymize(AnonymizeOptionsDialog::load(*store));
    if (message.isEmpty())
        return;
    QMessageBox::information(this, windowTitle(), message);
    AttentionDialog::applyRule(*store, this);
}

QString BatchAnonymizeDialog::anonymize(const dicom::AnonOptions& options)
{
    if (m_exportDirectory.isEmpty()) {
        QMessageBox::warning(this, windowTitle(), tr("Please select an export directory   "));
        return {};
    }
    std::vector<std::filesystem::path> inputs;
    for (const QString& path : m_files->selectedPaths())
        inputs.emplace_back(QFile::encodeName(path).toStdString());
    auto batch = std::make_shared<dicom::BatchAnonymizer>(m_exportDirectory.toStdString(), m_suffix->isChecked(),
                                                          options, inputs);
    std::vector<dicom::BatchItem> items;
    for (const auto& input : inputs)
        items.push_back(batch->plan(input));

    // The files of the scanned folder that the scan passed over because they
    // break off: they are told as failed, not silently left out.
    std::set<std::filesystem::path> listed;
    for (const QString& path : m_files->allPaths())
        listed.insert(QFile::encodeName(path).toStdString());
    const std::filesystem::path scanned = QFile::encodeName(m_files->shownFolder()).toStdString();
    const bool recursive = m_files->subdirectoriesBox()->isChecked();
    std::vector<std::filesystem::path> broken;

    QProgressDialog progress(tr("Please wait..."), tr("Cancel"), 0, static_cast<int>(items.size()), this);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(0);
    std::atomic<bool> cancel {false};
    QEventLoop loop;
    // The files are written off the interface thread; progress comes back queued.
    std::thread worker([&] {
        for (std::size_t i = 0; i < items.size() && !cancel.load(); ++i) {
            batch->run(items[i]);
            QMetaObject::invokeMethod(&progress, [&progress, i] { progress.setValue(static_cast<int>(i) + 1); },
                                      Qt::QueuedConnection);
        }
        if (!cancel.load() && !scanned.empty())
            broken = dicom::brokenDicomFiles(scanned, recursive, listed, cancel);
        QMetaObject::invokeMethod(&loop, [&loop] { loop.quit(); }, Qt::QueuedConnection);
    });
    connect(&progress, &QProgressDialog::canceled, this, [&cancel] { cancel.store(true); });
    loop.exec();
    worker.join();
    QCoreApplication::sendPostedEvents(&progress); // updates queued before the quit

    const auto counts = batch->counts();
    QStringList details;
    for (const auto& path : broken)
        details << tr("%1: not anonymized").arg(QString::fromStdString(path.string()));
    for (const auto& item : items) {
        if (item.outcome == dicom::BatchOutcome::SkippedInput)
            details << tr("%1: skipped, it would replace an input file").arg(QString::fromStdString(item.input.string()));
        else if (item.outcome == dicom::BatchOutcome::Failed && item.error != dicom::AnonError::None)
            details << tr("%1: not anonymized").arg(QString::fromStdString(item.input.string()));
    }
    QString message = tr("%1 files written, %2 skipped, %3 failed.    ").arg(counts.written).arg(counts.skipped).arg(counts.failed + broken.size());
    if (!details.isEmpty())
        message += QLatin1Char('\n') + details.join(QLatin1Char('\n'));
    return message;
}
