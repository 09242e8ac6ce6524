#include "app/dialogs/OpenMultipleDialog.h"

#include "app/FileThumbnail.h"
#include "app/Settings.h"
#include "app/dialogs/DicomTagsDialog.h"
#include "dicom/DicomReader.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QHeaderView>
#include <QImage>
#include <QLineEdit>
#include <QMessageBox>
#include <QPixmap>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QTableWidget>

#include <algorithm>

namespace {

constexpr const char* OpenMultipleGroup = "Open Multiple";

// The settings' whole-number range: any value but 0 ticks a box.
constexpr int AnyNumberLow = -2147483647;
constexpr int AnyNumberHigh = 2147483647;

QImage thumbnailOf(const dicom::ScanRecord& record)
{
    if (const auto* image = std::any_cast<QImage>(&record.extra))
        return *image;
    return {};
}

QPixmap emptyPicture()
{
    QPixmap picture(OpenMultipleDialog::IconSide, OpenMultipleDialog::IconSide);
    picture.fill(Qt::transparent);
    return picture;
}

} // namespace

OpenMultipleDialog::OpenMultipleDialog(const QString& folder, QWidget* parent) : QDialog(parent)
{
    setWindowTitle(tr("Open Multiple Files"));
    buildLayout();
    m_folder->setText(folder);
    if (auto store = settings::open()) {
        const auto& keys = dicom::groupKeys();
        for (std::size_t i = 0; i < keys.size(); ++i) {
            const std::string setting(keys[i].setting);
            m_keyBoxes[i]->setChecked(
                settings::readNumber(*store, OpenMultipleGroup, setting.c_str(), 1, AnyNumberLow, AnyNumberHigh) != 0);
        }
    }
    m_groups = dicom::FileGroups(chosenKeys());
    for (QCheckBox* box : m_keyBoxes)
        connect(box, &QCheckBox::toggled, this, &OpenMultipleDialog::regroup);
    connect(m_browse, &QPushButton::clicked, this, &OpenMultipleDialog::chooseFolder);
    connect(m_start, &QPushButton::clicked, this, &OpenMultipleDialog::startClicked);
    connect(m_minimum, &QSpinBox::valueChanged, this, &OpenMultipleDialog::fillGroupList);
    connect(m_groupList, &QComboBox::currentIndexChanged, this, &OpenMultipleDialog::showGroup);
    connect(m_list, &QTableWidget::itemSelectionChanged, this, &OpenMultipleDialog::selectionChanged);
    connect(m_openAll, &QPushButton::clicked, this, [this] { openRows(false); });
    connect(m_openSelected, &QPushButton::clicked, this, [this] { openRows(true); });
    connect(m_viewHeader, &QPushButton::clicked, this, &OpenMultipleDialog::viewHeader);
    updateButtons();
}

OpenMultipleDialog::~OpenMultipleDialog()
{
    // The workers post to this dialog: they end before it does.
    m_scan.cancel();
    m_scan.wait();
}

void OpenMultipleDialog::done(int result)
{
    stopScan();
    if (auto store = settings::open()) {
        const auto& keys = dicom::groupKeys();
        for (std::size_t i = 0; i < keys.size(); ++i) {
            const std::string setting(keys[i].setting);
            settings::writeNumber(*store, OpenMultipleGroup, setting.c_str(), m_keyBoxes[i]->isChecked() ? 1 : 0);
        }
    }
    QDialog::done(result);
}

QString OpenMultipleDialog::shownText(const std::string& value)
{
    // Cut the bytes first: a value of megabytes is not decoded whole.
    constexpr std::size_t ByteLimit = 4 * static_cast<std::size_t>(MaxShownLength);
    QString text = QString::fromStdString(value.size() > ByteLimit ? value.substr(0, ByteLimit) : value);
    if (text.size() > MaxShownLength || value.size() > ByteLimit)
        text = text.left(MaxShownLength) + QStringLiteral("...");
    return text;
}

unsigned OpenMultipleDialog::chosenKeys() const
{
    unsigned keys = 0;
    const auto& table = dicom::groupKeys();
    for (std::size_t i = 0; i < table.size(); ++i) {
        if (m_keyBoxes[i]->isChecked())
            keys |= table[i].key;
    }
    return keys;
}

int OpenMultipleDialog::shownGroup() const
{
    return m_groupList->currentIndex() < 0 ? -1 : m_groupList->currentData().toInt();
}

