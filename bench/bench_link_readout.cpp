// Request to end of report through the real window, the CAN driver and the
// simulated module on a private virtual bus, against the floor the window
// once had of one frame per 1 ms poll tick (37 data frames and the end
// frame: 38 ticks). Qt's backend now tells of its frames, so nothing polls.
#include "app/mainwindow.h"
#include "station/station.h"
#include "link/canbusd2xx.h"
#include "link/canbusdriver.h"
#include "protocol/frameclassification.h"
#include "tests/support/modalanswerer.h"
#include "tests/support/testmain.h"
#include "tools/rvk-module-sim/simulatedmodule.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <functional>
#include <QTextStream>
#include <algorithm>

namespace {
// Passes every call on to the real driver and notes when the request left
// and when the end frame was handed to the window.
class TimingDriver : public KtxDriver
{
public:
    explicit TimingDriver(std::unique_ptr<KtxDriver> inner)
        : m_inner(std::move(inner))
    {
        m_clock.start();
    }

    qint64 requestAt = -1;
    qint64 endAt = -1;
    int dataFrames = 0;
    std::function<void()> onEnd;

    qint32 open(const char *d, quint32 *o1, quint32 *o2, qint32 a1, qint32 a2) override { return m_inner->open(d, o1, o2, a1, a2); }
    qint32 setup(const KtxCANSetupRecord *record) override { return m_inner->setup(record); }
    qint32 deviceInfo(char *buffer) override { return m_inner->deviceInfo(buffer); }
    qint32 info() override { return m_inner->info(); }
    qint32 isNewMsg() override { return m_inner->isNewMsg(); }
    qint32 read(CanMessage *message) override
    {
        const qint32 result = m_inner->read(message);
        if (result == 0 && message->id == CanIdReadData) {
            if (message->rtr) {
                endAt = m_clock.nsecsElapsed();
                if (onEnd)
                    onEnd();
            }
            else
                ++dataFrames;
        }
        return result;
    }
    qint32 write(const CanMessage *message) override
    {
        if (message->id == CanIdReadData && message->rtr) {
            requestAt = m_clock.nsecsElapsed();
            endAt = -1;
            dataFrames = 0;
        }
        return m_inner->write(message);
    }
    qint32 close() override { return m_inner->close(); }
    // Qt's backend tells of its frames; the window is not left to poll,
    // unless the run asks to measure the polled path the vendor's library
    // takes.
    bool polled = false;
    bool notifyOnReceive(std::function<void()> notify) override
    {
        return !polled && m_inner->notifyOnReceive(std::move(notify));
    }

private:
    std::unique_ptr<KtxDriver> m_inner;
    QElapsedTimer m_clock;
};
// Runs the event loop for up to ms milliseconds or until quit. QTest's waits
// sleep 10 ms between passes, which would starve the 1 ms poll being measured.
bool runLoop(QEventLoop &loop, int ms)
{
    QTimer watchdog;
    watchdog.setSingleShot(true);
    bool expired = false;
    QObject::connect(&watchdog, &QTimer::timeout, &loop, [&] {
        expired = true;
        loop.quit();
    });
    watchdog.start(ms);
    loop.exec();
    return !expired;
}
} // namespace

int main(int argc, char *argv[])
{
    rvktest::prepareEnvironment();
    QApplication application(argc, argv);
    rvktest::prepareApplication();
    QTextStream out(stdout);
    const int runs = argc > 1 ? qMax(1, QString::fromLocal8Bit(argv[1]).toInt()) : 30;
    // "polled": frames are looked for every millisecond, as for ktxdrv.dll.
    const bool polled = argc > 2 && QByteArray(argv[2]) == "polled";

    const QString bus = SimulatedModule::privateVirtualBus();
    SimulatedModuleOptions options;
    options.bus = bus;
    SimulatedModule module(options);
    QString error;
    if (!module.start(&error)) {
        out << "cannot start the simulated module: " << error << '\n';
        return 1;
    }
    installD2xx(std::make_unique<CanBusD2xx>([bus] { return QStringList{bus}; }));
    auto timing = std::make_unique<TimingDriver>(std::make_unique<CanBusDriver>());
    TimingDriver *driver = timing.get();
    driver->polled = polled;
    installKtxDriver(std::move(timing));

    // Boxes the completed read-out may raise (no database here) are answered.
    ModalAnswerer answerer;
    MainWindow window;
    if (driver->info() != 0) {
        out << "the window did not open the virtual bus\n";
        return 1;
    }

    QList<double> milliseconds;
    for (int run = 0; run < runs; ++run) {
        QEventLoop loop;
        driver->onEnd = [&loop] { QTimer::singleShot(0, &loop, &QEventLoop::quit); };
        window.station()->requestReport();
        const bool ended = runLoop(loop, 5000);
        driver->onEnd = nullptr;
        if (!ended || driver->dataFrames != 37) {
            out << "run " << run << ": the report did not complete (" << driver->dataFrames << " data frames)\n";
            return 1;
        }
        milliseconds.append(double(driver->endAt - driver->requestAt) / 1e6);
        QEventLoop settle; // lets the completed read-out's outputs finish
        runLoop(settle, 20);
    }

    std::sort(milliseconds.begin(), milliseconds.end());
    const double floorMs = 38.0;
    const double median = milliseconds.at(milliseconds.size() / 2);
    const double p90 = milliseconds.at(qMin(milliseconds.size() - 1, milliseconds.size() * 9 / 10));
    out << "read-outs: " << runs << (polled ? " (frames polled every 1 ms)" : " (frames told of by the backend)") << '\n'
        << "request to end of report, ms: min " << milliseconds.first() << ", median " << median << ", p90 " << p90
        << ", max " << milliseconds.last() << '\n'
        << "floor (38 poll ticks of 1 ms), ms: " << floorMs << '\n'
        << "ratio median/floor: " << QString::number(median / floorMs, 'f', 3) << " (target <= 1.2)\n";
    return median / floorMs <= 1.2 ? 0 : 2;
}
