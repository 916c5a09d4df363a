// Loads the stand-ins for the adapter's driver library and the D2XX library
// through the Windows backends and checks that every operation arrives at the
// right entry with its arguments intact, that results come back unchanged,
// and that unusable or misplaced libraries are refused with the reason.

#include "link/win/dynamiclibrary.h"
#include "link/win/ftd2xxlibrary.h"
#include "link/win/ktxdlldriver.h"
#include "tests/windows/fakeftd2xx.h"
#include "tests/windows/fakektxdrv.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <cwctype>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>
#include <windows.h>

// Completes the record the driver interface only declares: 12 bytes, packed,
// little-endian, as the driver library exchanges it.
#pragma pack(push, 1)
struct CanMessage
{
    std::uint16_t id;
    std::uint8_t rtr;
    std::uint8_t dlc;
    std::uint8_t data[8];
};
#pragma pack(pop)
static_assert(sizeof(CanMessage) == 12, "the driver exchanges 12-byte frame records");

namespace {

int passedChecks = 0;
int failedChecks = 0;

using Bytes = std::vector<unsigned char>;

Bytes bytesOf(const void *data, std::size_t size)
{
    const auto *begin = static_cast<const unsigned char *>(data);
    return Bytes(begin, begin + size);
}

std::string describe(long long value) { return std::to_string(value); }
std::string describe(const std::string &value) { return '"' + value + '"'; }
std::string describe(const std::wstring &value)
{
    // Only ASCII names are used here; anything else shows as '?'.
    std::string narrow;
    for (wchar_t c : value)
        narrow += c < 128 ? char(c) : '?';
    return "L\"" + narrow + '"';
}
std::string describe(const void *value)
{
    std::ostringstream out;
    out << value;
    return out.str();
}
std::string describe(const Bytes &value)
{
    std::string text;
    char hex[4];
    for (unsigned char byte : value) {
        std::snprintf(hex, sizeof(hex), "%02X ", byte);
        text += hex;
    }
    return text.empty() ? "(none)" : text.substr(0, text.size() - 1);
}
std::string describe(const std::vector<int> &values)
{
    std::string text;
    for (int value : values)
        text += std::to_string(value) + ' ';
    return text.empty() ? "(none)" : text.substr(0, text.size() - 1);
}

std::string describe(LibraryFailure::Kind kind)
{
    switch (kind) {
    case LibraryFailure::Kind::None: return "None";
    case LibraryFailure::Kind::LibraryMissing: return "LibraryMissing";
    case LibraryFailure::Kind::EntryMissing: return "EntryMissing";
    }
    return "?";
}

bool check(bool ok, const char *expression, const char *file, int line)
{
    if (ok) {
        ++passedChecks;
    } else {
        ++failedChecks;
        std::cout << file << ':' << line << ": FAIL: " << expression << std::endl;
    }
    return ok;
}

template<typename Actual, typename Expected>
bool checkEqual(const Actual &actual, const Expected &expected, const char *actualText, const char *expectedText,
                const char *file, int line)
{
    if (actual == expected) {
        ++passedChecks;
        return true;
    }
    ++failedChecks;
    std::cout << file << ':' << line << ": FAIL: " << actualText << " == " << expectedText << "\n    actual:   "
              << describe(actual) << "\n    expected: " << describe(expected) << std::endl;
    return false;
}

#define CHECK(condition) check((condition), #condition, __FILE__, __LINE__)
#define CHECK_EQ(actual, expected) checkEqual((actual), (expected), #actual, #expected, __FILE__, __LINE__)

std::string narrow(const std::wstring &text) { return describe(text); }

std::wstring executableFolder()
{
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, length);
    return folder.substr(0, folder.find_last_of(L"\\/"));
}

std::wstring modulePath(HMODULE module)
{
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(module, path, MAX_PATH);
    return std::wstring(path, length);
}

