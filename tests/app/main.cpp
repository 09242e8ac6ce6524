#include "AppTestSupport.h"

#include <QApplication>
#include <QtTest>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tolan Viewer"));
    int failures = 0;
    for (const auto& make : testRegistry()) {
        auto test = make();
        failures += QTest::qExec(test.get(), argc, argv);
    }
    return failures == 0 ? 0 : 1;
}
