#pragma once

#include <QString>
#include <QStringList>

namespace calculator {

// The desktop calculators tried, in order of preference.
QStringList candidates();
// The full path of the first candidate found as an executable in `searchPaths`
// (the PATH when empty); empty when none is installed.
QString find(const QStringList& searchPaths = {});

} // namespace calculator
