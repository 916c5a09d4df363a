#include "tests/support/fakektxdriver.h"

#include <QEventLoop>
#include <QTimer>
#include <cstring>

FakeKtxDriver *FakeKtxDriver::install()
{
    auto driver = std::make_unique<FakeKtxDriver>();
    FakeKtxDriver *raw = driver.get();
    installKtxDriver(std::move(driver));
    return raw;
}

void FakeKtxDriver::receiveData(quint16 id, const QByteArray &bytes)
{
    CanMessage message;
    message.id = id;
    message.rtr = 0;
    message.dlc = quint8(qMin(bytes.size(), 8));
    std::memcpy(message.data, bytes.constData(), size_t(message.dlc));
    receive(message);
}

void FakeKtxDriver::receiveRemote(quint16 id, quint8 dlc)
{
    CanMessage message;
    message.id = id;
    message.rtr = 1;
    message.dlc = dlc;
    receive(message);
}

QList<CanMessage> FakeKtxDriver::writtenMessages() const
{
    QList<CanMessage> messages;
    for (const QByteArray &bytes : written)
        messages.append(CanMessage::fromBytes(bytes));
    return messages;
}

qint32 FakeKtxDriver::open(const char *description, quint32 *, quint32 *, qint32, qint32)
{
    calls << QStringLiteral("open");
    openedDescription = QByteArray(description);
    if (openDelayMs > 0) {
        m_opening = true;
        QEventLoop loop;
        QTimer::singleShot(openDelayMs, &loop, &QEventLoop::quit);
        loop.exec();
        m_opening = false;
    }
    if (attached && !attached(openedDescription))
        return 16;
    const bool opened = openResult != 1 && !(openResult >= 16 && openResult <= 19);
    if (opened) {
        if (channelOpen)
            ++opensOverOpenChannel;
        channelOpen = true;
        ++channelsOpened;
    }
    return openResult;
}

qint32 FakeKtxDriver::setup(const KtxCANSetupRecord *record)
{
    calls << QStringLiteral("setup");
    lastSetupRecord = QByteArray(reinterpret_cast<const char *>(record), sizeof(KtxCANSetupRecord));
    return setupResult;
}

qint32 FakeKtxDriver::deviceInfo(char *)
{
    calls << QStringLiteral("deviceInfo");
    return 0;
}

qint32 FakeKtxDriver::info()
{
    calls << QStringLiteral("info");
    if (m_opening)
        return -2;
    if (!infoResults.isEmpty())
        return infoResults.dequeue();
    if (attached) {
        if (!channelOpen)
            return -1;
        if (!attached(openedDescription))
            return -3;
    }
    return infoResult;
}

qint32 FakeKtxDriver::isNewMsg()
{
    return incoming.isEmpty() ? 0 : 1;
}

qint32 FakeKtxDriver::read(CanMessage *message)
{
    calls << QStringLiteral("read");
    if (incoming.isEmpty())
        return -1;
    *message = incoming.dequeue();
    return 0;
}

qint32 FakeKtxDriver::write(const CanMessage *message)
{
    calls << QStringLiteral("write");
    written.append(message->toBytes());
    return 0;
}

qint32 FakeKtxDriver::close()
{
    calls << QStringLiteral("close");
    if (channelOpen) {
        channelOpen = false;
        ++channelsClosed;
    }
    return 0;
}
