#include "link/win/ktxdlldriver.h"

std::unique_ptr<KtxDllDriver> KtxDllDriver::load(const wchar_t *fileName, LibraryFailure &failure)
{
    std::unique_ptr<DynamicLibrary> library = DynamicLibrary::load(fileName, failure);
    if (!library)
        return nullptr;
    std::unique_ptr<KtxDllDriver> driver(new KtxDllDriver(std::move(library)));
    const DynamicLibrary &dll = *driver->m_library;
    const bool complete = dll.resolveInto(driver->m_open, OrdinalOpen, failure)
        && dll.resolveInto(driver->m_setup, OrdinalSetup, failure)
        && dll.resolveInto(driver->m_deviceInfo, OrdinalDeviceInfo, failure)
        && dll.resolveInto(driver->m_info, OrdinalInfo, failure)
        && dll.resolveInto(driver->m_isNewMsg, OrdinalIsNewMsg, failure)
        && dll.resolveInto(driver->m_read, OrdinalRead, failure)
        && dll.resolveInto(driver->m_write, OrdinalWrite, failure)
        && dll.resolveInto(driver->m_close, OrdinalClose, failure);
    if (!complete) {
        // Nothing was opened through a refused library; its destructor must
        // not call into it either.
        driver->m_close = nullptr;
        return nullptr;
    }
    return driver;
}

KtxDllDriver::KtxDllDriver(std::unique_ptr<DynamicLibrary> library)
    : m_library(std::move(library))
{
}

KtxDllDriver::~KtxDllDriver()
{
    if (m_close && m_channelOpen)
        m_close();
}

std::int32_t KtxDllDriver::open(const char *description, std::uint32_t *out1, std::uint32_t *out2,
                                std::int32_t arg1, std::int32_t arg2)
{
    const std::int32_t result = m_open(description, out1, out2, arg1, arg2);
    // The callers' rule: 1 and 16 to 19 fail, anything else opened.
    if (result != 1 && !(result >= 16 && result <= 19))
        m_channelOpen = true;
    return result;
}

std::int32_t KtxDllDriver::setup(const KtxCANSetupRecord *record) { return m_setup(record); }
std::int32_t KtxDllDriver::deviceInfo(char *buffer2048) { return m_deviceInfo(buffer2048); }
std::int32_t KtxDllDriver::info() { return m_info(); }
std::int32_t KtxDllDriver::isNewMsg() { return m_isNewMsg(); }
std::int32_t KtxDllDriver::read(CanMessage *message) { return m_read(message); }
std::int32_t KtxDllDriver::write(const CanMessage *message) { return m_write(message); }
std::int32_t KtxDllDriver::close()
{
    m_channelOpen = false;
    return m_close();
}
