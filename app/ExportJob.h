#pragma once

#include "export/ExportTypes.h"

#include <functional>

class QWidget;

// Runs `work` on a worker thread under a window-modal "Please wait..."
// window with a bar over `steps` and Cancel, keeping the event loop turning
// so the window repaints. The window shows only when the work lasts; being
// modal, it keeps the user from changing the document meanwhile. `work`
// reports through the progress it is given and should stop soon after
// progress.isCancelled(). Answers what `work` answered.
bool runExportJob(QWidget* parent, int steps, const std::function<bool(const exporting::Progress&)>& work);
