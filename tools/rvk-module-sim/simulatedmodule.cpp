#include "tools/rvk-module-sim/simulatedmodule.h"

#include "link/canbusdriver.h"
#include "link/caninterfaces.h"
#include "protocol/frameclassification.h"
#include "tools/rvk-module-sim/monitortext.h"

#include <QCanBus>
#include <QCanBusFrame>
#include <QEventLoop>
#include <QFileInfo>
#include <QTcpServer>
#include <cstring>

namespace {
constexpr int reportDataFrames = EepromImage::byteCount / 8;

CanMessage remote(quint16 id, quint8 dlc)
{
    CanMessage message;
    message.id = id;
    message.rtr = 1;
    message.dlc = dlc;
    return message;
}

CanMessage data(quint16 id, const QByteArray &bytes)
{
    CanMessage message;
    message.id = id;
    message.dlc = quint8(qMin(bytes.size(), 8));
    std::memcpy(message.data, bytes.constData(), message.dlc);
    return message;
}

// Frames no module of this kind sends, some of them close to real ones.
CanMessage strayFrame(int number)
{
    switch (number % 4) {
    case 0:
        return data(0x123, QByteArray::fromHex("DEADBEEF01020304"));
    case 1:
        return remote(0x7A6, 0);
    case 2:
        return data(CanIdSetSN, QByteArray(4, '\0'));
    default:
        return remote(CanIdMonitor, 0);
    }
}
} // namespace

QString describeFrame(const CanMessage &message)
{
    QString text = QStringLiteral("%1 %2 dlc=%3")
                       .arg(QString::number(message.id, 16).toUpper().rightJustified(3, QLatin1Char('0')),
                            message.rtr ? QStringLiteral("remote") : QStringLiteral("data"))
                       .arg(message.dlc);
    if (!message.rtr && message.dlc > 0)
        text += QLatin1Char(' ')
            + QString::fromLatin1(QByteArray(reinterpret_cast<const char *>(message.data), qMin<int>(message.dlc, 8)).toHex(' ').toUpper());
    return text;
}

SimulatedModule::SimulatedModule(const SimulatedModuleOptions &options, QObject *parent)
    : QObject(parent)
    , m_options(options)
{
    m_frameTimer.setSingleShot(true);
    connect(&m_frameTimer, &QTimer::timeout, this, &SimulatedModule::sendNextReportFrame);
    connect(&m_monitorTimer, &QTimer::timeout, this, &SimulatedModule::sendMonitorBlock);
    m_rejoinTimer.setInterval(1000);
    connect(&m_rejoinTimer, &QTimer::timeout, this, [this] {
        QString error;
        if (joinBus(&error)) {
            m_rejoinTimer.stop();
            log(QStringLiteral("rejoined the bus"));
        }
    });
}

SimulatedModule::~SimulatedModule()
{
    // stop() hands the device to deleteLater(), which never runs once the
    // event loop has ended (the program's exit path); here nothing of the
    // device is on the stack, so it goes at once.
    if (m_device) {
        disconnect(m_device.get(), nullptr, this, nullptr);
        m_device->disconnectDevice();
        m_device.reset();
    }
    stop();
}

bool SimulatedModule::start(QString *error, int timeoutMs)
{
    stop();
    if (!m_options.eepromFile.isEmpty()) {
        QString reason;
        if (QFileInfo::exists(m_options.eepromFile)) {
            if (!EepromImage::load(m_options.eepromFile, &m_eeprom, &reason)) {
                if (error)
                    *error = reason;
                return false;
            }
            log(QStringLiteral("EEPROM loaded from %1").arg(m_options.eepromFile));
        } else {
            m_eeprom = EepromImage::builtIn();
            if (!m_eeprom.save(m_options.eepromFile, &reason)) {
                if (error)
                    *error = QStringLiteral("cannot create %1: %2").arg(m_options.eepromFile, reason);
                return false;
            }
            log(QStringLiteral("EEPROM file %1 created from the built-in image").arg(m_options.eepromFile));
        }
    }
    m_running = true;
    if (!joinBus(error)) {
        m_running = false;
        return false;
    }
    if (m_device->state() == QCanBusDevice::ConnectingState) {
        QEventLoop loop;
        QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
        connect(m_device.get(), &QCanBusDevice::stateChanged, &loop, [&loop](QCanBusDevice::CanBusDeviceState state) {
            if (state != QCanBusDevice::ConnectingState)
                loop.quit();
        });
        loop.exec();
    }
    if (!isConnected()) {
        if (error)
            *error = QStringLiteral("no connection to %1").arg(m_options.bus);
        stop();
        return false;
    }
    log(QStringLiteral("joined %1").arg(m_options.bus));
    return true;
}

