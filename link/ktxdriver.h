#pragma once

// The adapter driver's operations as a backend interface. Free of Qt, so the
// backend over the vendor's Windows library builds without it.

#include <cstdint>
#include <functional>

// Records pass through the backends by pointer only.
struct CanMessage;

// The 10-byte set-up record, little-endian, always sent as
// AA 07 A0 07 00 00 00 0B 31 00.
#pragma pack(push, 1)
struct KtxCANSetupRecord
{
    std::uint16_t receiveId = 0x07AA;
    std::uint16_t maskId = 0x07A0;
    std::uint8_t reserved[3] = {0, 0, 0};
    std::uint8_t mode = 0x0B;
    std::uint16_t bitTiming = 0x0031;
};
#pragma pack(pop)
static_assert(sizeof(KtxCANSetupRecord) == 10, "the set-up record is 10 bytes");

// One backend is installed at start-up (the CAN stack of the machine, the
// vendor's library, or a scripted fake in tests). The driver holds one
// channel at a time, so no handle is passed.
class KtxDriver
{
public:
    virtual ~KtxDriver() = default;

    // 1 or 16..19 = failure; any other value = opened.
    virtual std::int32_t open(const char *description, std::uint32_t *out1, std::uint32_t *out2,
                              std::int32_t arg1, std::int32_t arg2) = 0;
    // -6..-1 = failure.
    virtual std::int32_t setup(const KtxCANSetupRecord *record) = 0;
    virtual std::int32_t deviceInfo(char *buffer2048) = 0;
    // 0 = link present; -6..-1 = failure.
    virtual std::int32_t info() = 0;
    // Non-zero low byte: a received frame waits.
    virtual std::int32_t isNewMsg() = 0;
    virtual std::int32_t read(CanMessage *message) = 0;
    virtual std::int32_t write(const CanMessage *message) = 0;
    virtual std::int32_t close() = 0;

    // A backend that learns of received frames by itself calls notify (on
    // the thread that installed it) whenever one has come to wait, so its
    // caller need not poll. The vendor's library cannot: it answers false
    // and is polled.
    virtual bool notifyOnReceive(std::function<void()> notify)
    {
        (void)notify;
        return false;
    }
    // Frames handed to write() that have not left yet: a backend that sends
    // from its event loop still holds them, and a process that ends now
    // would drop them. The vendor's library writes at once.
    virtual bool writesPending() const { return false; }
};
