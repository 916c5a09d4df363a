// "rvk-report read" end to end, in this process, on the simulated module on a
// private virtual bus: the command from its start to its exit code, with the
// link opened, the report read, its document written and its archive file
// kept (--no-upload: the SSU's own time is bench_upload_db's). The floor is
// the window's former one of one frame per 1 ms poll tick: 38 ticks.
#include "cli/commandline.h"
#include "tests/support/testmain.h"
#include "tests/support/vcantestsupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTextStream>
#include <algorithm>

int main(int argc, char *argv[])
{
    rvktest::prepareEnvironment();
    QApplication application(argc, argv);
    rvktest::prepareApplication();
    QTextStream out(stdout);
    const int runs = argc > 1 ? qMax(1, QString::fromLocal8Bit(argv[1]).toInt()) : 30;

    QString error;
    std::unique_ptr<SimulatedModule> module = rvktest::startModuleOnPrivateBus({}, &error);
    if (!module) {
        out << "cannot start the simulated module: " << error << '\n';
        return 1;
    }
    const QString bus = module->options().bus;

    QList<double> milliseconds;
    QString progress;
    QString results;
    QTextStream err(&progress);
    QTextStream printed(&results);
    for (int run = 0; run < runs; ++run) {
        QDir(QStringLiteral("ssu")).removeRecursively();
        QElapsedTimer clock;
        clock.start();
        const int code = runCommandLine({QStringLiteral("read"), QStringLiteral("--no-upload"),
                                         QStringLiteral("--adapter"), bus},
                                        printed, err);
        milliseconds.append(double(clock.nsecsElapsed()) / 1e6);
        if (code != ExitCode::Done) {
            err.flush();
            out << "run " << run << ": exit code " << code << '\n' << progress;
            return 1;
        }
    }
    std::sort(milliseconds.begin(), milliseconds.end());
    const double floorMs = 38.0;
    const double median = milliseconds.at(milliseconds.size() / 2);
    const double p90 = milliseconds.at(qMin(milliseconds.size() - 1, milliseconds.size() * 9 / 10));
    out << "read commands: " << runs << '\n'
        << "start to exit code, ms: min " << milliseconds.first() << ", median " << median << ", p90 " << p90
        << ", max " << milliseconds.last() << '\n'
        << "floor (38 poll ticks of 1 ms), ms: " << floorMs << '\n'
        << "ratio median/floor: " << QString::number(median / floorMs, 'f', 3) << " (target <= 1.2)\n";
    return median / floorMs <= 1.2 ? 0 : 2;
}
