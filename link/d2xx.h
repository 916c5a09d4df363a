#pragma once

// The subset of the FTDI D2XX library the adapter object uses, as a backend
// interface. Free of Qt, so the backend over the vendor's Windows library
// builds without it.

#include <cstdint>

using FT_HANDLE = void *;
using FT_STATUS = std::uint32_t;

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

constexpr std::uint32_t FT_LIST_NUMBER_ONLY = 0x80000000u;
constexpr std::uint32_t FT_LIST_BY_INDEX = 0x40000000u;
constexpr std::uint32_t FT_OPEN_BY_DESCRIPTION = 2u;

class D2xx
{
public:
    virtual ~D2xx() = default;
    // FT_LIST_NUMBER_ONLY: arg1 points to a 32-bit count.
    // FT_LIST_BY_INDEX | FT_OPEN_BY_DESCRIPTION: arg1 is the index (cast to a
    // pointer), arg2 a 64-byte buffer for the NUL-terminated description.
    virtual FT_STATUS listDevices(void *arg1, void *arg2, std::uint32_t flags) = 0;
    virtual FT_STATUS openEx(void *arg, std::uint32_t flags, FT_HANDLE *handle) = 0;
    virtual FT_STATUS getQueueStatus(FT_HANDLE handle, std::uint32_t *count) = 0;
    virtual FT_STATUS setDtr(FT_HANDLE handle) = 0;
    virtual FT_STATUS setRts(FT_HANDLE handle) = 0;
    virtual FT_STATUS clrRts(FT_HANDLE handle) = 0;
    virtual FT_STATUS close(FT_HANDLE handle) = 0;
};
