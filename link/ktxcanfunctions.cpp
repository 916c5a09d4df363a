#include "link/ktxcanfunctions.h"

#include "link/noadapterdriver.h"

namespace {
std::unique_ptr<KtxDriver> &slot()
{
    static std::unique_ptr<KtxDriver> driver = std::make_unique<NoAdapterDriver>();
    return driver;
}
} // namespace

void installKtxDriver(std::unique_ptr<KtxDriver> driver)
{
    slot() = driver ? std::move(driver) : std::make_unique<NoAdapterDriver>();
}

qint32 ktxCANOpen(const char *description, quint32 *out1, quint32 *out2, qint32 arg1, qint32 arg2)
{
    return slot()->open(description, out1, out2, arg1, arg2);
}
qint32 ktxCANSetup(const KtxCANSetupRecord *record) { return slot()->setup(record); }
qint32 ktxCANDeviceInfo(char *buffer2048) { return slot()->deviceInfo(buffer2048); }
qint32 ktxCANInfo() { return slot()->info(); }
qint32 ktxCANIsNewMsg() { return slot()->isNewMsg(); }
qint32 ktxCANRead(CanMessage *message) { return slot()->read(message); }
qint32 ktxCANWrite(const CanMessage *message) { return slot()->write(message); }
qint32 ktxCANClose() { return slot()->close(); }
bool ktxCANNotifyOnReceive(std::function<void()> notify) { return slot()->notifyOnReceive(std::move(notify)); }
bool ktxCANWritesPending() { return slot()->writesPending(); }
