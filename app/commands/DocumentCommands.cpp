#include "app/CMainFrame.h"
#include "app/commands/CommandTable.h"
#include "app/commands/CommandTargets.h"
#include "app/commands/Commands.h"
#include "document/COrvoDoc.h"

#include <QMessageBox>

namespace {

struct FrameStep {
    Command command;
    bool (COrvoDoc::*step)();
    // Whether the step can move from `index` among `count` frames.
    bool (*possible)(int index, int count);
};

constexpr FrameStep FrameSteps[] = {
    { Command::FirstFrame, &COrvoDoc::firstFrame, [](int index, int count) { return count > 1 && index != 0; } },
    { Command::PreviousFrame, &COrvoDoc::previousFrame, [](int index, int count) { return count > 1 && index > 0; } },
    { Command::NextFrame, &COrvoDoc::nextFrame, [](int index, int count) { return count > 1 && index + 1 < count; } },
    { Command::LastFrame, &COrvoDoc::lastFrame, [](int index, int count) { return count > 1 && index != count - 1; } },
};

struct TabCommand {
    Command command;
    CChildFrame::Mode mode;
    void (CChildFrame::*show)();
};

constexpr TabCommand TabCommands[] = {
    { Command::SingleFrame, CChildFrame::Mode::Image, &CChildFrame::showImage },
    { Command::Header, CChildFrame::Mode::Header, &CChildFrame::showHeader },
};

} // namespace

void addDocumentCommands(CommandTable& table, CMainFrame& frame)
{
    for (const FrameStep& entry : FrameSteps) {
        table.add(
            entry.command,
            [&frame, entry] {
                if (COrvoDoc* doc = activeDocument(frame))
                    (doc->*entry.step)();
            },
            [&frame, entry] {
                const COrvoDoc* doc = activeDocument(frame);
                return doc && entry.possible(doc->currentFrameIndex(), doc->frameCount());
            });
    }
    for (const TabCommand& entry : TabCommands) {
        table.add(
            entry.command,
            [&frame, entry] {
                if (CChildFrame* child = frame.activeChild())
                    (child->*entry.show)();
            },
            [&frame] { return frame.activeChild() != nullptr; },
            [&frame, entry] {
                const CChildFrame* child = frame.activeChild();
                return child && child->mode() == entry.mode;
            });
    }
    table.add(
        Command::ApplyToAll,
        [&frame] {
            COrvoDoc* doc = activeDocument(frame);
            if (doc && doc->toggleApplyToAll() == COrvoDoc::ApplyToAllResult::FramesDiffer)
                QMessageBox::information(&frame, CMainFrame::programName(), QObject::tr("Images differ in width and/or height    "));
        },
        [&frame] {
            const COrvoDoc* doc = activeDocument(frame);
            return doc && doc->allFramesAgree();
        },
        [&frame] {
            const COrvoDoc* doc = activeDocument(frame);
            return doc && doc->applyToAll();
        });
    // An open document holds the flag it took at load; the option is what
    // the next document takes, so it follows the last choice.
    table.add(
        Command::AnonymizedCopies,
        [&frame] {
            document::UserOptions& options = frame.options();
            if (COrvoDoc* doc = activeDocument(frame)) {
                doc->setAnonymizedExports(!doc->anonymizedExports());
                options.anonExports = doc->anonymizedExports() ? 1 : 0;
            } else {
                options.anonExports = options.anonExports != 0 ? 0 : 1;
            }
        },
        {},
        [&frame] {
            const COrvoDoc* doc = activeDocument(frame);
            return doc ? doc->anonymizedExports() : frame.options().anonExports != 0;
        });
}