std::wstring lowerCase(std::wstring text)
{
    for (wchar_t &c : text)
        c = towlower(c);
    return text;
}

// The stand-ins keep their state in the loaded module; reach it by name.
FakeKtxState *ktxStateIn(const wchar_t *module)
{
    const HMODULE handle = GetModuleHandleW(module);
    if (!handle)
        return nullptr;
    auto function = reinterpret_cast<FakeKtxStateFunction>(
        reinterpret_cast<void (*)()>(GetProcAddress(handle, "fakeKtxState")));
    return function ? function() : nullptr;
}

FakeD2xxState *d2xxStateIn(const wchar_t *module)
{
    const HMODULE handle = GetModuleHandleW(module);
    if (!handle)
        return nullptr;
    auto function = reinterpret_cast<FakeD2xxStateFunction>(
        reinterpret_cast<void (*)()>(GetProcAddress(handle, "fakeD2xxState")));
    return function ? function() : nullptr;
}

std::vector<int> ktxOrdinalsCalled(const FakeKtxState &state)
{
    std::vector<int> ordinals;
    for (int i = 0; i < state.callCount && i < FakeKtxState::capacity; ++i)
        ordinals.push_back(state.calls[i].ordinal);
    return ordinals;
}

std::vector<int> d2xxEntriesCalled(const FakeD2xxState &state)
{
    std::vector<int> entries;
    for (int i = 0; i < state.callCount && i < FakeD2xxState::capacity; ++i)
        entries.push_back(state.calls[i].entry);
    return entries;
}

void reportFailure(const LibraryFailure &failure)
{
    std::cout << "    failure: kind " << describe(failure.kind) << ", Windows error " << failure.windowsError
              << ", library " << narrow(failure.library) << ", ordinal " << failure.ordinal << ", entry "
              << describe(failure.entryName) << std::endl;
}

// --- the adapter's driver library ---------------------------------------

void driverOperationsReachTheirOrdinals()
{
    LibraryFailure failure;
    std::unique_ptr<KtxDllDriver> driver = KtxDllDriver::load(KtxDllDriver::defaultFileName, failure);
    if (!CHECK(driver != nullptr))
        return reportFailure(failure);
    CHECK_EQ(failure.kind, LibraryFailure::Kind::None);
    FakeKtxState *state = ktxStateIn(L"ktxdrv.dll");
    if (!CHECK(state != nullptr))
        return;
    *state = FakeKtxState();
    state->openOutputs[0] = 0x11223344u;
    state->openOutputs[1] = 0xA5A5A5A5u;
    std::strcpy(state->deviceInfoText, "KTX adapter 1.4");
    const unsigned char received[12] = {0xA8, 0x07, 0x00, 0x08, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0xFE};
    std::memcpy(state->nextRead, received, 12);

    // The UTF-8 form of a description with a non-ASCII letter.
    const char description[] = "VXA \xC3\x84-2";
    std::uint32_t out1 = 0;
    std::uint32_t out2 = 0;
    driver->open(description, &out1, &out2, 19200, 500);
    const KtxCANSetupRecord setupRecord;
    driver->setup(&setupRecord);
    std::vector<char> infoBuffer(2048, 'x');
    infoBuffer[10] = '\0';
    driver->deviceInfo(infoBuffer.data());
    driver->info();
    driver->isNewMsg();
    CanMessage readMessage = {};
    driver->read(&readMessage);
    CanMessage writeMessage = {0x07A0, 0, 8, {0x10, 0x20, 0x30, 0x40, 0x50, 0x60, 0x70, 0x80}};
    driver->write(&writeMessage);
    driver->close();

    if (!CHECK_EQ(ktxOrdinalsCalled(*state), (std::vector<int>{6, 8, 13, 4, 2, 7, 1, 3})))
        return;
    const FakeKtxCall *calls = state->calls;

    CHECK_EQ(std::string(calls[0].description), std::string(description));
    CHECK_EQ(calls[0].arg1, 19200);
    CHECK_EQ(calls[0].arg2, 500);
    CHECK_EQ(static_cast<const void *>(calls[0].out1), static_cast<const void *>(&out1));
    CHECK_EQ(static_cast<const void *>(calls[0].out2), static_cast<const void *>(&out2));
    CHECK_EQ(out1, 0x11223344u);
    CHECK_EQ(out2, 0xA5A5A5A5u);

    CHECK_EQ(calls[1].pointer, static_cast<const void *>(&setupRecord));
    CHECK_EQ(bytesOf(calls[1].record, 10), (Bytes{0xAA, 0x07, 0xA0, 0x07, 0x00, 0x00, 0x00, 0x0B, 0x31, 0x00}));

    CHECK_EQ(calls[2].pointer, static_cast<const void *>(infoBuffer.data()));
    CHECK_EQ(std::string(infoBuffer.data()), std::string("KTX adapter 1.4"));

    CHECK_EQ(calls[5].pointer, static_cast<const void *>(&readMessage));
    CHECK_EQ(bytesOf(&readMessage, 12), bytesOf(received, 12));
    CHECK_EQ(readMessage.id, 0x07A8);
    CHECK_EQ(readMessage.dlc, 8);
    CHECK_EQ(readMessage.data[7], 0xFE);

    CHECK_EQ(calls[6].pointer, static_cast<const void *>(&writeMessage));
    CHECK_EQ(bytesOf(calls[6].record, 12),
             (Bytes{0xA0, 0x07, 0x00, 0x08, 0x10, 0x20, 0x30, 0x40, 0x50, 0x60, 0x70, 0x80}));
}