void OpenMultipleDialog::chooseFolder()
{
    QString chosen = QFileDialog::getExistingDirectory(this, tr("Directory"), m_folder->text());
    if (chosen.isEmpty())
        return;
    if (!chosen.endsWith(QLatin1Char('/')))
        chosen += QLatin1Char('/');
    m_folder->setText(chosen);
    emit directoryChosen(chosen);
}

void OpenMultipleDialog::startClicked()
{
    if (m_scanning)
        stopScan();
    else
        startScan();
}

void OpenMultipleDialog::startScan()
{
    stopScan();
    const QString folder = m_folder->text();
    if (folder.isEmpty())
        return;
    const unsigned generation = ++m_generation;
    m_found = 0;
    m_firstGroupSignalled = false;
    m_scanning = true;
    m_start->setText(tr("Stop"));
    dicom::ScanOptions options;
    options.recursive = m_subdirectories->isChecked();
    if (m_icons->isChecked()) {
        // Drawn on the workers; a file whose frame does not draw is left out.
        options.prepare = [](dicom::ScanRecord& record) {
            QImage icon = fileThumbnail(QString::fromStdString(record.path()), IconSide);
            if (icon.isNull())
                return false;
            record.extra = std::move(icon);
            return true;
        };
    }
    m_scan.start(
        folder.toStdString(), std::move(options),
        [this, generation](dicom::ScanRecord&& record) {
            auto shared = std::make_shared<dicom::ScanRecord>(std::move(record));
            QMetaObject::invokeMethod(this, [this, generation, shared] { recordFound(generation, shared); },
                                      Qt::QueuedConnection);
        },
        [this, generation](const dicom::ScanCounts&, bool cancelled) {
            QMetaObject::invokeMethod(this, [this, generation, cancelled] { finished(generation, cancelled); },
                                      Qt::QueuedConnection);
        });
}

void OpenMultipleDialog::stopScan()
{
    if (!m_scanning)
        return;
    m_scan.cancel();
    m_scan.wait();
    // What is still queued belongs to the stopped scan.
    ++m_generation;
    finished(m_generation, true);
}

void OpenMultipleDialog::recordFound(unsigned generation, std::shared_ptr<dicom::ScanRecord> record)
{
    if (generation != m_generation)
        return;
    ++m_found;
    m_status->setText(QString::asprintf("Search (%llu) : ", static_cast<unsigned long long>(m_found))
                      + shownText(record->folder) + shownText(record->fileName));
    const std::size_t before = m_groups.records().size();
    const std::size_t group = m_groups.add(std::move(*record));
    if (m_groups.records().size() == before)
        return; // a file of an earlier scan, already grouped
    const std::size_t size = m_groups.groups()[group].files.size();
    if (size == static_cast<std::size_t>(m_minimum->value()))
        offerGroup(group);
    else if (size > static_cast<std::size_t>(m_minimum->value()) && shownGroup() == static_cast<int>(group))
        appendRow(m_groups.records().size() - 1);
}

void OpenMultipleDialog::finished(unsigned generation, bool)
{
    if (generation != m_generation || !m_scanning)
        return;
    m_scanning = false;
    m_start->setText(tr("Start"));
    m_status->setText(tr("Finished!"));
    emit scanFinished();
}

void OpenMultipleDialog::regroup()
{
    dicom::FileGroups regrouped(chosenKeys());
    for (const dicom::ScanRecord& record : m_groups.records())
        regrouped.add(record);
    m_groups = std::move(regrouped);
    fillGroupList();
}

void OpenMultipleDialog::fillGroupList()
{
    const QSignalBlocker blocker(m_groupList);
    m_groupList->clear();
    for (std::size_t group : m_groups.groupsOfAtLeast(static_cast<std::size_t>(m_minimum->value())))
        m_groupList->addItem(QString::asprintf("%04d", static_cast<int>(group) + 1), static_cast<int>(group));
    m_groupList->setCurrentIndex(m_groupList->count() > 0 ? 0 : -1);
    showGroup(m_groupList->currentIndex());
}

