// "&Preferences...": the user's options edited in memory; the settings file
// gets them at shutdown with the rest.

#include "app/CChildFrame.h"
#include "app/CMainFrame.h"
#include "app/commands/CommandTable.h"
#include "app/commands/Commands.h"
#include "app/dialogs/PreferencesDialog.h"
#include "document/COrvoDoc.h"
#include "document/OverlayText.h"
#include "view/COrvoView.h"
#include "view/model/Rulers.h"

#include <QMdiArea>
#include <QMdiSubWindow>

namespace {

using document::UserOptions;

// Open windows take what changed. A document's own choices made since it
// opened (a frame's rulers, the annotation colour, the anonymized switch)
// are replaced only when the preference behind them was changed.
void refreshOpenWindows(CMainFrame& frame, const UserOptions& before, const UserOptions& after)
{
    const bool rulersChanged = before.axisStart != after.axisStart || before.axisColor != after.axisColor;
    const bool measuringChanged = before.measurementFont != after.measurementFont || before.lineWidth != after.lineWidth
        || before.distanceColor != after.distanceColor || before.angleColor != after.angleColor;
    const viewmodel::RulerSetting rulers { viewmodel::rulerCornerOf(after.axisStart), after.axisColor };
    for (QMdiSubWindow* window : frame.mdiArea()->subWindowList()) {
        auto* child = qobject_cast<CChildFrame*>(window);
        if (!child)
            continue;
        if (COrvoView* view = child->imageView())
            view->setBackgroundColour(after.docBgColor);
        COrvoDoc& doc = child->document();
        if (before.annotationColor != after.annotationColor)
            doc.setAnnotationColour(after.annotationColor);
        if (before.anonExports != after.anonExports)
            doc.setAnonymizedExports(after.anonExports != 0);
        if (rulersChanged) {
            for (int i = 0; i < doc.frameCount(); ++i)
                doc.setRulerSetting(i, rulers);
        }
        if (measuringChanged)
            doc.setMeasurementStyle({ overlaytext::fromFontRecord(after.measurementFont), after.lineWidth,
                after.distanceColor, after.angleColor });
        if (before.annotationFont != after.annotationFont)
            doc.setAnnotationFont(overlaytext::fromFontRecord(after.annotationFont));
    }
}

} // namespace

void addPreferencesCommands(CommandTable& table, CMainFrame& frame)
{
    table.add(Command::Preferences, [&frame] {
        PreferencesDialog dialog(frame.options(), &frame);
        if (dialog.exec() != QDialog::Accepted)
            return;
        const UserOptions before = frame.options();
        frame.options() = dialog.options();
        frame.applyOptions();
        refreshOpenWindows(frame, before, frame.options());
        frame.update();
    });
}
