#include "link/canbusdriver.h"

#include "link/caninterfaces.h"

#include <QCanBus>
#include <QCanBusFrame>
#include <QSet>
#include <QTimer>
#include <QVariant>
#include <cstring>

namespace {
// Plugins that take a bit rate; it must be given before connecting, since
// most of them refuse to change it on an open channel.
const QSet<QString> &pluginsWithBitRate()
{
    static const QSet<QString> plugins{QStringLiteral("socketcan"), QStringLiteral("peakcan"),
                                       QStringLiteral("vectorcan"), QStringLiteral("systeccan"),
                                       QStringLiteral("tinycan"),   QStringLiteral("passthrucan")};
    return plugins;
}
constexpr quint32 standardIdMask = 0x7FF;
} // namespace

CanBusDriver::CanBusDriver(int connectTimeoutMs)
    : m_connectTimeoutMs(connectTimeoutMs)
{
}

CanBusDriver::~CanBusDriver()
{
    close();
}

qint32 CanBusDriver::open(const char *description, quint32 *, quint32 *, qint32, qint32 kbitPerSecond)
{
    close();
    if (!description)
        return 1;
    const AdapterDescription adapter = AdapterDescription::parse(QString::fromUtf8(description));
    if (!adapter.isValid())
        return 1;

    QString error;
    std::unique_ptr<QCanBusDevice> device(QCanBus::instance()->createDevice(adapter.plugin, adapter.interfaceName, &error));
    if (!device)
        return 16;
    if (kbitPerSecond > 0 && pluginsWithBitRate().contains(adapter.plugin))
        device->setConfigurationParameter(QCanBusDevice::BitRateKey, QVariant(quint32(kbitPerSecond) * 1000u));

    QCanBusDevice *raw = device.get();
    QObject::connect(raw, &QCanBusDevice::framesReceived, raw, [this] { takeReceivedFrames(); });
    QObject::connect(raw, &QCanBusDevice::errorOccurred, raw, [this](QCanBusDevice::CanBusError e) { noteError(e); });
    QObject::connect(raw, &QCanBusDevice::stateChanged, raw, [this](QCanBusDevice::CanBusDeviceState s) { noteState(s); });
    m_device = std::move(device);
    m_openedDescription = adapter.toString();
    m_wasConnected = false;
    m_latchedError = 0;

    if (!raw->connectDevice()) {
        close();
        return 17;
    }
    // Network-backed plugins (the virtual bus among them) connect
    // asynchronously. The channel counts as opened and reports -2 until the
    // plugin says more; one still connecting after the bounded wait is
    // closed, so its caller's supervision sees no channel and starts over.
    // Nothing here waits: the caller's thread keeps running its events.
    if (raw->state() == QCanBusDevice::ConnectingState) {
        m_connectWait = std::make_unique<QTimer>();
        m_connectWait->setSingleShot(true);
        QObject::connect(m_connectWait.get(), &QTimer::timeout, raw, [this, raw] {
            if (m_device.get() == raw && raw->state() == QCanBusDevice::ConnectingState)
                close();
        });
        m_connectWait->start(m_connectTimeoutMs);
        return 0;
    }
    if (raw->state() != QCanBusDevice::ConnectedState) {
        close();
        return 17;
    }
    return 0;
}

qint32 CanBusDriver::setup(const KtxCANSetupRecord *record)
{
    // The filter applies to frames yet to come, so a channel still
    // connecting takes it too.
    if (!m_device || (m_device->state() != QCanBusDevice::ConnectedState
                      && m_device->state() != QCanBusDevice::ConnectingState))
        return -1;
    if (record) {
        m_acceptId = record->receiveId & standardIdMask;
        m_acceptMask = record->maskId & standardIdMask;
    }
    return 0;
}

qint32 CanBusDriver::deviceInfo(char *buffer2048)
{
    if (!m_device)
        return -1;
    if (buffer2048) {
        const QByteArray text = m_openedDescription.toUtf8().left(2047);
        std::memcpy(buffer2048, text.constData(), size_t(text.size()));
        buffer2048[text.size()] = '\0';
    }
    return 0;
}

qint32 CanBusDriver::info()
{
    if (!m_device)
        return -1;
    if (m_latchedError)
        return m_latchedError;
    switch (m_device->state()) {
    case QCanBusDevice::ConnectedState:
        break;
    case QCanBusDevice::ConnectingState:
        return -2;
    default:
        return m_wasConnected ? -3 : -1;
    }
    if (m_device->hasBusStatus() && m_device->busStatus() == QCanBusDevice::CanBusStatus::BusOff)
        return -4;
    return 0;
}

