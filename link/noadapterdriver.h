#pragma once

#include "link/ktxcanfunctions.h"

// The backend in place until a real one is installed: no adapter is attached,
// so every open fails and the link always reads as closed.
class NoAdapterDriver : public KtxDriver
{
public:
    qint32 open(const char *, quint32 *, quint32 *, qint32, qint32) override { return 1; }
    qint32 setup(const KtxCANSetupRecord *) override { return -1; }
    qint32 deviceInfo(char *) override { return -1; }
    qint32 info() override { return -1; }
    qint32 isNewMsg() override { return 0; }
    qint32 read(CanMessage *) override { return -1; }
    qint32 write(const CanMessage *) override { return -1; }
    qint32 close() override { return 0; }
};
