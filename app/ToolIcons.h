#pragma once

#include "app/Command.h"

#include <QIcon>

// The small pictures of the toolbar and palette items that the style has no
// standard icon for, drawn rather than shipped as files. A null icon for an
// id with no picture of its own.
QIcon commandIcon(Command command);
