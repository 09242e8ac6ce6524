#include "AppTestSupport.h"

#include "app/Calculator.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

class CalculatorTest : public QObject {
    Q_OBJECT
private slots:
    void theFirstInstalledIsChosen_data()
    {
        // Names ending in '-' are files that may not be run.
        QTest::addColumn<QStringList>("installed");
        QTest::addColumn<QString>("chosen");
        QTest::newRow("none") << QStringList {} << QString();
        QTest::newRow("only the last") << QStringList { "xcalc" } << QStringLiteral("xcalc");
        QTest::newRow("earlier wins") << QStringList { "xcalc", "kcalc", "mate-calc" } << QStringLiteral("kcalc");
        QTest::newRow("not executable skipped") << QStringList { "gnome-calculator-", "galculator" }
                                                << QStringLiteral("galculator");
        QTest::newRow("all") << QStringList { "qalculate-gtk", "gnome-calculator", "kcalc" }
                             << QStringLiteral("gnome-calculator");
        QTest::newRow("unknown names") << QStringList { "calc", "bc" } << QString();
    }
    void theFirstInstalledIsChosen()
    {
        QFETCH(QStringList, installed);
        QFETCH(QString, chosen);
        QTemporaryDir bin;
        for (QString name : installed) {
            const bool runnable = !name.endsWith(QLatin1Char('-'));
            name.remove(QRegularExpression(QStringLiteral("-$")));
            QFile script(bin.filePath(name));
            QVERIFY(script.open(QIODevice::WriteOnly));
            script.write("#!/bin/sh\n");
            script.close();
            QVERIFY(script.setPermissions(runnable ? QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner
                                                   : QFile::ReadOwner | QFile::WriteOwner));
        }
        const QString found = calculator::find({ bin.path() });
        QCOMPARE(found.isEmpty() ? QString() : QFileInfo(found).fileName(), chosen);
    }
};

TV_REGISTER_TEST(CalculatorTest);
#include "CalculatorTest.moc"
