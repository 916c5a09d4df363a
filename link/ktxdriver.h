#pragma once

#include "canmessage.h"

#include <QtGlobal>
#include <memory>

// The 10-byte set-up record, little-endian, always sent as
// AA 07 A0 07 00 00 00 0B 31 00.
#pragma pack(push, 1)
struct KtxCANSetupRecord
{
    quint16 receiveId = 0x07AA;
    quint16 maskId = 0x07A0;
    quint8 reserved[3] = {0, 0, 0};
    quint8 mode = 0x0B;
    quint16 bitTiming = 0x0031;
};
#pragma pack(pop)
static_assert(sizeof(KtxCANSetupRecord) == 10, "the set-up record is 10 bytes");

// The adapter driver's operations, as a seam: one backend is installed at
// start-up (the CAN stack of the machine, or a scripted fake in tests) and
// the free functions below forward to it. The driver holds one channel at a
// time, so no handle is passed.
class KtxDriver
{
public:
    virtual ~KtxDriver() = default;

    // 1 or 16..19 = failure; any other value = opened.
    virtual qint32 open(const char *description, quint32 *out1, quint32 *out2, qint32 arg1, qint32 arg2) = 0;
    // -6..-1 = failure.
    virtual qint32 setup(const KtxCANSetupRecord *record) = 0;
    virtual qint32 deviceInfo(char *buffer2048) = 0;
    // 0 = link present; -6..-1 = failure.
    virtual qint32 info() = 0;
    // Non-zero low byte: a received frame waits.
    virtual qint32 isNewMsg() = 0;
    virtual qint32 read(CanMessage *message) = 0;
    virtual qint32 write(const CanMessage *message) = 0;
    virtual qint32 close() = 0;
};

// Replaces the installed backend; the previous one is destroyed.
void installKtxDriver(std::unique_ptr<KtxDriver> driver);
KtxDriver &installedKtxDriver();

qint32 ktxCANOpen(const char *description, quint32 *out1, quint32 *out2, qint32 arg1, qint32 arg2);
qint32 ktxCANSetup(const KtxCANSetupRecord *record);
qint32 ktxCANDeviceInfo(char *buffer2048);
qint32 ktxCANInfo();
qint32 ktxCANIsNewMsg();
qint32 ktxCANRead(CanMessage *message);
qint32 ktxCANWrite(const CanMessage *message);
qint32 ktxCANClose();
