// Stands in for the D2XX library beside bridgektxdrv.cpp: one adapter is
// attached, and every call on it succeeds.

#include <cstring>
#include <windows.h>

namespace {
constexpr DWORD listNumberOnly = 0x80000000u;
constexpr DWORD listByIndex = 0x40000000u;
const char adapterDescription[] = "RVK bridge";
int handle;
} // namespace

extern "C" {

ULONG WINAPI FT_ListDevices(PVOID arg1, PVOID arg2, DWORD flags)
{
    if (flags & listNumberOnly)
        *static_cast<DWORD *>(arg1) = 1;
    else if ((flags & listByIndex) && reinterpret_cast<ULONG_PTR>(arg1) == 0)
        std::memcpy(arg2, adapterDescription, sizeof adapterDescription);
    return 0;
}

ULONG WINAPI FT_OpenEx(PVOID, DWORD, PVOID *opened)
{
    *opened = &handle;
    return 0;
}

ULONG WINAPI FT_GetQueueStatus(PVOID, DWORD *count)
{
    *count = 0;
    return 0;
}

ULONG WINAPI FT_SetDtr(PVOID) { return 0; }
ULONG WINAPI FT_SetRts(PVOID) { return 0; }
ULONG WINAPI FT_ClrRts(PVOID) { return 0; }
ULONG WINAPI FT_Close(PVOID) { return 0; }

} // extern "C"
