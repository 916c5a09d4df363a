// An hour of the module's monitor blocks at ten a second through the trends
// window, redrawn as it would be while following the stream, then a one-hour
// monitor log opened in it. Prints the time per block, the resident memory
// after the first minute and at the end of the hour, and the load time.
//
// Usage: bench_trends [seconds of stream, default 3600] [span minutes, default 30]
#include "bench/benchsupport.h"
#include "diagnostics/trendseries.h"
#include "diagnostics/trendswindow.h"
#include "tests/support/testmain.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QTextStream>
#include <cstdio>

int main(int argc, char *argv[])
{
    rvktest::prepareEnvironment();
    QApplication application(argc, argv);
    rvktest::prepareApplication();

    const int seconds = argc > 1 ? QByteArray(argv[1]).toInt() : 3600;
    const int spanMinutes = argc > 2 ? QByteArray(argv[2]).toInt() : 30;
    const int blocksPerSecond = 10;
    const int blocks = seconds * blocksPerSecond;
    // The window's redraw timer fires every 200 ms of stream while following
    // it; the window redraws when the span has moved by a pixel column.
    const int blocksPerRedraw = 2;

    TrendsWindow window;
    window.setSpanMinutes(spanMinutes);
    window.show();
    QCoreApplication::processEvents();

    std::printf("stream: %d blocks (%d s at %d blocks/s), span %d min, window shown\n", blocks, seconds,
                blocksPerSecond, window.spanMinutes());
    std::printf("memory at start:        %8.1f MB\n", bench::residentMegabytes());
    std::fflush(stdout);

    const QDateTime start = QDateTime::currentDateTime().addSecs(-seconds);
    QVector<QString> texts;
    for (int i = 0; i < 1000; ++i)
        texts.append(bench::sensorBlock(i));

    double firstMinuteMb = -1;
    qint64 addNs = 0, redrawNs = 0, slowestRedrawNs = 0, refreshNs = 0;
    int redraws = 0;
    QElapsedTimer clock;
    for (int block = 0; block < blocks; ++block) {
        clock.start();
        window.addMonitorBlock(texts.at(block % texts.size()), start.addMSecs(qint64(block) * 100));
        addNs += clock.nsecsElapsed();
        if ((block + 1) % blocksPerRedraw == 0) {
            clock.start();
            window.redrawIfChanged();
            refreshNs += clock.nsecsElapsed();
            QCoreApplication::processEvents();
            const qint64 ns = clock.nsecsElapsed();
            redrawNs += ns;
            slowestRedrawNs = qMax(slowestRedrawNs, ns);
            ++redraws;
        }
        if (block + 1 == 60 * blocksPerSecond) {
            firstMinuteMb = bench::residentMegabytes();
            std::printf("memory after 1 minute:  %8.1f MB\n", firstMinuteMb);
            std::fflush(stdout);
        }
        if ((block + 1) % (600 * blocksPerSecond) == 0) {
            std::printf("  %5d s of stream: %.4f ms/block so far, %.1f MB\n", (block + 1) / blocksPerSecond,
                        (addNs + redrawNs) / 1e6 / double(block + 1), bench::residentMegabytes());
            std::fflush(stdout);
        }
    }
    const double endMb = bench::residentMegabytes();
    std::printf("memory at end:          %8.1f MB\n", endMb);
    std::printf("time per block:         %.4f ms (parse and store %.4f ms, redraw share %.4f ms)\n",
                (addNs + redrawNs) / 1e6 / blocks, addNs / 1e6 / blocks, redrawNs / 1e6 / blocks);
    std::printf("redraw timer: %.3f ms average, %.3f ms slowest (%d ticks)\n",
                redrawNs / 1e6 / qMax(1, redraws), slowestRedrawNs / 1e6, redraws);
    std::printf("  of which the window's own work %.3f ms, event processing (axes, legend) %.3f ms\n",
                refreshNs / 1e6 / qMax(1, redraws), (redrawNs - refreshNs) / 1e6 / qMax(1, redraws));
    std::printf("points kept per sensor: %d\n", window.liveSeries().size(MonitorParser::Sensor::RPM));
    if (firstMinuteMb > 0)
        std::printf("growth after the first minute: %.1f MB\n", endMb - firstMinuteMb);
    std::fflush(stdout);

    // A one-hour log as the monitor writes it.
    const QString path = QStringLiteral("rvk_sn10457_08.12.2026_10.00.log");
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
            return 1;
        QTextStream stream(&file);
        const QDateTime logStart(QDate(2026, 12, 8), QTime(10, 0));
        for (int block = 0; block < 3600 * blocksPerSecond; ++block)
            stream << logStart.addMSecs(qint64(block) * 100).toString(QStringLiteral("[yyyy-MM-dd hh:mm:ss.zzz]\n"))
                   << QString(texts.at(block % texts.size())).remove(QLatin1Char('\r'));
    }
    clock.start();
    const bool opened = window.openLog(path);
    QCoreApplication::processEvents();
    const qint64 loadMs = clock.elapsed();
    std::printf("one-hour log (%d blocks, %.1f MB): %s in %lld ms, %.1f MB resident after\n", 3600 * blocksPerSecond,
                QFile(path).size() / 1048576.0, opened ? "opened and drawn" : "NOT opened", loadMs,
                bench::residentMegabytes());
    return opened ? 0 : 1;
}
