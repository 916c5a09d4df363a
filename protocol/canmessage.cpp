#include "protocol/canmessage.h"

#include <QtEndian>
#include <cstring>

void CanMessage::setPayload32(qint32 value)
{
    qToLittleEndian<qint32>(value, data);
}

qint32 CanMessage::payload32() const
{
    return qFromLittleEndian<qint32>(data);
}

QByteArray CanMessage::toBytes() const
{
    return QByteArray(reinterpret_cast<const char *>(this), sizeof(CanMessage));
}

CanMessage CanMessage::fromBytes(const QByteArray &bytes)
{
    CanMessage message;
    std::memcpy(&message, bytes.constData(), qMin<size_t>(size_t(bytes.size()), sizeof(CanMessage)));
    return message;
}
