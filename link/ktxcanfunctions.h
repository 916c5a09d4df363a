#pragma once

#include "link/ktxdriver.h"
#include "protocol/canmessage.h"

#include <QtGlobal>
#include <functional>
#include <memory>

// The adapter driver's operations under their own names; each forwards to the
// installed backend.

// Replaces the installed backend; the previous one is destroyed.
void installKtxDriver(std::unique_ptr<KtxDriver> driver);

qint32 ktxCANOpen(const char *description, quint32 *out1, quint32 *out2, qint32 arg1, qint32 arg2);
qint32 ktxCANSetup(const KtxCANSetupRecord *record);
qint32 ktxCANDeviceInfo(char *buffer2048);
qint32 ktxCANInfo();
qint32 ktxCANIsNewMsg();
qint32 ktxCANRead(CanMessage *message);
qint32 ktxCANWrite(const CanMessage *message);
qint32 ktxCANClose();
// Whether the installed backend tells of received frames itself (see
// KtxDriver::notifyOnReceive); false: it has to be polled.
bool ktxCANNotifyOnReceive(std::function<void()> notify);
// Whether frames written have not left yet (KtxDriver::writesPending).
bool ktxCANWritesPending();
