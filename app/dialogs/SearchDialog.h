#pragma once

#include "app/dialogs/DirectoryContentsDialog.h"
#include "dicom/SearchCriteria.h"

#include <QString>

class QLineEdit;

// "Search...": the folder's DICOM files whose header matches the criteria.
// The criteria last searched with are filled in again while the program runs.
class SearchDialog : public DirectoryContentsDialog {
    Q_OBJECT
public:
    explicit SearchDialog(QWidget* parent = nullptr);

    dicom::SearchCriteria criteria() const;
    void setCriteria(const dicom::SearchCriteria& criteria);
    // The criteria of the last search started in this run of the program.
    static dicom::SearchCriteria lastCriteria();

    // A used date bound shorter than YYYYMMDD: the message shown, else empty.
    static QString dateProblem(const dicom::SearchCriteria& criteria);

    QLineEdit* patientNameField() const { return m_patientName; }
    QLineEdit* patientIdField() const { return m_patientId; }
    QLineEdit* physicianField() const { return m_physician; }
    QLineEdit* studyIdField() const { return m_studyId; }
    QLineEdit* dateFromField() const { return m_dateFrom; }
    QLineEdit* dateToField() const { return m_dateTo; }

private:
    // Before each scan: checks the dates, keeps the criteria, sets the filter.
    bool prepareSearch();

    QLineEdit* m_patientName = nullptr;
    QLineEdit* m_patientId = nullptr;
    QLineEdit* m_physician = nullptr;
    QLineEdit* m_studyId = nullptr;
    QLineEdit* m_dateFrom = nullptr;
    QLineEdit* m_dateTo = nullptr;
};
