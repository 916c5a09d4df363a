// Stands in for the D2XX library: the seven entries by their documented
// names and prototypes, recording every call.

#include "tests/windows/fakeftd2xx.h"

#include <cstring>
#include <windows.h>

namespace {
FakeD2xxState state;
FakeD2xxCall overflow;

// The documented flag values; the fake only tells the two listing forms apart.
constexpr DWORD listNumberOnly = 0x80000000u;
constexpr DWORD listByIndex = 0x40000000u;

FakeD2xxCall &record(FakeD2xxEntry entry)
{
    FakeD2xxCall &call = state.callCount < FakeD2xxState::capacity ? state.calls[state.callCount] : overflow;
    ++state.callCount;
    call = FakeD2xxCall();
    call.entry = entry;
    return call;
}

ULONG handleCall(FakeD2xxEntry entry, PVOID handle)
{
    record(entry).handle = handle;
    return state.results[entry];
}
} // namespace

extern "C" {

FakeD2xxState *fakeD2xxState()
{
    return &state;
}

ULONG WINAPI FT_ListDevices(PVOID arg1, PVOID arg2, DWORD flags)
{
    FakeD2xxCall &call = record(FakeListDevices);
    call.arg1 = arg1;
    call.arg2 = arg2;
    call.flags = flags;
    if (flags & listNumberOnly) {
        *static_cast<DWORD *>(arg1) = state.deviceCount;
    } else if (flags & listByIndex) {
        const auto index = reinterpret_cast<ULONG_PTR>(arg1);
        if (index < 4)
            std::memcpy(arg2, state.descriptions[index], 64);
    }
    return state.results[FakeListDevices];
}

ULONG WINAPI FT_OpenEx(PVOID arg, DWORD flags, PVOID *handle)
{
    FakeD2xxCall &call = record(FakeOpenEx);
    call.arg1 = arg;
    call.flags = flags;
    std::strncpy(call.text, static_cast<const char *>(arg), sizeof(call.text) - 1);
    call.out = handle;
    *handle = state.openedHandle;
    return state.results[FakeOpenEx];
}

ULONG WINAPI FT_GetQueueStatus(PVOID handle, DWORD *count)
{
    FakeD2xxCall &call = record(FakeGetQueueStatus);
    call.handle = handle;
    call.out = count;
    call.countOnEntry = *count;
    *count = state.queueCount;
    return state.results[FakeGetQueueStatus];
}

ULONG WINAPI FT_SetDtr(PVOID handle) { return handleCall(FakeSetDtr, handle); }
ULONG WINAPI FT_SetRts(PVOID handle) { return handleCall(FakeSetRts, handle); }
ULONG WINAPI FT_ClrRts(PVOID handle) { return handleCall(FakeClrRts, handle); }
ULONG WINAPI FT_Close(PVOID handle) { return handleCall(FakeClose, handle); }

} // extern "C"
