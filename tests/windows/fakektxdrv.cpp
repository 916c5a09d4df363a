// Stands in for the adapter's driver library: exports the eight operations
// by ordinal only, as the real one does, and records every call.

#include "tests/windows/fakektxdrv.h"

#include "link/win/ktxdlldriver.h"

#include <cstring>

namespace {
FakeKtxState state;
FakeKtxCall overflow;

FakeKtxCall &record(int ordinal)
{
    // Calls past the capacity still count, so the test sees there were more.
    FakeKtxCall &call = state.callCount < FakeKtxState::capacity ? state.calls[state.callCount] : overflow;
    ++state.callCount;
    call = FakeKtxCall();
    call.ordinal = ordinal;
    return call;
}
} // namespace

extern "C" {

FakeKtxState *fakeKtxState()
{
    return &state;
}

std::int32_t RVK_KTXDRV_CALL fakeKtxWrite(const void *message)
{
    FakeKtxCall &call = record(1);
    call.pointer = message;
    std::memcpy(call.record, message, 12);
    return state.results[1];
}

std::int32_t RVK_KTXDRV_CALL fakeKtxIsNewMsg()
{
    record(2);
    return state.results[2];
}

std::int32_t RVK_KTXDRV_CALL fakeKtxClose()
{
    record(3);
    return state.results[3];
}

std::int32_t RVK_KTXDRV_CALL fakeKtxInfo()
{
    record(4);
    return state.results[4];
}

std::int32_t RVK_KTXDRV_CALL fakeKtxOpen(const char *description, std::uint32_t *out1, std::uint32_t *out2,
                                         std::int32_t arg1, std::int32_t arg2)
{
    FakeKtxCall &call = record(6);
    std::strncpy(call.description, description, sizeof(call.description) - 1);
    call.out1 = out1;
    call.out2 = out2;
    call.arg1 = arg1;
    call.arg2 = arg2;
    *out1 = state.openOutputs[0];
    *out2 = state.openOutputs[1];
    return state.results[6];
}

std::int32_t RVK_KTXDRV_CALL fakeKtxRead(void *message)
{
    FakeKtxCall &call = record(7);
    call.pointer = message;
    std::memcpy(message, state.nextRead, 12);
    return state.results[7];
}

std::int32_t RVK_KTXDRV_CALL fakeKtxSetup(const void *setupRecord)
{
    FakeKtxCall &call = record(8);
    call.pointer = setupRecord;
    std::memcpy(call.record, setupRecord, 10);
    return state.results[8];
}

std::int32_t RVK_KTXDRV_CALL fakeKtxDeviceInfo(char *buffer)
{
    FakeKtxCall &call = record(13);
    call.pointer = buffer;
    std::memcpy(buffer, state.deviceInfoText, std::strlen(state.deviceInfoText) + 1);
    return state.results[13];
}

} // extern "C"
