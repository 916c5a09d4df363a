#include "fakektxdriver.h"

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
    return infoResults.isEmpty() ? infoResult : infoResults.dequeue();
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
    return 0;
}
