#include "ktxdlldriver.h"

namespace {
template<typename Function>
bool resolveInto(Function &function, const DynamicLibrary &library, std::uint16_t ordinal, LibraryFailure &failure)
{
    function = reinterpret_cast<Function>(library.resolve(ordinal, failure));
    return function != nullptr;
}
} // namespace

std::unique_ptr<KtxDllDriver> KtxDllDriver::load(const wchar_t *fileName, LibraryFailure &failure)
{
    std::unique_ptr<DynamicLibrary> library = DynamicLibrary::load(fileName, failure);
    if (!library)
        return nullptr;
    std::unique_ptr<KtxDllDriver> driver(new KtxDllDriver(std::move(library)));
    const DynamicLibrary &dll = *driver->m_library;
    const bool complete = resolveInto(driver->m_open, dll, OrdinalOpen, failure)
        && resolveInto(driver->m_setup, dll, OrdinalSetup, failure)
        && resolveInto(driver->m_deviceInfo, dll, OrdinalDeviceInfo, failure)
        && resolveInto(driver->m_info, dll, OrdinalInfo, failure)
        && resolveInto(driver->m_isNewMsg, dll, OrdinalIsNewMsg, failure)
        && resolveInto(driver->m_read, dll, OrdinalRead, failure)
        && resolveInto(driver->m_write, dll, OrdinalWrite, failure)
        && resolveInto(driver->m_close, dll, OrdinalClose, failure);
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
    if (m_close)
        m_close();
}

std::int32_t KtxDllDriver::open(const char *description, std::uint32_t *out1, std::uint32_t *out2,
                                std::int32_t arg1, std::int32_t arg2)
{
    return m_open(description, out1, out2, arg1, arg2);
}

std::int32_t KtxDllDriver::setup(const KtxCANSetupRecord *record) { return m_setup(record); }
std::int32_t KtxDllDriver::deviceInfo(char *buffer2048) { return m_deviceInfo(buffer2048); }
std::int32_t KtxDllDriver::info() { return m_info(); }
std::int32_t KtxDllDriver::isNewMsg() { return m_isNewMsg(); }
std::int32_t KtxDllDriver::read(CanMessage *message) { return m_read(message); }
std::int32_t KtxDllDriver::write(const CanMessage *message) { return m_write(message); }
std::int32_t KtxDllDriver::close() { return m_close(); }
