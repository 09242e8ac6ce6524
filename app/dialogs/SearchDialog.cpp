#include "app/dialogs/SearchDialog.h"

#include "app/dialogs/ScanFileList.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QVBoxLayout>

#include <memory>

namespace {

// The criteria of the last search, for the next dialog of this run.
dicom::SearchCriteria& storedCriteria()
{
    static dicom::SearchCriteria criteria;
    return criteria;
}

std::string fieldText(const QLineEdit* field)
{
    return field->text().toStdString();
}

// Empty, "*" and "?" bounds are not used; a used one must hold a whole date.
bool shortBound(const std::string& bound)
{
    const QString text = QString::fromStdString(bound).trimmed();
    const bool used = !text.isEmpty() && text != QStringLiteral("*") && text != QStringLiteral("?");
    return used && text.size() < 8;
}

} // namespace

SearchDialog::SearchDialog(QWidget* parent)
    : DirectoryContentsDialog(parent)
{
    setWindowTitle(tr("Search"));
    auto* group = new QGroupBox(tr("Criteria"), this);
    auto* form = new QFormLayout(group);
    auto addField = [this, form](const QString& label) {
        auto* field = new QLineEdit(this);
        form->addRow(label, field);
        return field;
    };
    m_patientName = addField(tr("Patient's name (0x0010,0x0010)"));
    m_patientId = addField(tr("Patient ID (0x0010,0x0020)"));
    m_physician = addField(tr("Physician's Name (0x0008,0x1050)"));
    m_studyId = addField(tr("Study ID (0x0020,0x0010)"));
    m_dateFrom = addField(tr("Study date (0x0008,0x0020) from..."));
    m_dateTo = addField(tr("Study date (0x0008,0x0020) to..."));
    m_dateFrom->setPlaceholderText(tr(" YYYYMMDD"));
    m_dateTo->setPlaceholderText(tr(" YYYYMMDD"));
    m_dateFrom->setToolTip(tr(" YYYYMMDD"));
    m_dateTo->setToolTip(tr(" YYYYMMDD"));
    topLayout()->addWidget(group);
    setCriteria(storedCriteria());
    fileList()->setBeforeScan([this] { return prepareSearch(); });
}

dicom::SearchCriteria SearchDialog::criteria() const
{
    return {fieldText(m_patientName), fieldText(m_patientId), fieldText(m_physician),
            fieldText(m_studyId),     fieldText(m_dateFrom),  fieldText(m_dateTo)};
}

void SearchDialog::setCriteria(const dicom::SearchCriteria& criteria)
{
    m_patientName->setText(QString::fromStdString(criteria.patientName));
    m_patientId->setText(QString::fromStdString(criteria.patientId));
    m_physician->setText(QString::fromStdString(criteria.physician));
    m_studyId->setText(QString::fromStdString(criteria.studyId));
    m_dateFrom->setText(QString::fromStdString(criteria.dateFrom));
    m_dateTo->setText(QString::fromStdString(criteria.dateTo));
}

dicom::SearchCriteria SearchDialog::lastCriteria()
{
    return storedCriteria();
}

QString SearchDialog::dateProblem(const dicom::SearchCriteria& criteria)
{
    if (shortBound(criteria.dateFrom) || shortBound(criteria.dateTo))
        return tr("A study date bound needs the whole date, as YYYYMMDD (8 characters).");
    return {};
}

bool SearchDialog::prepareSearch()
{
    const dicom::SearchCriteria chosen = criteria();
    storedCriteria() = chosen;
    // A short bound would make every file fail: say so instead of listing nothing.
    if (const QString problem = dateProblem(chosen); !problem.isEmpty()) {
        QMessageBox::warning(this, windowTitle(), problem);
        return false;
    }
    auto matcher = std::make_shared<const dicom::SearchMatcher>(chosen);
    if (matcher->matchesEverything())
        fileList()->setFilter({});
    else
        fileList()->setFilter([matcher](const dicom::DicomDataset& dataset) { return matcher->matches(dataset); });
    return true;
}
