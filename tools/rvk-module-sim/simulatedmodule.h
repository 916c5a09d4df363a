#pragma once

#include "protocol/canmessage.h"
#include "tools/rvk-module-sim/eepromimage.h"

#include <QCanBusDevice>
#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>
#include <memory>

class QCanBusFrame;

// What the simulated module does and how it misbehaves.
struct SimulatedModuleOptions
{
    // The bus to join, in the adapter description form "<plugin>/<interface>".
    // Tests use a private virtual bus: "virtualcan/tcp://127.0.0.1:<port>/can0"
    // (the first device on a port starts that bus's server).
    QString bus = QStringLiteral("virtualcan/can0");
    // EEPROM file: loaded at start (created from the built-in image when
    // missing) and saved after every command that writes the EEPROM. Empty:
    // the built-in image, kept in memory only.
    QString eepromFile;
    // Interval between debug monitor blocks while the monitor is on.
    int monitorPeriodMs = 500;
    // Hours the module runs after each report it sends (with an impact per
    // ten hours), so that the next read-out shows the usage grow.
    int hoursPerReport = 0;

    // Faults, per report transfer (37 data frames, then the end frame, 38 in
    // all, numbered from 1). 0 switches a fault off.
    int frameDelayMs = 0; // pause between consecutive frames
    int dropFrame = 0;    // this frame is not sent
    int stopAfter = 0;    // only this many frames are sent, then silence
    int strayEvery = 0;   // a frame with a foreign identifier before every Nth frame
    // A command identifier whose value is stored but never acknowledged, as
    // a module whose answer is lost on the way (0: every command answered).
    quint16 unacknowledgedCommand = 0;
};

// The RVK module seen from the bus: answers a report request with the
// EEPROM image, stores the factory values, clears what it is told to clear,
// acknowledges each command with a remote frame of the command's identifier
// and streams debug monitor text while switched on. Runs on the event loop
// of the thread it lives in, in-process or in the rvk-module-sim program.
//
//     SimulatedModule module({QStringLiteral("virtualcan/tcp://127.0.0.1:40123/can0")});
//     QVERIFY(module.start());      // joined the bus
//     ... the tool requests a report ...
//     QTRY_COMPARE(module.reportsSent(), 1);
class SimulatedModule : public QObject
{
    Q_OBJECT
public:
    explicit SimulatedModule(const SimulatedModuleOptions &options = {}, QObject *parent = nullptr);
    ~SimulatedModule() override;

    // Loads the EEPROM and joins the bus, waiting up to timeoutMs for the
    // connection. On failure returns false with the reason in *error.
    bool start(QString *error = nullptr, int timeoutMs = 3000);
    // Leaves the bus; the module no longer answers nor rejoins.
    void stop();
    bool isConnected() const;

    const SimulatedModuleOptions &options() const { return m_options; }
    void setOptions(const SimulatedModuleOptions &options) { m_options = options; }

    const EepromImage &eeprom() const { return m_eeprom; }
    void setEeprom(const EepromImage &image) { m_eeprom = image; }

    bool monitorOn() const { return m_monitorOn; }
    // Every frame received from the bus, in order.
    const QList<CanMessage> &received() const { return m_received; }
    // Report transfers whose last frame has been handed to the bus.
    int reportsSent() const { return m_reportsSent; }
    int monitorBlocksSent() const { return m_monitorBlocks; }

    // The 38 frames of a report transfer of the current EEPROM, fault-free.
    QList<CanMessage> reportFrames() const;

    // A virtual bus of this process's own, "virtualcan/tcp://127.0.0.1:<port>/can0"
    // on a port that was free when first asked for, so test processes running
    // in parallel never share a bus. Qt runs at most one virtual bus server
    // per process (the first device started it, whatever its port), so the
    // answer is the same for the whole run. Usable as the module's bus and as
    // the tool's adapter description.
    static QString privateVirtualBus();

signals:
    // One human-readable line for every frame received and every action.
    void logLine(const QString &line);

private:
    void takeFrames();
    void handle(const CanMessage &message);
    void storeWord(const CanMessage &message, int word, const char *what);
    void acknowledge(quint16 id);
    void saveEeprom();
    void startReport();
    void sendNextReportFrame();
    void sendMonitorBlock();
    void send(const CanMessage &message);
    void log(const QString &line);
    void onStateChanged(QCanBusDevice::CanBusDeviceState state);
    bool joinBus(QString *error);

    SimulatedModuleOptions m_options;
    EepromImage m_eeprom = EepromImage::builtIn();
    std::unique_ptr<QCanBusDevice> m_device;
    bool m_running = false;
    QTimer m_rejoinTimer;

    QList<CanMessage> m_received;
    QList<CanMessage> m_pending; // the transfer in progress
    int m_pendingIndex = 0;
    int m_strayCount = 0;
    QTimer m_frameTimer;
    int m_reportsSent = 0;

    bool m_monitorOn = false;
    QTimer m_monitorTimer;
    int m_monitorBlocks = 0;
};

// "7AA remote dlc=1" or "7A1 data dlc=4 D2 04 00 00".
QString describeFrame(const CanMessage &message);