void driverResultsComeBackUnchanged()
{
    LibraryFailure failure;
    std::unique_ptr<KtxDllDriver> driver = KtxDllDriver::load(KtxDllDriver::defaultFileName, failure);
    if (!CHECK(driver != nullptr))
        return reportFailure(failure);
    FakeKtxState *state = ktxStateIn(L"ktxdrv.dll");
    if (!CHECK(state != nullptr))
        return;
    *state = FakeKtxState();

    std::uint32_t out1 = 0;
    std::uint32_t out2 = 0;
    const KtxCANSetupRecord setupRecord;
    std::vector<char> infoBuffer(2048, '\0');
    CanMessage message = {};
    struct Case
    {
        int ordinal;
        std::int32_t result;
    };
    // The failure codes the callers test for, their neighbours, the extremes,
    // and booleans whose only set bits lie outside or inside the low byte.
    const Case cases[] = {
        {6, 1}, {6, 16}, {6, 19}, {6, 0}, {6, 20}, {6, INT32_MIN}, {6, INT32_MAX},
        {8, -6}, {8, -1}, {8, 0}, {8, -7},
        {13, -3}, {13, 2048},
        {4, 0}, {4, -6}, {4, -1}, {4, 1},
        {2, 0}, {2, 1}, {2, 0x100}, {2, static_cast<std::int32_t>(0xFFFFFF01u)}, {2, static_cast<std::int32_t>(0xFFFFFF00u)},
        {7, -1}, {7, 12},
        {1, -6}, {1, 0},
        {3, -1}, {3, 0},
    };
    for (const Case &c : cases) {
        state->results[c.ordinal] = c.result;
        std::int32_t returned = 0;
        switch (c.ordinal) {
        case 6: returned = driver->open("VXA", &out1, &out2, 19200, 500); break;
        case 8: returned = driver->setup(&setupRecord); break;
        case 13: returned = driver->deviceInfo(infoBuffer.data()); break;
        case 4: returned = driver->info(); break;
        case 2: returned = driver->isNewMsg(); break;
        case 7: returned = driver->read(&message); break;
        case 1: returned = driver->write(&message); break;
        case 3: returned = driver->close(); break;
        }
        if (!CHECK_EQ(returned, c.result))
            std::cout << "    ordinal " << c.ordinal << std::endl;
    }
}

