#pragma once

// The D2XX subset over the vendor's Windows library, whose entries are
// resolved by name and use the Windows API's calling convention.

#include "link/d2xx.h"
#include "link/win/dynamiclibrary.h"

#include <memory>

class Ftd2xxLibrary : public D2xx
{
public:
    static constexpr const wchar_t *defaultFileName = L"FTD2XX.dll";

    // Loads the library and resolves all seven entries up front; a library
    // lacking one is refused whole (failure names the first missing entry).
    // Null on failure.
    static std::unique_ptr<Ftd2xxLibrary> load(const wchar_t *fileName, LibraryFailure &failure);

    FT_STATUS listDevices(void *arg1, void *arg2, std::uint32_t flags) override;
    FT_STATUS openEx(void *arg, std::uint32_t flags, FT_HANDLE *handle) override;
    FT_STATUS getQueueStatus(FT_HANDLE handle, std::uint32_t *count) override;
    FT_STATUS setDtr(FT_HANDLE handle) override;
    FT_STATUS setRts(FT_HANDLE handle) override;
    FT_STATUS clrRts(FT_HANDLE handle) override;
    FT_STATUS close(FT_HANDLE handle) override;

private:
    // The library's own types: ULONG and DWORD are unsigned long, 32 bits on
    // Windows. Spelt out here so this header needs no <windows.h>.
    using Status = unsigned long;
    using Dword = unsigned long;
    using ListDevicesFunction = Status(__stdcall *)(void *, void *, Dword);
    using OpenExFunction = Status(__stdcall *)(void *, Dword, FT_HANDLE *);
    using GetQueueStatusFunction = Status(__stdcall *)(FT_HANDLE, Dword *);
    using HandleFunction = Status(__stdcall *)(FT_HANDLE);

    explicit Ftd2xxLibrary(std::unique_ptr<DynamicLibrary> library);

    std::unique_ptr<DynamicLibrary> m_library;
    ListDevicesFunction m_listDevices = nullptr;
    OpenExFunction m_openEx = nullptr;
    GetQueueStatusFunction m_getQueueStatus = nullptr;
    HandleFunction m_setDtr = nullptr;
    HandleFunction m_setRts = nullptr;
    HandleFunction m_clrRts = nullptr;
    HandleFunction m_close = nullptr;
};
