#pragma once

#include "link/ktxcanfunctions.h"

#include <QByteArray>
#include <QList>
#include <QQueue>
#include <QStringList>
#include <functional>

// A scripted adapter driver for tests. Results are set per operation; frames
// queued with receive() are handed out one at a time; every written record is
// kept byte for byte, and every call is logged by name.
class FakeKtxDriver : public KtxDriver
{
public:
    // Installs a new fake as the driver and returns it (owned by the seam).
    static FakeKtxDriver *install();

    qint32 openResult = 0;
    qint32 setupResult = 0;
    qint32 infoResult = 0;
    // When not empty, info() takes its results from here first.
    QQueue<qint32> infoResults;

    // When set, only descriptions it accepts can be opened (others give 16,
    // as a missing interface does), and an open channel whose interface it
    // no longer accepts reads as lost (-3): an adapter unplugged and back.
    std::function<bool(const QByteArray &description)> attached;
    // When positive, open() takes this long, running the event loop
    // meanwhile, as a connection that is slow to come up does; info()
    // answers "still connecting" (-2) until it returns.
    int openDelayMs = 0;

    // Channel bookkeeping: opens that gave a channel, closes that ended one,
    // and opens made while a channel was still open.
    bool channelOpen = false;
    int channelsOpened = 0;
    int channelsClosed = 0;
    int opensOverOpenChannel = 0;

    QQueue<CanMessage> incoming;
    QList<QByteArray> written;
    QStringList calls;
    QByteArray openedDescription;
    QByteArray lastSetupRecord;

    // Whether the fake tells of received frames, as Qt's CAN backends do;
    // off, it is polled, as the vendor's library is.
    bool signalsFrames = true;
    std::function<void()> notify;

    void receive(const CanMessage &message)
    {
        incoming.enqueue(message);
        if (signalsFrames && notify)
            notify();
    }
    void receiveData(quint16 id, const QByteArray &bytes);
    void receiveRemote(quint16 id, quint8 dlc = 0);
    QList<CanMessage> writtenMessages() const;
    int callCount(const QString &name) const { return calls.count(name); }

    qint32 open(const char *description, quint32 *out1, quint32 *out2, qint32 arg1, qint32 arg2) override;
    qint32 setup(const KtxCANSetupRecord *record) override;
    qint32 deviceInfo(char *buffer2048) override;
    qint32 info() override;
    qint32 isNewMsg() override;
    qint32 read(CanMessage *message) override;
    qint32 write(const CanMessage *message) override;
    qint32 close() override;
    bool notifyOnReceive(std::function<void()> notifier) override
    {
        notify = std::move(notifier);
        return signalsFrames;
    }

private:
    bool m_opening = false;
};