void releasingTheDriverClosesAnOpenChannelOnce()
{
    // A reference of our own keeps the stand-in's state readable after the
    // driver lets go of the library.
    LibraryFailure failure;
    std::unique_ptr<DynamicLibrary> held = DynamicLibrary::load(L"ktxdrv.dll", failure);
    if (!CHECK(held != nullptr))
        return reportFailure(failure);
    std::unique_ptr<KtxDllDriver> driver = KtxDllDriver::load(KtxDllDriver::defaultFileName, failure);
    if (!CHECK(driver != nullptr))
        return reportFailure(failure);
    FakeKtxState *state = ktxStateIn(L"ktxdrv.dll");
    if (!CHECK(state != nullptr))
        return;
    *state = FakeKtxState();
    std::uint32_t out1 = 0;
    std::uint32_t out2 = 0;
    driver->open("VXA", &out1, &out2, 19200, 500);
    driver.reset();
    CHECK_EQ(ktxOrdinalsCalled(*state), (std::vector<int>{6, 3}));

    // A channel the caller has closed (the window does at exit) is not
    // closed a second time, nor is a channel that never opened.
    driver = KtxDllDriver::load(KtxDllDriver::defaultFileName, failure);
    if (!CHECK(driver != nullptr))
        return reportFailure(failure);
    *state = FakeKtxState();
    driver->open("VXA", &out1, &out2, 19200, 500);
    driver->close();
    state->results[6] = 16;
    driver->open("VXA", &out1, &out2, 19200, 500);
    driver.reset();
    CHECK_EQ(ktxOrdinalsCalled(*state), (std::vector<int>{6, 3, 6}));

    held.reset();
    CHECK(GetModuleHandleW(L"ktxdrv.dll") == nullptr);
}

void driverLibrariesAreRefusedWithTheReason()
{
    LibraryFailure failure;
    CHECK(KtxDllDriver::load(L"rvk-absent-ktxdrv.dll", failure) == nullptr);
    CHECK_EQ(failure.kind, LibraryFailure::Kind::LibraryMissing);
    CHECK_EQ(failure.windowsError, std::uint32_t(ERROR_MOD_NOT_FOUND));
    CHECK_EQ(failure.library, std::wstring(L"rvk-absent-ktxdrv.dll"));
    CHECK_EQ(failure.ordinal, 0);
    CHECK_EQ(failure.entryName, std::string());

    // The stand-in without ordinal 13: held open by us so its state shows
    // that the refused driver called nothing, not even close.
    std::unique_ptr<DynamicLibrary> held = DynamicLibrary::load(L"ktxdrv_lacking13.dll", failure);
    if (!CHECK(held != nullptr))
        return reportFailure(failure);
    FakeKtxState *state = ktxStateIn(L"ktxdrv_lacking13.dll");
    if (!CHECK(state != nullptr))
        return;
    *state = FakeKtxState();
    failure = LibraryFailure();
    CHECK(KtxDllDriver::load(L"ktxdrv_lacking13.dll", failure) == nullptr);
    CHECK_EQ(failure.kind, LibraryFailure::Kind::EntryMissing);
    CHECK_EQ(failure.ordinal, 13);
    CHECK_EQ(failure.windowsError, std::uint32_t(ERROR_PROC_NOT_FOUND));
    CHECK_EQ(failure.library, std::wstring(L"ktxdrv_lacking13.dll"));
    CHECK_EQ(failure.entryName, std::string());
    CHECK_EQ(state->callCount, 0);
    held.reset();
    CHECK(GetModuleHandleW(L"ktxdrv_lacking13.dll") == nullptr);

    // A file of the right name that is no library at all.
    failure = LibraryFailure();
    CHECK(KtxDllDriver::load(L"notalibrary.dll", failure) == nullptr);
    CHECK_EQ(failure.kind, LibraryFailure::Kind::LibraryMissing);
    CHECK_EQ(failure.windowsError, std::uint32_t(ERROR_BAD_EXE_FORMAT));
}