void OpenMultipleDialog::offerGroup(std::size_t group)
{
    // Groups are offered in creation order; one that reaches N files late
    // goes before the later groups already offered.
    int at = 0;
    while (at < m_groupList->count() && m_groupList->itemData(at).toInt() < static_cast<int>(group))
        ++at;
    const QSignalBlocker blocker(m_groupList);
    m_groupList->insertItem(at, QString::asprintf("%04d", static_cast<int>(group) + 1), static_cast<int>(group));
    if (m_groupList->count() == 1) {
        m_groupList->setCurrentIndex(0);
        showGroup(0);
        if (!m_firstGroupSignalled) {
            m_firstGroupSignalled = true;
            emit firstGroupShown();
        }
    }
}

void OpenMultipleDialog::showGroup(int comboIndex)
{
    m_list->setRowCount(0);
    m_rows.clear();
    if (comboIndex >= 0) {
        const auto group = static_cast<std::size_t>(m_groupList->itemData(comboIndex).toInt());
        m_list->setUpdatesEnabled(false);
        for (std::size_t record : m_groups.groups()[group].files)
            appendRow(record);
        m_list->setUpdatesEnabled(true);
    }
    selectionChanged();
}

void OpenMultipleDialog::appendRow(std::size_t recordIndex)
{
    const dicom::ScanRecord& record = m_groups.records()[recordIndex];
    const int row = m_list->rowCount();
    m_list->insertRow(row);
    const QString cells[] = { shownText(record.patientName), shownText(record.studyId), shownText(record.studyDate),
        shownText(record.modality), QString::number(record.frames), shownText(record.fileName) };
    for (int column = 0; column < static_cast<int>(std::size(cells)); ++column) {
        auto* item = new QTableWidgetItem(cells[column]);
        item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
        m_list->setItem(row, column, item);
    }
    if (const QImage icon = thumbnailOf(record); !icon.isNull())
        m_list->item(row, 0)->setIcon(QPixmap::fromImage(icon));
    m_rows.push_back(recordIndex);
    updateButtons();
}

std::vector<std::size_t> OpenMultipleDialog::selectedRecords() const
{
    std::vector<int> rows;
    for (const QModelIndex& index : m_list->selectionModel()->selectedRows())
        rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    std::vector<std::size_t> records;
    for (int row : rows)
        records.push_back(m_rows[static_cast<std::size_t>(row)]);
    return records;
}

void OpenMultipleDialog::selectionChanged()
{
    const int row = m_list->currentRow();
    const bool selected = row >= 0 && m_list->selectionModel()->isRowSelected(row, {});
    if (selected) {
        const dicom::ScanRecord& record = m_groups.records()[m_rows[static_cast<std::size_t>(row)]];
        const QImage icon = thumbnailOf(record);
        m_preview->setIcon(icon.isNull() ? emptyPicture() : QPixmap::fromImage(icon));
        m_path->setText(QString::fromStdString(record.path()));
    } else {
        m_preview->setIcon(emptyPicture());
        m_path->clear();
    }
    updateButtons();
}

void OpenMultipleDialog::updateButtons()
{
    const bool rows = m_list->rowCount() > 0;
    const bool selected = rows && m_list->selectionModel()->hasSelection();
    m_openAll->setEnabled(rows);
    m_openSelected->setEnabled(selected);
    m_viewHeader->setEnabled(selected && !m_path->text().isEmpty());
}

void OpenMultipleDialog::openRows(bool selectedOnly)
{
    const int group = shownGroup();
    if (group < 0)
        return;
    const std::vector<std::size_t> records = selectedOnly ? selectedRecords() : m_rows;
    if (records.empty())
        return;
    QStringList paths;
    for (std::size_t record : records)
        paths.append(QString::fromStdString(m_groups.records()[record].path()));
    const QString label = shownText(m_groups.groups()[static_cast<std::size_t>(group)].label);
    emit openRequested(paths, QStringLiteral("%1, %2").arg(label).arg(paths.size()));
    accept();
}

void OpenMultipleDialog::viewHeader()
{
    const QString path = m_path->text();
    if (path.isEmpty())
        return;
    dicom::DicomDataset dataset;
    dicom::ReadOptions options;
    options.headerOnly = dicom::HeaderOnly::Yes;
    dicom::DicomReader reader(options);
    if (!reader.read(path.toStdString(), dataset)) {
        QMessageBox::warning(this, windowTitle(), tr("Error during reading file.    "));
        return;
    }
    DicomTagsDialog tags(dataset, this);
    tags.exec();
}