bool SimulatedModule::joinBus(QString *error)
{
    const AdapterDescription bus = AdapterDescription::parse(m_options.bus);
    if (!bus.isValid()) {
        if (error)
            *error = QStringLiteral("\"%1\" is not of the form plugin/interface").arg(m_options.bus);
        return false;
    }
    QString reason;
    std::unique_ptr<QCanBusDevice> device(QCanBus::instance()->createDevice(bus.plugin, bus.interfaceName, &reason));
    if (!device) {
        if (error)
            *error = reason;
        return false;
    }
    connect(device.get(), &QCanBusDevice::framesReceived, this, &SimulatedModule::takeFrames);
    connect(device.get(), &QCanBusDevice::stateChanged, this, &SimulatedModule::onStateChanged);
    if (!device->connectDevice()) {
        if (error)
            *error = device->errorString();
        return false;
    }
    if (m_device)
        m_device.release()->deleteLater();
    m_device = std::move(device);
    return true;
}

void SimulatedModule::stop()
{
    m_running = false;
    m_rejoinTimer.stop();
    m_frameTimer.stop();
    m_monitorTimer.stop();
    m_monitorOn = false;
    m_pending.clear();
    if (m_device) {
        QCanBusDevice *device = m_device.release();
        disconnect(device, nullptr, this, nullptr);
        device->disconnectDevice();
        device->deleteLater();
    }
}

bool SimulatedModule::isConnected() const
{
    return m_device && m_device->state() == QCanBusDevice::ConnectedState;
}

void SimulatedModule::onStateChanged(QCanBusDevice::CanBusDeviceState state)
{
    if (state == QCanBusDevice::UnconnectedState && m_running && !m_rejoinTimer.isActive()) {
        // The bus went away (on the virtual bus: the process that ran its
        // server ended). Keep trying, as a powered module would.
        log(QStringLiteral("lost the bus, rejoining every second"));
        m_frameTimer.stop();
        m_pending.clear();
        m_rejoinTimer.start();
    }
}

void SimulatedModule::takeFrames()
{
    if (!m_device)
        return;
    while (m_device && m_device->framesAvailable() > 0) {
        const QCanBusFrame frame = m_device->readFrame();
        if (frame.frameType() != QCanBusFrame::DataFrame && frame.frameType() != QCanBusFrame::RemoteRequestFrame)
            continue;
        const CanMessage message = CanBusDriver::toCanMessage(frame);
        m_received.append(message);
        handle(message);
    }
}

void SimulatedModule::handle(const CanMessage &message)
{
    const QString frame = describeFrame(message);
    if (!message.rtr) {
        switch (message.id) {
        case CanIdSetSN:
            storeWord(message, WordSerialNumber, "serial number");
            return;
        case CanIdSetDate:
            storeWord(message, WordReleaseDate, "release date");
            return;
        case CanIdSetHit:
            storeWord(message, WordImpactLevel, "impact level");
            return;
        default:
            log(QStringLiteral("rx %1: ignored").arg(frame));
            return;
        }
    }
    switch (message.id) {
    case CanIdIRTClear:
        log(QStringLiteral("rx %1: inter-repair data cleared").arg(frame));
        m_eeprom.clearInterRepair();
        saveEeprom();
        acknowledge(CanIdIRTClear);
        break;
    case CanIdEEPROMClear:
        log(QStringLiteral("rx %1: EEPROM cleared").arg(frame));
        m_eeprom.clearAll();
        saveEeprom();
        acknowledge(CanIdEEPROMClear);
        break;
    case CanIdReadData:
        log(QStringLiteral("rx %1: report requested").arg(frame));
        startReport();
        break;
    case CanIdMonitor:
        // The two monitor commands differ only in their data length code.
        m_monitorOn = message.dlc != 0;
        log(QStringLiteral("rx %1: monitor %2").arg(frame, m_monitorOn ? QStringLiteral("on") : QStringLiteral("off")));
        if (m_monitorOn) {
            sendMonitorBlock();
            m_monitorTimer.start(qMax(1, m_options.monitorPeriodMs));
        } else {
            m_monitorTimer.stop();
        }
        break;
    default:
        log(QStringLiteral("rx %1: ignored").arg(frame));
        break;
    }
}

