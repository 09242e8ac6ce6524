#pragma once

// "Open a file from Internet": the address to fetch, typed or chosen from the
// recent addresses, which it keeps in the settings.

#include <QDialog>
#include <QString>
#include <QStringList>

class QComboBox;
class QLineEdit;

class OpenUrlDialog : public QDialog {
    Q_OBJECT
public:
    explicit OpenUrlDialog(QWidget* parent = nullptr);

    // After OK: the address to fetch, with its scheme; empty when there is none.
    QString address() const { return m_address; }

    QLineEdit* urlField() const { return m_url; }
    QComboBox* recentList() const { return m_recent; }

    // The text every failed address and download shows.
    static QString notFoundText() { return QStringLiteral("File not found!   "); }

public slots:
    void accept() override;

private:
    void choose(int index);

    QLineEdit* m_url = nullptr;
    QComboBox* m_recent = nullptr;
    QStringList m_slots; // as read at opening, "URL1" first
    QString m_address;
};
