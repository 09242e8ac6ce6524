#pragma once

#include "view/model/ToolCursor.h"

#include <QCursor>

// The shape the view shows for each cursor of the tool table.
QCursor viewCursor(viewmodel::CursorId id);