void SimulatedModule::storeWord(const CanMessage &message, int word, const char *what)
{
    if (message.dlc < 4) {
        log(QStringLiteral("rx %1: too short for the %2, ignored").arg(describeFrame(message), QLatin1String(what)));
        return;
    }
    const qint32 value = message.payload32();
    log(QStringLiteral("rx %1: %2 := %3").arg(describeFrame(message), QLatin1String(what)).arg(value));
    m_eeprom.setWord(word, quint32(value));
    saveEeprom();
    acknowledge(message.id);
}

void SimulatedModule::acknowledge(quint16 id)
{
    if (id == m_options.unacknowledgedCommand) {
        log(QStringLiteral("acknowledgement of 0x%1 left out").arg(id, 3, 16, QLatin1Char('0')));
        return;
    }
    send(remote(id, 0));
}

void SimulatedModule::saveEeprom()
{
    if (m_options.eepromFile.isEmpty())
        return;
    QString error;
    if (!m_eeprom.save(m_options.eepromFile, &error))
        log(QStringLiteral("cannot save the EEPROM to %1: %2").arg(m_options.eepromFile, error));
}

QList<CanMessage> SimulatedModule::reportFrames() const
{
    QList<CanMessage> frames;
    for (int frame = 0; frame < reportDataFrames; ++frame)
        frames.append(data(CanIdReadData, m_eeprom.bytes().mid(8 * frame, 8)));
    frames.append(remote(CanIdReadData, 0));
    return frames;
}

QString SimulatedModule::privateVirtualBus()
{
    static const QString bus = [] {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost, 0);
        return QStringLiteral("virtualcan/tcp://127.0.0.1:%1/can0").arg(probe.serverPort());
    }();
    return bus;
}

void SimulatedModule::startReport()
{
    // A new request restarts the transfer, as the module does.
    m_frameTimer.stop();
    m_pending.clear();
    m_pendingIndex = 0;
    const QList<CanMessage> frames = reportFrames();
    for (int number = 1; number <= frames.size(); ++number) {
        if (m_options.stopAfter > 0 && number > m_options.stopAfter)
            break;
        if (m_options.strayEvery > 0 && number % m_options.strayEvery == 0)
            m_pending.append(strayFrame(m_strayCount++));
        if (number == m_options.dropFrame)
            continue;
        m_pending.append(frames.at(number - 1));
    }
    sendNextReportFrame();
}

void SimulatedModule::sendNextReportFrame()
{
    while (m_pendingIndex < m_pending.size()) {
        send(m_pending.at(m_pendingIndex++));
        if (m_options.frameDelayMs > 0 && m_pendingIndex < m_pending.size()) {
            m_frameTimer.start(m_options.frameDelayMs);
            return;
        }
    }
    if (!m_pending.isEmpty()) {
        m_pending.clear();
        ++m_reportsSent;
        log(QStringLiteral("report sent"));
        if (m_options.hoursPerReport > 0) {
            const quint32 hours = quint32(m_options.hoursPerReport);
            m_eeprom.operate(hours * 3600, hours / 10);
            saveEeprom();
        }
    }
}

void SimulatedModule::sendMonitorBlock()
{
    if (!m_monitorOn)
        return;
    const QList<QByteArray> payloads = MonitorText::framePayloads(MonitorText::block(m_monitorBlocks++));
    for (const QByteArray &payload : payloads)
        send(data(CanIdMonitor, payload));
}

void SimulatedModule::send(const CanMessage &message)
{
    if (!isConnected())
        return;
    m_device->writeFrame(CanBusDriver::toFrame(message));
}

void SimulatedModule::log(const QString &line)
{
    emit logLine(line);
}
