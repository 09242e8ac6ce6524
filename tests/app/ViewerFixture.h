#pragma once

// The whole viewer started on one file, as a user starts it, with settings
// of its own: what the command tests drive through menu ids.

#include "AppTestSupport.h"

#include "app/CChildFrame.h"
#include "app/CMainFrame.h"
#include "app/CTolanApp.h"
#include "app/commands/CommandTable.h"
#include "document/COrvoDoc.h"

#include <QAction>

struct Viewer {
    explicit Viewer(const QString& source) { open(source); }
    // A test file of that kind written under that name in a folder of its own.
    explicit Viewer(TestFile kind, const QString& name = QStringLiteral("frame.dcm"))
        : path(dir.filePath(name))
    {
        writeTestFile(path, kind);
        open(path);
    }
    void open(const QString& file)
    {
        if (app.start({ QStringLiteral("tolan-viewer"), file }) && app.mainFrame()->activeChild())
            doc = &app.mainFrame()->activeChild()->document();
    }
    void trigger(Command id) const { app.mainFrame()->action(id)->trigger(); }
    bool enabled(Command id) const
    {
        app.mainFrame()->commands().update();
        return app.mainFrame()->action(id)->isEnabled();
    }
    // The first visible widget of that type under the main window.
    template<typename W>
    W* shown() const
    {
        for (W* widget : app.mainFrame()->findChildren<W*>()) {
            if (widget->isVisible())
                return widget;
        }
        return nullptr;
    }

    ScratchSettings scratch;
    QTemporaryDir dir;
    QString path;
    CTolanApp app;
    COrvoDoc* doc = nullptr;
};
