#pragma once

#include "link/ktxcanfunctions.h"

#include <QCanBusDevice>
#include <QPointer>
#include <QQueue>
#include <memory>

class QCanBusFrame;
class QTimer;

// The adapter driver's operations over a Qt CAN bus plugin. The adapter
// description names the plugin and its interface (see AdapterDescription);
// one channel is held at a time, as the callers expect.
//
// Result codes beyond those the callers rely on:
//   open:  0 opened, or still connecting (info then says -2 until the
//          plugin reports; a connection that has not come within the bounded
//          wait is closed, and info says -1); 1 description not understood
//          or empty; 16 the plugin cannot create the device (unknown plugin
//          or vendor library missing); 17 the device refused to connect.
//   info:  0 connected; -1 no channel; -2 still connecting; -3 connection
//          lost; -4 bus-off; -5 read error; -6 write error.
//   setup, read, write: 0 done; -1 no channel (read: no frame waiting);
//          write also -6 when the plugin refused the frame.
class CanBusDriver : public KtxDriver
{
public:
    // How long a channel may stay connecting before it is closed.
    static constexpr int defaultConnectTimeoutMs = 2000;
    // Frames kept when nobody reads; later ones are dropped.
    static constexpr int receiveQueueLimit = 65536;

    explicit CanBusDriver(int connectTimeoutMs = defaultConnectTimeoutMs);
    ~CanBusDriver() override;

    qint32 open(const char *description, quint32 *out1, quint32 *out2, qint32 arg1, qint32 arg2) override;
    qint32 setup(const KtxCANSetupRecord *record) override;
    qint32 deviceInfo(char *buffer2048) override;
    qint32 info() override;
    qint32 isNewMsg() override;
    qint32 read(CanMessage *message) override;
    qint32 write(const CanMessage *message) override;
    qint32 close() override;
    bool notifyOnReceive(std::function<void()> notify) override;
    bool writesPending() const override;


    static CanMessage toCanMessage(const QCanBusFrame &frame);
    static QCanBusFrame toFrame(const CanMessage &message);

private:
    void takeReceivedFrames();
    void noteError(QCanBusDevice::CanBusError error);
    void noteState(QCanBusDevice::CanBusDeviceState state);
    bool accepts(const QCanBusFrame &frame) const;

    std::unique_ptr<QCanBusDevice> m_device;
    QString m_openedDescription;
    QQueue<CanMessage> m_received;
    int m_connectTimeoutMs;
    std::unique_ptr<QTimer> m_connectWait;
    bool m_wasConnected = false;
    qint32 m_latchedError = 0;
    std::function<void()> m_notify;
    // Acceptance filter from the set-up record; a zero mask passes all.
    quint16 m_acceptId = 0;
    quint16 m_acceptMask = 0;
};
