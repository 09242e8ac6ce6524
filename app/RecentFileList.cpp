#include "app/RecentFileList.h"

#include "app/Settings.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QSettings>

RecentFileList::RecentFileList(QMenu& menu, QAction* before, QObject* parent)
    : QObject(parent)
    , m_menu(menu)
    , m_before(before)
{
    rebuildMenu();
}

void RecentFileList::load(QSettings& store)
{
    m_paths.clear();
    store.beginGroup(QString::fromLatin1(settings::RecentFileGroup));
    for (int i = 1; i <= MaxEntries; ++i) {
        const QString path = store.value(QStringLiteral("File%1").arg(i)).toString();
        if (!path.isEmpty() && !m_paths.contains(path))
            m_paths.append(path);
    }
    store.endGroup();
    rebuildMenu();
}

void RecentFileList::save(QSettings& store) const
{
    store.beginGroup(QString::fromLatin1(settings::RecentFileGroup));
    for (int i = 1; i <= MaxEntries; ++i) {
        const QString key = QStringLiteral("File%1").arg(i);
        if (i <= m_paths.size())
            store.setValue(key, m_paths[i - 1]);
        else
            store.remove(key);
    }
    store.endGroup();
}

void RecentFileList::add(const QString& path)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    m_paths.removeAll(absolute);
    m_paths.prepend(absolute);
    while (m_paths.size() > MaxEntries)
        m_paths.removeLast();
    rebuildMenu();
}

void RecentFileList::remove(const QString& path)
{
    m_paths.removeAll(path);
    rebuildMenu();
}

void RecentFileList::rebuildMenu()
{
    qDeleteAll(m_items);
    m_items.clear();
    for (int i = 0; i < m_paths.size(); ++i) {
        // '&' in a path would turn into a mnemonic; doubling keeps it literal.
        QString shown = QDir::toNativeSeparators(m_paths[i]);
        shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
        auto* item = new QAction(QStringLiteral("&%1 %2").arg(i + 1).arg(shown), &m_menu);
        const QString path = m_paths[i];
        connect(item, &QAction::triggered, this, [this, path] { emit openRequested(path); });
        m_menu.insertAction(m_before, item);
        m_items.append(item);
    }
}