// --- the D2XX library ------------------------------------------------------

void d2xxEntriesReachTheirNames()
{
    LibraryFailure failure;
    std::unique_ptr<Ftd2xxLibrary> d2xx = Ftd2xxLibrary::load(Ftd2xxLibrary::defaultFileName, failure);
    if (!CHECK(d2xx != nullptr))
        return reportFailure(failure);
    CHECK_EQ(failure.kind, LibraryFailure::Kind::None);
    FakeD2xxState *state = d2xxStateIn(L"FTD2XX.dll");
    if (!CHECK(state != nullptr))
        return;
    *state = FakeD2xxState();
    state->deviceCount = 3;
    std::strcpy(state->descriptions[1], "VXA B");
    state->openedHandle = reinterpret_cast<void *>(std::uintptr_t(0x5A5A));
    // All 32 bits set apart from the lowest, so a narrower or wider write shows.
    state->queueCount = 0xFFFFFFFEu;

    std::uint32_t count = 0;
    d2xx->listDevices(&count, nullptr, FT_LIST_NUMBER_ONLY);
    char description[64] = {};
    d2xx->listDevices(reinterpret_cast<void *>(std::uintptr_t(1)), description, FT_LIST_BY_INDEX | FT_OPEN_BY_DESCRIPTION);
    char openBy[] = "VXA";
    FT_HANDLE handle = nullptr;
    d2xx->openEx(openBy, FT_OPEN_BY_DESCRIPTION, &handle);
    d2xx->clrRts(handle);
    d2xx->setRts(handle);
    struct
    {
        std::uint32_t value = 0;
        std::uint32_t guard = 0x12345678u;
    } queue;
    d2xx->getQueueStatus(handle, &queue.value);
    d2xx->setDtr(handle);
    d2xx->close(handle);

    if (!CHECK_EQ(d2xxEntriesCalled(*state),
                  (std::vector<int>{FakeListDevices, FakeListDevices, FakeOpenEx, FakeClrRts, FakeSetRts,
                                    FakeGetQueueStatus, FakeSetDtr, FakeClose})))
        return;
    const FakeD2xxCall *calls = state->calls;

    CHECK_EQ(calls[0].arg1, static_cast<void *>(&count));
    CHECK_EQ(calls[0].arg2, static_cast<void *>(nullptr));
    CHECK_EQ(calls[0].flags, 0x80000000ul);
    CHECK_EQ(count, 3u);

    CHECK_EQ(calls[1].arg1, reinterpret_cast<void *>(std::uintptr_t(1)));
    CHECK_EQ(calls[1].arg2, static_cast<void *>(description));
    CHECK_EQ(calls[1].flags, 0x40000002ul);
    CHECK_EQ(std::string(description), std::string("VXA B"));

    CHECK_EQ(calls[2].arg1, static_cast<void *>(openBy));
    CHECK_EQ(std::string(calls[2].text), std::string("VXA"));
    CHECK_EQ(calls[2].flags, 2ul);
    CHECK_EQ(calls[2].out, static_cast<void *>(&handle));
    CHECK_EQ(handle, state->openedHandle);

    CHECK_EQ(calls[5].handle, state->openedHandle);
    CHECK_EQ(calls[5].out, static_cast<void *>(&queue.value));
    CHECK_EQ(queue.value, 0xFFFFFFFEu);
    CHECK_EQ(queue.guard, 0x12345678u);

    for (int i : {3, 4, 6, 7})
        CHECK_EQ(calls[i].handle, state->openedHandle);
}

