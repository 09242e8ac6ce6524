#include "AppTestSupport.h"

#include <QApplication>
#include <QtTest>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tolan Viewer"));
    // TV_TEST_SUITES=NameA,NameB runs only those suites, for work on one of them.
    const QStringList only = qEnvironmentVariable("TV_TEST_SUITES").split(QLatin1Char(','), Qt::SkipEmptyParts);
    int failures = 0;
    for (const auto& make : testRegistry()) {
        auto test = make();
        if (!only.isEmpty() && !only.contains(QString::fromLatin1(test->metaObject()->className())))
            continue;
        failures += QTest::qExec(test.get(), argc, argv);
    }
    return failures == 0 ? 0 : 1;
}
