#pragma once

#include <QtGlobal>
#include <memory>

// The subset of the FTDI D2XX library the adapter object uses, as a seam:
// one backend is installed at start-up and the functions below forward to it.
using FT_HANDLE = void *;
using FT_STATUS = quint32;

enum : FT_STATUS {
    FT_OK = 0,
    FT_INVALID_HANDLE = 1,
    FT_DEVICE_NOT_FOUND = 2,
    FT_DEVICE_NOT_OPENED = 3,
    FT_IO_ERROR = 4,
    FT_INSUFFICIENT_RESOURCES = 5,
    FT_INVALID_PARAMETER = 6,
    FT_OTHER_ERROR = 18,
};

constexpr quint32 FT_LIST_NUMBER_ONLY = 0x80000000u;
constexpr quint32 FT_LIST_BY_INDEX = 0x40000000u;
constexpr quint32 FT_OPEN_BY_DESCRIPTION = 2u;

class D2xx
{
public:
    virtual ~D2xx() = default;
    // FT_LIST_NUMBER_ONLY: arg1 points to a 32-bit count.
    // FT_LIST_BY_INDEX | FT_OPEN_BY_DESCRIPTION: arg1 is the index (cast to a
    // pointer), arg2 a 64-byte buffer for the NUL-terminated description.
    virtual FT_STATUS listDevices(void *arg1, void *arg2, quint32 flags) = 0;
    virtual FT_STATUS openEx(void *arg, quint32 flags, FT_HANDLE *handle) = 0;
    virtual FT_STATUS getQueueStatus(FT_HANDLE handle, quint32 *count) = 0;
    virtual FT_STATUS setDtr(FT_HANDLE handle) = 0;
    virtual FT_STATUS setRts(FT_HANDLE handle) = 0;
    virtual FT_STATUS clrRts(FT_HANDLE handle) = 0;
    virtual FT_STATUS close(FT_HANDLE handle) = 0;
};

void installD2xx(std::unique_ptr<D2xx> backend);
D2xx &installedD2xx();

FT_STATUS FT_ListDevices(void *arg1, void *arg2, quint32 flags);
FT_STATUS FT_OpenEx(void *arg, quint32 flags, FT_HANDLE *handle);
FT_STATUS FT_GetQueueStatus(FT_HANDLE handle, quint32 *count);
FT_STATUS FT_SetDtr(FT_HANDLE handle);
FT_STATUS FT_SetRts(FT_HANDLE handle);
FT_STATUS FT_ClrRts(FT_HANDLE handle);
FT_STATUS FT_Close(FT_HANDLE handle);