void d2xxStatusesComeBackUnchanged()
{
    LibraryFailure failure;
    std::unique_ptr<Ftd2xxLibrary> d2xx = Ftd2xxLibrary::load(Ftd2xxLibrary::defaultFileName, failure);
    if (!CHECK(d2xx != nullptr))
        return reportFailure(failure);
    FakeD2xxState *state = d2xxStateIn(L"FTD2XX.dll");
    if (!CHECK(state != nullptr))
        return;
    *state = FakeD2xxState();

    std::uint32_t count = 0;
    char buffer[64] = {};
    FT_HANDLE handle = nullptr;
    char openBy[] = "VXA";
    for (int entry = FakeListDevices; entry <= FakeClose; ++entry) {
        for (unsigned long status : {0ul, 2ul, 18ul, 0xFFFFFFFFul}) {
            state->results[entry] = status;
            FT_STATUS returned = FT_OK;
            switch (entry) {
            case FakeListDevices: returned = d2xx->listDevices(&count, buffer, FT_LIST_NUMBER_ONLY); break;
            case FakeOpenEx: returned = d2xx->openEx(openBy, FT_OPEN_BY_DESCRIPTION, &handle); break;
            case FakeGetQueueStatus: returned = d2xx->getQueueStatus(handle, &count); break;
            case FakeSetDtr: returned = d2xx->setDtr(handle); break;
            case FakeSetRts: returned = d2xx->setRts(handle); break;
            case FakeClrRts: returned = d2xx->clrRts(handle); break;
            case FakeClose: returned = d2xx->close(handle); break;
            }
            if (!CHECK_EQ(returned, FT_STATUS(status)))
                std::cout << "    entry " << entry << std::endl;
        }
    }
}

void d2xxLibrariesAreRefusedWithTheReason()
{
    LibraryFailure failure;
    CHECK(Ftd2xxLibrary::load(L"rvk-absent-ftd2xx.dll", failure) == nullptr);
    CHECK_EQ(failure.kind, LibraryFailure::Kind::LibraryMissing);
    CHECK_EQ(failure.windowsError, std::uint32_t(ERROR_MOD_NOT_FOUND));
    CHECK_EQ(failure.library, std::wstring(L"rvk-absent-ftd2xx.dll"));

    failure = LibraryFailure();
    CHECK(Ftd2xxLibrary::load(L"ftd2xx_lackingclrrts.dll", failure) == nullptr);
    CHECK_EQ(failure.kind, LibraryFailure::Kind::EntryMissing);
    CHECK_EQ(failure.entryName, std::string("FT_ClrRts"));
    CHECK_EQ(failure.ordinal, 0);
    CHECK_EQ(failure.windowsError, std::uint32_t(ERROR_PROC_NOT_FOUND));
    CHECK(GetModuleHandleW(L"ftd2xx_lackingclrrts.dll") == nullptr);
}

// --- where libraries are looked for ----------------------------------------

// The test runs in a folder of its own (see main), so copies placed here are
// in the current working directory and nowhere else.
void librariesInTheWorkingDirectoryAreNotLoaded()
{
    const std::wstring folder = executableFolder();
    CHECK(CopyFileW((folder + L"\\ktxdrv.dll").c_str(), L"ktxdrv_cwdonly.dll", FALSE));
    CHECK(CopyFileW((folder + L"\\FTD2XX.dll").c_str(), L"ftd2xx_cwdonly.dll", FALSE));

    LibraryFailure failure;
    CHECK(KtxDllDriver::load(L"ktxdrv_cwdonly.dll", failure) == nullptr);
    CHECK_EQ(failure.kind, LibraryFailure::Kind::LibraryMissing);
    CHECK_EQ(failure.windowsError, std::uint32_t(ERROR_MOD_NOT_FOUND));

    failure = LibraryFailure();
    CHECK(Ftd2xxLibrary::load(L"ftd2xx_cwdonly.dll", failure) == nullptr);
    CHECK_EQ(failure.kind, LibraryFailure::Kind::LibraryMissing);
    CHECK_EQ(failure.windowsError, std::uint32_t(ERROR_MOD_NOT_FOUND));

    // The copy itself is a good library: named by its full path it loads.
    wchar_t workingDirectory[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, workingDirectory);
    const std::wstring copyPath = std::wstring(workingDirectory) + L"\\ktxdrv_cwdonly.dll";
    failure = LibraryFailure();
    std::unique_ptr<KtxDllDriver> copy = KtxDllDriver::load(copyPath.c_str(), failure);
    if (!CHECK(copy != nullptr))
        reportFailure(failure);
    copy.reset();

    CHECK(DeleteFileW(L"ktxdrv_cwdonly.dll"));
    CHECK(DeleteFileW(L"ftd2xx_cwdonly.dll"));
}

