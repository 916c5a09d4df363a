#include "link/d2xxfunctions.h"

namespace {
// Until a backend is installed no device is attached.
class NoDevices : public D2xx
{
public:
    FT_STATUS listDevices(void *arg1, void *, quint32 flags) override
    {
        if (flags == FT_LIST_NUMBER_ONLY && arg1) {
            *static_cast<quint32 *>(arg1) = 0;
            return FT_OK;
        }
        return FT_DEVICE_NOT_FOUND;
    }
    FT_STATUS openEx(void *, quint32, FT_HANDLE *) override { return FT_DEVICE_NOT_FOUND; }
    FT_STATUS getQueueStatus(FT_HANDLE, quint32 *) override { return FT_INVALID_HANDLE; }
    FT_STATUS setDtr(FT_HANDLE) override { return FT_INVALID_HANDLE; }
    FT_STATUS setRts(FT_HANDLE) override { return FT_INVALID_HANDLE; }
    FT_STATUS clrRts(FT_HANDLE) override { return FT_INVALID_HANDLE; }
    FT_STATUS close(FT_HANDLE) override { return FT_INVALID_HANDLE; }
};

std::unique_ptr<D2xx> &slot()
{
    static std::unique_ptr<D2xx> backend = std::make_unique<NoDevices>();
    return backend;
}
} // namespace

void installD2xx(std::unique_ptr<D2xx> backend)
{
    slot() = backend ? std::move(backend) : std::make_unique<NoDevices>();
}

FT_STATUS FT_ListDevices(void *arg1, void *arg2, quint32 flags) { return slot()->listDevices(arg1, arg2, flags); }
FT_STATUS FT_OpenEx(void *arg, quint32 flags, FT_HANDLE *handle) { return slot()->openEx(arg, flags, handle); }
FT_STATUS FT_GetQueueStatus(FT_HANDLE handle, quint32 *count) { return slot()->getQueueStatus(handle, count); }
FT_STATUS FT_SetDtr(FT_HANDLE handle) { return slot()->setDtr(handle); }
FT_STATUS FT_SetRts(FT_HANDLE handle) { return slot()->setRts(handle); }
FT_STATUS FT_ClrRts(FT_HANDLE handle) { return slot()->clrRts(handle); }
FT_STATUS FT_Close(FT_HANDLE handle) { return slot()->close(handle); }
