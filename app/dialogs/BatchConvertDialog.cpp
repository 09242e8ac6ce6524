#include "app/dialogs/BatchConvertDialog.h"

#include "app/ExportJob.h"
#include "app/Settings.h"
#include "app/dialogs/AnonymizeOptionsDialog.h"
#include "app/dialogs/DicomTagsDialog.h"
#include "app/CMainFrame.h"
#include "dicom/DicomReader.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <atomic>

namespace {

// A folder as the list holds it: native separators, ending in one.
QString withTrailingSeparator(const QString& folder)
{
    QString shown = QDir::toNativeSeparators(folder);
    if (!shown.endsWith(QDir::separator()))
        shown += QDir::separator();
    return shown;
}

} // namespace

BatchConvertDialog::BatchConvertDialog(QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(tr("Batch Convert"));
    m_files = new ScanFileList(this);
    m_format = new QComboBox(this);
    m_format->addItems({ tr("TIFF"), tr("JPEG"), tr("BMP"), tr("HTML"), tr("RAW") }); // BatchFormat's order
    m_directories = new QComboBox(this);
    m_directories->setMinimumWidth(280);
    m_directories->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    auto* browse = new QPushButton(tr("Export Directory..."), this);
    m_path = new QLineEdit(this);
    m_path->setReadOnly(true);
    m_export = new QPushButton(tr("Export"), this);
    m_viewHeader = new QPushButton(tr("View Header..."), this);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);

    auto* exportRow = new QHBoxLayout;
    exportRow->addWidget(new QLabel(tr("Export as    "), this));
    exportRow->addWidget(m_format);
    exportRow->addSpacing(12);
    exportRow->addWidget(m_directories, 1);
    exportRow->addWidget(browse);
    auto* actionRow = new QHBoxLayout;
    actionRow->addWidget(m_viewHeader);
    actionRow->addStretch();
    actionRow->addWidget(m_export);
    actionRow->addWidget(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_files, 1);
    layout->addLayout(exportRow);
    layout->addWidget(m_path);
    layout->addLayout(actionRow);
    resize(820, 520);

    if (auto store = settings::open()) {
        const QString folder = settings::readString(*store, settings::DirectoriesGroup, settings::ExportDirectory);
        if (!folder.isEmpty())
            setExportDirectory(folder);
    }
    selectionChanged();

    connect(m_files, &ScanFileList::scanFinished, this, &BatchConvertDialog::scanFinished);
    connect(m_files, &ScanFileList::selectionChanged, this, &BatchConvertDialog::selectionChanged);
    connect(browse, &QPushButton::clicked, this, &BatchConvertDialog::chooseExportDirectory);
    connect(m_export, &QPushButton::clicked, this, &BatchConvertDialog::exportClicked);
    connect(m_viewHeader, &QPushButton::clicked, this, &BatchConvertDialog::viewHeader);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void BatchConvertDialog::done(int result)
{
    m_files->stopScan();
    QDialog::done(result);
}

void BatchConvertDialog::scan(const QString& folder)
{
    m_files->setFolder(folder);
    m_files->startScan();
}

void BatchConvertDialog::setExportDirectory(const QString& folder)
{
    const QString shown = withTrailingSeparator(folder);
    int index = m_directories->findText(shown);
    if (index < 0) {
        m_directories->addItem(shown);
        index = m_directories->count() - 1;
    }
    m_directories->setCurrentIndex(index);
}

QString BatchConvertDialog::exportDirectory() const
{
    return m_directories->currentText();
}

void BatchConvertDialog::chooseExportDirectory()
{
    const QString folder = QFileDialog::getExistingDirectory(this, tr("Export Directory..."), exportDirectory());
    if (!folder.isEmpty())
        setExportDirectory(folder);
}

void BatchConvertDialog::selectionChanged()
{
    const QStringList selected = m_files->selectedPaths();
    m_export->setEnabled(!selected.isEmpty());
    m_viewHeader->setEnabled(!selected.isEmpty());
    m_path->setText(selected.isEmpty() ? QString() : QDir::toNativeSeparators(selected.front()));
}

QString BatchConvertDialog::convert(bool anonymizedHeader, const dicom::AnonOptions& anonOptions)
{
    const QString directory = exportDirectory();
    if (directory.isEmpty()) {
        QMessageBox::warning(this, windowTitle(), tr("Please select an export directory   "));
        return {};
    }
    if (auto store = settings::open())
        settings::writeString(*store, settings::DirectoriesGroup, settings::ExportDirectory, directory);
    std::vector<std::filesystem::path> sources;
    for (const QString& path : m_files->selectedPaths())
        sources.emplace_back(path.toStdString());
    exporting::BatchOptions options;
    options.format = static_cast<exporting::BatchFormat>(m_format->currentIndex());
    options.directory = directory.toStdString();
    options.anonymizedHeader = anonymizedHeader;
    options.anonOptions = anonOptions;
    m_summary = {};
    runExportJob(this, static_cast<int>(sources.size()), [&](const exporting::Progress& progress) {
        std::atomic<bool> stop { false };
        exporting::Progress run;
        run.advance = [&](int done) {
            progress.advance(done);
            if (m_afterFile && m_afterFile(done))
                stop.store(true);
        };
        run.cancelled = [&] { return stop.load() || progress.isCancelled(); };
        m_summary = exporting::runBatchConvert(sources, options, run);
        return true;
    });
    m_files->list()->setFocus();

    QString message = tr("Finished!") + QStringLiteral("\n\n")
        + tr("Converted: %1\nSkipped (unreadable): %2\nSkipped (output would replace a source): %3\nFailed: %4")
              .arg(m_summary.converted)
              .arg(m_summary.unreadable)
              .arg(m_summary.sameAsSource)
              .arg(m_summary.failed);
    if (m_summary.failed > 0) {
        message += QStringLiteral("\n\n") + tr("File creation error");
        for (const exporting::BatchFileResult& file : m_summary.files)
            if (file.outcome == exporting::BatchOutcome::Failed) {
                message += QLatin1Char('\n') + QString::fromStdString(file.source.string());
                if (!file.error.empty())
                    message += QStringLiteral(": ") + QString::fromLocal8Bit(file.error.c_str());
            }
    }
    return message;
}

void BatchConvertDialog::exportClicked()
{
    auto store = settings::open();
    if (!store)
        return;
    // "AnonExports" decides whether the pages' header tables are anonymized.
    const auto* frame = qobject_cast<const CMainFrame*>(parentWidget());
    const bool anonymized = frame ? frame->options().anonExports != 0
                                  : settings::readUserOptions(*store).anonExports != 0;
    const QString message = convert(anonymized, AnonymizeOptionsDialog::load(*store));
    if (message.isEmpty())
        return;
    if (m_summary.failed > 0)
        QMessageBox::critical(this, windowTitle(), message);
    else
        QMessageBox::information(this, windowTitle(), message);
}

void BatchConvertDialog::viewHeader()
{
    const QStringList selected = m_files->selectedPaths();
    if (selected.isEmpty())
        return;
    dicom::DicomDataset dataset;
    dicom::ReadOptions options;
    options.headerOnly = dicom::HeaderOnly::Yes;
    if (!dicom::DicomReader(options).read(selected.front().toStdString(), dataset)) {
        QMessageBox::warning(this, windowTitle(), QString::fromStdString(dataset.errorMessage(64)));
        return;
    }
    DicomTagsDialog dialog(dataset, this);
    dialog.exec();
}
