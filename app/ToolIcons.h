#pragma once

#include "app/Command.h"

#include <QIcon>

// The small pictures of the toolbar and palette items, drawn rather than
// taken from the style: the style's icons are image files, every size of
// which is read at start-up. A null icon for an id with no picture of its own.
QIcon commandIcon(Command command);
