// "Calculat&or...": starts the desktop's calculator as a program of its own.

#include "app/CMainFrame.h"
#include "app/Calculator.h"
#include "app/commands/CommandTable.h"
#include "app/commands/Commands.h"

#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>

#include <memory>

void addCalculatorCommands(CommandTable& table, CMainFrame& frame)
{
    // The items' states are brought up to date often; the PATH is searched
    // once here and again only when the calculator found has gone.
    auto found = std::make_shared<QString>(calculator::find());
    table.add(
        Command::Calculator,
        [&frame, found] {
            if (!QFileInfo(*found).isExecutable())
                *found = calculator::find();
            if (found->isEmpty() || !QProcess::startDetached(*found, {})) {
                QMessageBox::warning(&frame, QObject::tr("Calculator"),
                    found->isEmpty() ? QObject::tr("No calculator is installed.")
                                     : QObject::tr("The calculator %1 could not be started.").arg(*found));
            }
        },
        [found] { return !found->isEmpty(); });
}
