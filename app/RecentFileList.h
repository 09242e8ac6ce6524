#pragma once

#include <QObject>
#include <QStringList>

class QAction;
class QMenu;
class QSettings;

// The most recently opened files, newest first, shown in the File menu as
// "&1 path" ... and kept in the settings under "File1" to "File4".
class RecentFileList : public QObject {
    Q_OBJECT
public:
    static constexpr int MaxEntries = 4;

    RecentFileList(QMenu& menu, QAction* before, QObject* parent = nullptr);

    void load(QSettings& store);
    void save(QSettings& store) const;
    void add(const QString& path);
    void remove(const QString& path);
    QStringList paths() const { return m_paths; }

signals:
    void openRequested(const QString& path);

private:
    void rebuildMenu();

    QMenu& m_menu;
    QAction* m_before;
    QStringList m_paths;
    QList<QAction*> m_items;
};
