#pragma once

#include "app/Command.h"

#include <QString>

// The prompt the status bar shows while a command's item is under the
// mouse; empty for an id without one.
QString commandPrompt(Command command);
