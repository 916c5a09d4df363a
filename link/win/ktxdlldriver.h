#pragma once

// The adapter driver's operations over the vendor's closed Windows driver
// library, whose entries are exported by ordinal only.
//
// The library's calling convention is not documented. RVK_KTXDRV_CALL
// defaults to __stdcall; build with -DRVK_KTXDRV_CALL=__cdecl if the library
// turns out to clean up its callers' stacks the other way. It matters only
// for 32-bit builds: x86-64 has a single convention and ignores both.

#include "link/ktxdriver.h"
#include "link/win/dynamiclibrary.h"

#include <memory>

#ifndef RVK_KTXDRV_CALL
#define RVK_KTXDRV_CALL __stdcall
#endif

class KtxDllDriver : public KtxDriver
{
public:
    static constexpr const wchar_t *defaultFileName = L"ktxdrv.dll";

    // The ordinals the driver's operations are exported under.
    enum Ordinal : std::uint16_t {
        OrdinalWrite = 1,
        OrdinalIsNewMsg = 2,
        OrdinalClose = 3,
        OrdinalInfo = 4,
        OrdinalOpen = 6,
        OrdinalRead = 7,
        OrdinalSetup = 8,
        OrdinalDeviceInfo = 13,
    };

    // Loads the library and resolves all eight entries before anything is
    // called, so a library lacking one is refused whole (failure names the
    // first missing ordinal) rather than failing in the middle of a session.
    // Null on failure.
    static std::unique_ptr<KtxDllDriver> load(const wchar_t *fileName, LibraryFailure &failure);

    // Closes a channel still open before the library is released: the
    // driver may still be working on it, and its code must not go away under
    // it. A channel the caller has closed is not closed a second time.
    ~KtxDllDriver() override;

    std::int32_t open(const char *description, std::uint32_t *out1, std::uint32_t *out2,
                      std::int32_t arg1, std::int32_t arg2) override;
    std::int32_t setup(const KtxCANSetupRecord *record) override;
    std::int32_t deviceInfo(char *buffer2048) override;
    std::int32_t info() override;
    std::int32_t isNewMsg() override;
    std::int32_t read(CanMessage *message) override;
    std::int32_t write(const CanMessage *message) override;
    std::int32_t close() override;

private:
    using OpenFunction = std::int32_t(RVK_KTXDRV_CALL *)(const char *, std::uint32_t *, std::uint32_t *,
                                                         std::int32_t, std::int32_t);
    using SetupFunction = std::int32_t(RVK_KTXDRV_CALL *)(const KtxCANSetupRecord *);
    using DeviceInfoFunction = std::int32_t(RVK_KTXDRV_CALL *)(char *);
    using NoArgumentFunction = std::int32_t(RVK_KTXDRV_CALL *)();
    using ReadFunction = std::int32_t(RVK_KTXDRV_CALL *)(CanMessage *);
    using WriteFunction = std::int32_t(RVK_KTXDRV_CALL *)(const CanMessage *);

    explicit KtxDllDriver(std::unique_ptr<DynamicLibrary> library);

    std::unique_ptr<DynamicLibrary> m_library;
    OpenFunction m_open = nullptr;
    SetupFunction m_setup = nullptr;
    DeviceInfoFunction m_deviceInfo = nullptr;
    NoArgumentFunction m_info = nullptr;
    NoArgumentFunction m_isNewMsg = nullptr;
    ReadFunction m_read = nullptr;
    WriteFunction m_write = nullptr;
    NoArgumentFunction m_close = nullptr;
    bool m_channelOpen = false;
};
