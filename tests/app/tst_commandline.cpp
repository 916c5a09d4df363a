// The program's command line, run as a terminal user runs it: on a machine
// without any display.
#include "tests/support/testmain.h"

#include <QCoreApplication>
#include <QProcess>
#include <QProcessEnvironment>

class TestCommandLine : public QObject
{
    Q_OBJECT

private:
    // Runs the program with no display of any kind; returns its exit code.
    static int runWithoutDisplay(const QStringList &arguments, QByteArray *output)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            environment.remove(QLatin1String(name));
        QProcess program;
        program.setProcessEnvironment(environment);
        program.start(QCoreApplication::applicationDirPath() + QStringLiteral("/RVKReport"), arguments);
        if (!program.waitForFinished(20000) || program.exitStatus() != QProcess::NormalExit)
            return -1;
        *output = program.readAllStandardOutput();
        return program.exitCode();
    }

private slots:
    void helpAndVersionNeedNoDisplay_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("--help") << QStringList{QStringLiteral("--help")} << QByteArray("--workdir <folder>");
        QTest::newRow("-h") << QStringList{QStringLiteral("-h")} << QByteArray("--documents");
        QTest::newRow("--version") << QStringList{QStringLiteral("--version")} << QByteArray("RVKReport " RVK_VERSION);
        QTest::newRow("Qt option before --version")
            << QStringList{QStringLiteral("-style"), QStringLiteral("Fusion"), QStringLiteral("--version")}
            << QByteArray("RVKReport " RVK_VERSION);
    }
    void helpAndVersionNeedNoDisplay()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, expected);
        QByteArray output;
        QCOMPARE(runWithoutDisplay(arguments, &output), 0);
        QVERIFY2(output.contains(expected), output.constData());
    }
};

RVK_TEST_MAIN(TestCommandLine)
#include "tst_commandline.moc"
