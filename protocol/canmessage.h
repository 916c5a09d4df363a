#pragma once

#include <QByteArray>
#include <QtGlobal>
#include <cstddef>

// The frame record exchanged with the adapter driver by pointer. Its layout is
// fixed by the driver: 12 bytes, packed, little-endian.
#pragma pack(push, 1)
struct CanMessage
{
    quint16 id = 0;
    quint8 rtr = 0;
    quint8 dlc = 0;
    quint8 data[8] = {0, 0, 0, 0, 0, 0, 0, 0};

    // A 32-bit payload occupies data bytes 0 to 3, least significant first.
    void setPayload32(qint32 value);
    qint32 payload32() const;

    // The record exactly as it lies in memory (12 bytes).
    QByteArray toBytes() const;
    static CanMessage fromBytes(const QByteArray &bytes);
};
#pragma pack(pop)

static_assert(sizeof(CanMessage) == 12, "the driver exchanges 12-byte frame records");
static_assert(offsetof(CanMessage, id) == 0, "id at offset 0");
static_assert(offsetof(CanMessage, rtr) == 2, "rtr at offset 2");
static_assert(offsetof(CanMessage, dlc) == 3, "dlc at offset 3");
static_assert(offsetof(CanMessage, data) == 4, "data at offset 4");
