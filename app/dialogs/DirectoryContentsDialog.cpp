#include "app/dialogs/DirectoryContentsDialog.h"

#include "app/dialogs/ScanFileList.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QVBoxLayout>

DirectoryContentsDialog::DirectoryContentsDialog(QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(tr("Directory Contents"));
    m_files = new ScanFileList(this);
    m_buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_buttons->button(QDialogButtonBox::Ok)->setToolTip(tr("Open"));
    m_top = new QVBoxLayout;
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(m_top);
    layout->addWidget(m_files, 1);
    layout->addWidget(m_buttons);
    resize(820, 520);

    connect(m_buttons, &QDialogButtonBox::accepted, this, [this] {
        const QStringList paths = m_files->selectedPaths();
        accept();
        if (!paths.isEmpty())
            emit openRequested(paths);
    });
    connect(m_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_files, &ScanFileList::fileActivated, this,
            [this](const QString& path) { emit openRequested(QStringList {path}); });
}

void DirectoryContentsDialog::done(int result)
{
    m_files->stopScan();
    QDialog::done(result);
}