void librariesBesideTheProgramAreLoaded()
{
    LibraryFailure failure;
    std::unique_ptr<KtxDllDriver> driver = KtxDllDriver::load(L"ktxdrv.dll", failure);
    if (CHECK(driver != nullptr))
        CHECK_EQ(lowerCase(modulePath(GetModuleHandleW(L"ktxdrv.dll"))), lowerCase(executableFolder() + L"\\ktxdrv.dll"));
    else
        reportFailure(failure);

    std::unique_ptr<Ftd2xxLibrary> d2xx = Ftd2xxLibrary::load(L"FTD2XX.dll", failure);
    if (CHECK(d2xx != nullptr))
        CHECK_EQ(lowerCase(modulePath(GetModuleHandleW(L"FTD2XX.dll"))), lowerCase(executableFolder() + L"\\ftd2xx.dll"));
    else
        reportFailure(failure);
}

struct Group
{
    const char *name;
    void (*run)();
};

} // namespace

int main()
{
    // Work in a fresh folder, away from the program's own, so that "beside
    // the program" and "in the working directory" are different places.
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring workFolder = std::wstring(temp) + L"rvk-windows-backends-" + std::to_wstring(GetCurrentProcessId());
    wchar_t startFolder[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, startFolder);
    if (!CreateDirectoryW(workFolder.c_str(), nullptr) || !SetCurrentDirectoryW(workFolder.c_str())) {
        std::cout << "cannot make and enter the work folder " << narrow(workFolder) << ", error " << GetLastError()
                  << std::endl;
        return 2;
    }

    const Group groups[] = {
        {"driver operations reach their ordinals", driverOperationsReachTheirOrdinals},
        {"driver results come back unchanged", driverResultsComeBackUnchanged},
        {"releasing the driver closes an open channel once", releasingTheDriverClosesAnOpenChannelOnce},
        {"driver libraries are refused with the reason", driverLibrariesAreRefusedWithTheReason},
        {"D2XX entries reach their names", d2xxEntriesReachTheirNames},
        {"D2XX statuses come back unchanged", d2xxStatusesComeBackUnchanged},
        {"D2XX libraries are refused with the reason", d2xxLibrariesAreRefusedWithTheReason},
        {"libraries in the working directory are not loaded", librariesInTheWorkingDirectoryAreNotLoaded},
        {"libraries beside the program are loaded", librariesBesideTheProgramAreLoaded},
    };
    for (const Group &group : groups) {
        const int failedBefore = failedChecks;
        const int passedBefore = passedChecks;
        group.run();
        std::cout << (failedChecks == failedBefore ? "ok   " : "FAIL ") << group.name << " ("
                  << passedChecks - passedBefore << " checks passed, " << failedChecks - failedBefore
                  << " failed)" << std::endl;
    }

    SetCurrentDirectoryW(startFolder);
    if (!RemoveDirectoryW(workFolder.c_str()))
        std::cout << "note: could not remove " << narrow(workFolder) << ", error " << GetLastError() << std::endl;

    std::cout << "windows-backends: " << passedChecks << " passed, " << failedChecks << " failed" << std::endl;
    return failedChecks == 0 ? 0 : 1;
}
