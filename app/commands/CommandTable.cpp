#include "app/commands/CommandTable.h"

#include <QAction>

CommandTable::CommandTable(std::function<QAction*(Command)> items, QObject& context, Run afterRun)
    : m_items(std::move(items))
    , m_context(context)
    , m_afterRun(std::move(afterRun))
{
}

void CommandTable::add(Command id, Run run, State enabled, State checked)
{
    QAction* item = m_items(id);
    Q_ASSERT(item && !m_entries.contains(id));
    item->setCheckable(static_cast<bool>(checked));
    m_entries.insert(id, { std::move(run), std::move(enabled), std::move(checked) });
    QObject::connect(item, &QAction::triggered, &m_context, [this, id] { this->run(id); });
    update();
}

bool CommandTable::isEnabled(Command id) const
{
    const auto entry = m_entries.constFind(id);
    return entry != m_entries.cend() && (!entry->enabled || entry->enabled());
}

void CommandTable::run(Command id) const
{
    // A shortcut or a stale toolbar may still fire an item whose state changed.
    if (!isEnabled(id))
        return;
    // The entry is copied: the command may add or replace entries.
    const Entry entry = m_entries.value(id);
    entry.run();
    if (m_afterRun)
        m_afterRun();
}

void CommandTable::update() const
{
    for (auto entry = m_entries.cbegin(); entry != m_entries.cend(); ++entry) {
        QAction* item = m_items(entry.key());
        item->setEnabled(!entry->enabled || entry->enabled());
        if (entry->checked)
            item->setChecked(entry->checked());
    }
}
