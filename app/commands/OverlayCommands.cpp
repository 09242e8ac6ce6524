#include "app/CMainFrame.h"
#include "app/Settings.h"
#include "app/commands/CommandTable.h"
#include "app/commands/CommandTargets.h"
#include "app/commands/Commands.h"
#include "app/dialogs/RulersSetupDialog.h"
#include "document/COrvoDoc.h"
#include "view/COrvoView.h"

#include <QSettings>

namespace {

// Hiding an overlay kind leaves its tools nothing to act on: the view
// goes back to the pan hand.
void leaveHiddenTool(CMainFrame& frame)
{
    COrvoView* view = activeView(frame);
    if (!view)
        return;
    const COrvoDoc& doc = view->document();
    if (!viewmodel::isToolCommandEnabled(view->currentTool(),
                                         { doc.frame() != nullptr, doc.showAnnotations(), doc.showMeasurements() }))
        view->selectTool(viewmodel::Tool::PanHand);
}

struct OverlaySwitch {
    Command command;
    bool (COrvoDoc::*shown)() const;
    void (COrvoDoc::*set)(bool);
};

constexpr OverlaySwitch Switches[] = {
    { Command::ShowAnnotations, &COrvoDoc::showAnnotations, &COrvoDoc::setShowAnnotations },
    { Command::ShowMeasurements, &COrvoDoc::showMeasurements, &COrvoDoc::setShowMeasurements },
    { Command::ShowRulers, &COrvoDoc::showRulers, &COrvoDoc::setShowRulers },
};

void setUpRulers(CMainFrame& frame)
{
    COrvoDoc* doc = activeDocument(frame);
    if (!doc || !doc->frame())
        return;
    RulersSetupDialog dialog(
        doc->rulerSetting(),
        [&frame](viewmodel::RulerSetting setting) {
            document::UserOptions& options = frame.options();
            options.axisStart = static_cast<int>(setting.corner);
            options.axisColor = setting.colour;
            if (auto store = settings::open())
                settings::writeUserOptions(*store, options);
        },
        &frame);
    if (dialog.exec() == QDialog::Accepted && activeDocument(frame) == doc)
        doc->setRulerSetting(doc->currentFrameIndex(), dialog.setting());
}

} // namespace

void addOverlayCommands(CommandTable& table, CMainFrame& frame)
{
    const auto enabled = [&frame] {
        const COrvoDoc* doc = activeDocument(frame);
        return doc && doc->frame();
    };
    for (const OverlaySwitch& entry : Switches) {
        table.add(
            entry.command,
            [&frame, entry] {
                if (COrvoDoc* doc = activeDocument(frame)) {
                    (doc->*entry.set)(!(doc->*entry.shown)());
                    leaveHiddenTool(frame);
                }
            },
            enabled,
            [&frame, entry] {
                const COrvoDoc* doc = activeDocument(frame);
                return doc && (doc->*entry.shown)();
            });
    }
    table.add(Command::RulersSetup, [&frame] { setUpRulers(frame); }, enabled);
}
