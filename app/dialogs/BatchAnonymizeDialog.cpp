#include "app/dialogs/BatchAnonymizeDialog.h"

#include "app/FileThumbnail.h"
#include "app/Settings.h"
#include "app/dialogs/AnonymizeOptionsDialog.h"
#include "app/dialogs/AttentionDialog.h"
#include "dicom/BatchAnonymizer.h"
#include "dicom/DicomReader.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QEventLoop>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIcon>
#include <QPixmap>
#include <QLabel>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QSettings>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <atomic>
#include <memory>
#include <thread>

namespace {

QString elementText(const dicom::DicomDataset& dataset, std::uint16_t group, std::uint16_t element)
{
    const auto* e = dataset.find({group, element});
    return e ? QString::fromLatin1(e->text().data(), static_cast<qsizetype>(e->text().size())).trimmed() : QString();
}

} // namespace

BatchAnonymizeDialog::BatchAnonymizeDialog(QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(tr("Batch Anonymize"));
    m_list = new QTreeWidget(this);
    m_list->setRootIsDecorated(false);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setIconSize(QSize(IconSide, IconSide));
    m_list->setHeaderLabels({tr("Icon"), tr("Patient Name"), tr("ID"), tr("Study Date"), tr("Modality"), tr("Frames"),
                             tr("File Name")});
    const int widths[] = {68, 180, 100, 100, 70, 70};
    for (int column = 0; column < 6; ++column)
        m_list->setColumnWidth(column, widths[column]);
    m_scanButton = new QPushButton(tr("Scan Directory..."), this);
    m_subdirectories = new QCheckBox(tr("Search Subdirectories"), this);
    m_icons = new QCheckBox(tr("Load Icons"), this);
    auto* exportButton = new QPushButton(tr("Export Directory..."), this);
    m_exportLabel = new QLabel(this);
    m_exportLabel->setMinimumWidth(300);
    m_suffix = new QCheckBox(tr("Use \"_anon\" suffix"), this);
    m_anonymize = new QPushButton(tr("Anonymize"), this);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);

    auto* scanRow = new QHBoxLayout;
    scanRow->addWidget(m_scanButton);
    scanRow->addWidget(m_subdirectories);
    scanRow->addWidget(m_icons);
    scanRow->addStretch();
    auto* exportRow = new QHBoxLayout;
    exportRow->addWidget(exportButton);
    exportRow->addWidget(m_exportLabel, 1);
    exportRow->addWidget(m_suffix);
    exportRow->addWidget(m_anonymize);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(scanRow);
    layout->addWidget(m_list, 1);
    layout->addLayout(exportRow);
    layout->addWidget(buttons);
    resize(820, 480);

    connect(m_scanButton, &QPushButton::clicked, this, &BatchAnonymizeDialog::chooseFolder);
    connect(exportButton, &QPushButton::clicked, this, &BatchAnonymizeDialog::chooseExportDirectory);
    connect(m_anonymize, &QPushButton::clicked, this, &BatchAnonymizeDialog::anonymizeClicked);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

BatchAnonymizeDialog::~BatchAnonymizeDialog()
{
    m_scan.cancel();
    m_scan.wait();
}

void BatchAnonymizeDialog::done(int result)
{
    m_scan.cancel();
    QDialog::done(result);
}

void BatchAnonymizeDialog::chooseFolder()
{
    if (m_scan.running()) { // pressed again while scanning: stop
        m_scan.cancel();
        return;
    }
    const QString folder = QFileDialog::getExistingDirectory(this, tr("Scan Directory..."));
    if (!folder.isEmpty())
        scan(folder);
}

void BatchAnonymizeDialog::scan(const QString& folder)
{
    m_list->clear();
    const bool icons = m_icons->isChecked();
    // The header-only read, and with icons the full read and the thumbnail,
    // run on the worker; rows reach the list as they are found.
    m_scan.start(
        folder.toStdString(), m_subdirectories->isChecked(),
        [this, icons](const std::filesystem::path& path) {
            dicom::DicomDataset dataset;
            dicom::ReadOptions options;
            options.headerOnly = dicom::HeaderOnly::Yes;
            if (!dicom::DicomReader(options).read(path, dataset))
                return; // not DICOM: not listed
            const QString frames = elementText(dataset, 0x0028, 0x0008);
            Row row {QString::fromStdString(path.string()),
                     {QString(), elementText(dataset, 0x0010, 0x0010), elementText(dataset, 0x0020, 0x0010),
                      elementText(dataset, 0x0008, 0x0020), elementText(dataset, 0x0008, 0x0060),
                      frames.isEmpty() ? QStringLiteral("1") : frames,
                      QString::fromStdString(path.filename().string())},
                     QImage()};
            if (icons) {
                if (m_scan.cancelled())
                    return; // closing: no full read to wait for
                row.icon = fileThumbnail(row.path, IconSide);
                if (row.icon.isNull())
                    return; // the full read failed: not listed
            }
            QMetaObject::invokeMethod(this, [this, row] { addRow(row); }, Qt::QueuedConnection);
        },
        [this](bool) { QMetaObject::invokeMethod(this, [this] { emit scanFinished(); }, Qt::QueuedConnection); });
}

void BatchAnonymizeDialog::addRow(const Row& row)
{
    auto* item = new QTreeWidgetItem(m_list, row.columns);
    if (!row.icon.isNull()) {
        // The frame as it is in a selected row too: the list starts all selected.
        const QPixmap picture = QPixmap::fromImage(row.icon);
        QIcon icon(picture);
        icon.addPixmap(picture, QIcon::Selected);
        item->setIcon(0, icon);
    }
    item->setData(0, Qt::UserRole, row.path);
    item->setSelected(true);
    m_list->scrollToItem(item);
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
    for (int i = 0; i < m_list->topLevelItemCount(); ++i) {
        if (m_list->topLevelItem(i)->isSelected())
            inputs.emplace_back(m_list->topLevelItem(i)->data(0, Qt::UserRole).toString().toStdString());
    }
    auto batch = std::make_shared<dicom::BatchAnonymizer>(m_exportDirectory.toStdString(), m_suffix->isChecked(),
                                                          options, inputs);
    std::vector<dicom::BatchItem> items;
    for (const auto& input : inputs)
        items.push_back(batch->plan(input));

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
        QMetaObject::invokeMethod(&loop, [&loop] { loop.quit(); }, Qt::QueuedConnection);
    });
    connect(&progress, &QProgressDialog::canceled, this, [&cancel] { cancel.store(true); });
    loop.exec();
    worker.join();
    QCoreApplication::sendPostedEvents(&progress); // updates queued before the quit

    const auto counts = batch->counts();
    QStringList details;
    for (const auto& item : items) {
        if (item.outcome == dicom::BatchOutcome::SkippedInput)
            details << tr("%1: skipped, it would replace an input file").arg(QString::fromStdString(item.input.string()));
        else if (item.outcome == dicom::BatchOutcome::Failed && item.error != dicom::AnonError::None)
            details << tr("%1: not anonymized").arg(QString::fromStdString(item.input.string()));
    }
    QString message = tr("%1 files written, %2 skipped, %3 failed.    ").arg(counts.written).arg(counts.skipped).arg(counts.failed);
    if (!details.isEmpty())
        message += QLatin1Char('\n') + details.join(QLatin1Char('\n'));
    return message;
}
