#pragma once

#include "app/Command.h"

#include <QHash>

#include <functional>

class QAction;
class QObject;

// What each command runs and when it is enabled and checked, judged on the
// active document. The menus, toolbars and palette share one item per id;
// an id without an entry stays disabled.
class CommandTable {
public:
    using Run = std::function<void()>;
    using State = std::function<bool()>;

    // `items` gives the item of an id; `afterRun` runs after every command,
    // so that the items follow what it changed.
    CommandTable(std::function<QAction*(Command)> items, QObject& context, Run afterRun);

    // A command with a checked state is checkable. Without an enabled state
    // it is always enabled.
    void add(Command id, Run run, State enabled = {}, State checked = {});
    bool has(Command id) const { return m_entries.contains(id); }
    bool isEnabled(Command id) const;
    // Runs a command as its item would, if it is enabled.
    void run(Command id) const;
    // Brings every item's enabled and checked state up to date.
    void update() const;

private:
    struct Entry {
        Run run;
        State enabled;
        State checked;
    };

    std::function<QAction*(Command)> m_items;
    QObject& m_context;
    Run m_afterRun;
    QHash<Command, Entry> m_entries;
};
