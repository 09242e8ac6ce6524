#include "app/dialogs/OpenUrlDialog.h"

#include "app/Settings.h"
#include "net/UrlAddress.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QSettings>
#include <QVBoxLayout>

namespace {

QStringList readSlots()
{
    QStringList urls;
    auto store = settings::open();
    for (int i = 0; i < settings::RecentUrlCount; ++i)
        urls.append(store ? settings::readString(*store, settings::RecentUrlGroup, settings::RecentUrlKeys[i]) : QString());
    return urls;
}

net::RecentUrls toSlots(const QStringList& list)
{
    net::RecentUrls urls;
    for (std::size_t i = 0; i < urls.size() && i < static_cast<std::size_t>(list.size()); ++i)
        urls[i] = list[static_cast<qsizetype>(i)].toStdString();
    return urls;
}

void writeSlots(const net::RecentUrls& urls)
{
    if (auto store = settings::open()) {
        for (int i = 0; i < settings::RecentUrlCount; ++i)
            settings::writeString(*store, settings::RecentUrlGroup, settings::RecentUrlKeys[i],
                                  QString::fromStdString(urls[static_cast<std::size_t>(i)]));
    }
}

} // namespace

OpenUrlDialog::OpenUrlDialog(QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(tr("Open a file from Internet"));
    m_url = new QLineEdit(this);
    m_url->setMinimumWidth(360);
    m_recent = new QComboBox(this);
    m_slots = readSlots();
    for (const std::string& address : net::listedRecentUrls(toSlots(m_slots)))
        m_recent->addItem(QString::fromStdString(address));
    // Nothing is chosen until the user picks an item.
    m_recent->setCurrentIndex(-1);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);

    auto* form = new QFormLayout;
    form->addRow(tr("URL"), m_url);
    form->addRow(tr("Recent URLs"), m_recent);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);

    connect(m_recent, &QComboBox::activated, this, &OpenUrlDialog::choose);
    connect(buttons, &QDialogButtonBox::accepted, this, &OpenUrlDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    m_url->setFocus();
}

void OpenUrlDialog::choose(int index)
{
    if (index < 0)
        return;
    m_url->setText(m_recent->itemText(index));
    m_url->setFocus();
    m_url->selectAll();
}

void OpenUrlDialog::accept()
{
    m_address.clear();
    const std::optional<std::string> address = net::normaliseAddress(m_url->text().toStdString());
    if (!address) {
        QMessageBox::critical(this, windowTitle(), notFoundText());
        QDialog::reject();
        return;
    }
    if (address->empty()) {
        QDialog::reject();
        return;
    }
    net::RecentUrls urls = toSlots(m_slots);
    net::addRecentUrl(urls, *address);
    writeSlots(urls);
    m_address = QString::fromStdString(*address);
    QDialog::accept();
}
