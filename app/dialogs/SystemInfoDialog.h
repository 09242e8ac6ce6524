#pragma once

#include <QDialog>
#include <QString>

#include <optional>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QTabWidget;

namespace systeminfo {

// What the OpenGL implementation says of itself; a string it does not give is empty.
struct OpenGlFacts {
    QString vendor;
    QString renderer;
    QString version;
    QString extensions; // separated by blanks
};

// The report of this machine: system, memory and disk, screen.
QString gatherReport();
// Asks a context made on an offscreen surface; none when no context can be made.
std::optional<OpenGlFacts> queryOpenGl();

} // namespace systeminfo

// "System Info": the report under "General", the OpenGL implementation
// under "OpenGL" ("Unavailable" in every field without a context).
class SystemInfoDialog : public QDialog {
    Q_OBJECT
public:
    SystemInfoDialog(const QString& report, const std::optional<systeminfo::OpenGlFacts>& openGl,
                     QWidget* parent = nullptr);

    QTabWidget* pages() const { return m_pages; }
    QPlainTextEdit* reportText() const { return m_report; }
    QLineEdit* vendorField() const { return m_vendor; }
    QLineEdit* rendererField() const { return m_renderer; }
    QLineEdit* versionField() const { return m_version; }
    QPlainTextEdit* extensionsField() const { return m_extensions; }

private:
    QWidget* createGeneralPage(const QString& report);
    QWidget* createOpenGlPage(const std::optional<systeminfo::OpenGlFacts>& openGl);

    QTabWidget* m_pages = nullptr;
    QPlainTextEdit* m_report = nullptr;
    QLineEdit* m_vendor = nullptr;
    QLineEdit* m_renderer = nullptr;
    QLineEdit* m_version = nullptr;
    QPlainTextEdit* m_extensions = nullptr;
};
