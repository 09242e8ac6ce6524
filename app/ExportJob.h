#pragma once

#include "export/ExportTypes.h"

#include <atomic>
#include <functional>

class QProgressDialog;
class QWidget;

// Runs `work` on a worker thread while `window` (window-modal, with a wait
// cursor) keeps the event loop turning; every 30 ms `update` refreshes the
// window. Cancel in the window sets `cancelled`, which `work` should heed.
void runBesideWindow(QProgressDialog& window, std::atomic<bool>& cancelled, const std::function<void()>& work,
                     const std::function<void()>& update);

// Runs `work` on a worker thread under a window-modal "Please wait..."
// window with a bar over `steps` and Cancel, keeping the event loop turning
// so the window repaints. The window shows only when the work lasts; being
// modal, it keeps the user from changing the document meanwhile. `work`
// reports through the progress it is given and should stop soon after
// progress.isCancelled(). Answers what `work` answered.
bool runExportJob(QWidget* parent, int steps, const std::function<bool(const exporting::Progress&)>& work);