qint32 CanBusDriver::isNewMsg()
{
    return m_received.isEmpty() ? 0 : 1;
}

qint32 CanBusDriver::read(CanMessage *message)
{
    if (m_received.isEmpty() || !message)
        return -1;
    *message = m_received.dequeue();
    return 0;
}

qint32 CanBusDriver::write(const CanMessage *message)
{
    if (!m_device || m_device->state() != QCanBusDevice::ConnectedState || !message)
        return -1;
    return m_device->writeFrame(toFrame(*message)) ? 0 : -6;
}

bool CanBusDriver::writesPending() const
{
    return m_device && m_device->state() == QCanBusDevice::ConnectedState && m_device->framesToWrite() > 0;
}

qint32 CanBusDriver::close()
{
    // The wait may be what closes the channel, from inside its own signal.
    if (m_connectWait) {
        m_connectWait->stop();
        m_connectWait.release()->deleteLater();
    }
    if (m_device) {
        // Detach first: disconnecting emits signals that would call back
        // into a driver that is half-way through forgetting the device.
        QCanBusDevice *device = m_device.get();
        QObject::disconnect(device, nullptr, nullptr, nullptr);
        if (device->state() != QCanBusDevice::UnconnectedState)
            device->disconnectDevice();
        // Plugins may still deliver queued socket events to the device.
        m_device.release()->deleteLater();
    }
    m_openedDescription.clear();
    m_received.clear();
    m_wasConnected = false;
    m_latchedError = 0;
    m_acceptId = 0;
    m_acceptMask = 0;
    return 0;
}

CanMessage CanBusDriver::toCanMessage(const QCanBusFrame &frame)
{
    CanMessage message;
    message.id = quint16(frame.frameId() & standardIdMask);
    const QByteArray payload = frame.payload();
    // A remote frame's payload is only its length: Qt carries the data
    // length code that way, and the module's commands depend on it.
    message.dlc = quint8(qMin(payload.size(), 8));
    if (frame.frameType() == QCanBusFrame::RemoteRequestFrame) {
        message.rtr = 1;
    } else {
        message.rtr = 0;
        std::memcpy(message.data, payload.constData(), message.dlc);
    }
    return message;
}

QCanBusFrame CanBusDriver::toFrame(const CanMessage &message)
{
    const int length = qMin<int>(message.dlc, 8);
    if (message.rtr) {
        QCanBusFrame frame(QCanBusFrame::RemoteRequestFrame);
        frame.setFrameId(message.id & standardIdMask);
        frame.setPayload(QByteArray(length, '\0'));
        return frame;
    }
    return QCanBusFrame(message.id & standardIdMask,
                        QByteArray(reinterpret_cast<const char *>(message.data), length));
}

bool CanBusDriver::accepts(const QCanBusFrame &frame) const
{
    const QCanBusFrame::FrameType type = frame.frameType();
    if (type != QCanBusFrame::DataFrame && type != QCanBusFrame::RemoteRequestFrame)
        return false;
    // The module uses standard identifiers only; an extended one would not
    // fit the record's 16-bit field without aliasing a module identifier.
    if (frame.hasExtendedFrameFormat() || frame.hasFlexibleDataRateFormat())
        return false;
    return (frame.frameId() & m_acceptMask) == (m_acceptId & m_acceptMask);
}

void CanBusDriver::takeReceivedFrames()
{
    if (!m_device)
        return;
    while (m_device->framesAvailable() > 0) {
        const QCanBusFrame frame = m_device->readFrame();
        if (!accepts(frame))
            continue;
        if (m_received.size() >= receiveQueueLimit)
            continue;
        m_received.enqueue(toCanMessage(frame));
    }
    if (!m_received.isEmpty() && m_notify)
        m_notify();
}

bool CanBusDriver::notifyOnReceive(std::function<void()> notify)
{
    m_notify = std::move(notify);
    return true;
}

void CanBusDriver::noteError(QCanBusDevice::CanBusError error)
{
    switch (error) {
    case QCanBusDevice::ReadError:
        m_latchedError = -5;
        break;
    case QCanBusDevice::WriteError:
        m_latchedError = -6;
        break;
    case QCanBusDevice::ConnectionError:
        if (m_wasConnected)
            m_latchedError = -3;
        break;
    default:
        // Configuration errors (a bit rate the interface keeps) and the
        // like leave a working channel working.
        break;
    }
}

void CanBusDriver::noteState(QCanBusDevice::CanBusDeviceState state)
{
    if (state == QCanBusDevice::ConnectedState)
        m_wasConnected = true;
}
