// A monitor left on for an hour: 1000 frames a second of sensor blocks, fed
// through the window's real frame handler with the log file on. Prints the
// time per frame and the resident memory at the start, after the first
// minute and at the end.
//
// Usage: bench_monitor [seconds of stream, default 3600]
#include "app/mainwindow.h"
#include "station/station.h"
#include "bench/benchsupport.h"
#include "diagnostics/dbgtextedit.h"
#include "protocol/frameclassification.h"
#include "tests/support/fakektxdriver.h"
#include "tests/support/testmain.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QFile>
#include <cstdio>

int main(int argc, char *argv[])
{
    rvktest::prepareEnvironment();
    QApplication application(argc, argv);
    rvktest::prepareApplication();

    const int seconds = argc > 1 ? QByteArray(argv[1]).toInt() : 3600;
    const qint64 frames = qint64(seconds) * 1000;
    const int framesPerPaint = 16; // a screen refresh every ~16 ms of stream

    FakeKtxDriver *driver = FakeKtxDriver::install();
    MainWindow window;
    window.show();
    window.findChild<QCheckBox *>(QStringLiteral("checkBox_WriteToFile"))->setChecked(true);
    QTest::keyClick(&window, Qt::Key_Plus); // the monitor's switch
    auto *monitor = window.findChild<DbgTextEdit *>();
    QCoreApplication::processEvents();

    const double startMb = bench::residentMegabytes();
    double firstMinuteMb = -1;
    std::printf("stream: %lld frames (%d s at 1000 frames/s), log on, monitor shown\n", frames, seconds);
    std::printf("memory at start:        %8.1f MB\n", startMb);
    std::fflush(stdout);

    QByteArray stream;
    int blockNumber = 0;
    int at = 0;
    qint64 handlerNs = 0;
    qint64 slowestNs = 0;
    QElapsedTimer wall;
    wall.start();
    QElapsedTimer frameClock;
    for (qint64 frame = 1; frame <= frames; ++frame) {
        if (stream.size() - at < 8) {
            stream = stream.mid(at) + bench::sensorBlock(blockNumber++).toLatin1();
            at = 0;
        }
        driver->receiveData(CanIdMonitor, stream.mid(at, 8));
        at += 8;

        frameClock.start();
        window.station()->dispatchPendingFrames();
        const qint64 ns = frameClock.nsecsElapsed();
        handlerNs += ns;
        slowestNs = qMax(slowestNs, ns);

        if (frame % framesPerPaint == 0) {
            QCoreApplication::processEvents();
            // The fake driver's call log is test bookkeeping, not the program's.
            driver->calls.clear();
        }
        if (frame == 60000) {
            firstMinuteMb = bench::residentMegabytes();
            std::printf("memory after 1 minute:  %8.1f MB\n", firstMinuteMb);
            std::fflush(stdout);
        }
        if (frame % 600000 == 0) {
            std::printf("  %5lld s of stream: %.4f ms/frame so far, %.1f MB\n", frame / 1000,
                        handlerNs / 1e6 / double(frame), bench::residentMegabytes());
            std::fflush(stdout);
        }
    }
    const double endMb = bench::residentMegabytes();

    std::printf("memory at end:          %8.1f MB\n", endMb);
    std::printf("handler time per frame: %.4f ms average, %.3f ms slowest\n", handlerNs / 1e6 / double(frames),
                slowestNs / 1e6);
    std::printf("wall time per frame:    %.4f ms (handler + painting)\n", wall.elapsed() / double(frames));
    std::printf("blocks streamed: %d, monitor lines kept: %d\n", blockNumber, monitor->document()->blockCount());
    if (firstMinuteMb > 0)
        std::printf("growth after the first minute: %.1f MB\n", endMb - firstMinuteMb);
    return 0;
}
