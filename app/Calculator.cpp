#include "app/Calculator.h"

#include <QStandardPaths>

namespace calculator {

QStringList candidates()
{
    return { QStringLiteral("gnome-calculator"), QStringLiteral("kcalc"), QStringLiteral("galculator"),
        QStringLiteral("mate-calc"), QStringLiteral("qalculate-gtk"), QStringLiteral("xcalc") };
}

QString find(const QStringList& searchPaths)
{
    for (const QString& name : candidates()) {
        const QString path = QStandardPaths::findExecutable(name, searchPaths);
        if (!path.isEmpty())
            return path;
    }
    return {};
}

} // namespace calculator
