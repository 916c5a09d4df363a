#include "link/win/dynamiclibrary.h"

#include <windows.h>

namespace {
// A broken or foreign library must come back as an error code, not as a
// system message box the user has to dismiss before the program's own.
class QuietErrorMode
{
public:
    QuietErrorMode() { SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &m_previous); }
    ~QuietErrorMode() { SetThreadErrorMode(m_previous, nullptr); }
    QuietErrorMode(const QuietErrorMode &) = delete;
    QuietErrorMode &operator=(const QuietErrorMode &) = delete;

private:
    DWORD m_previous = 0;
};

LibraryFailure entryMissing(const std::wstring &library, DWORD error)
{
    LibraryFailure failure;
    failure.kind = LibraryFailure::Kind::EntryMissing;
    failure.windowsError = error;
    failure.library = library;
    return failure;
}

// FARPROC's own type differs from the entries'; GCC accepts the conversion
// through void (*)() without a cast-function-type warning.
DynamicLibrary::Procedure toProcedure(FARPROC procedure)
{
    return reinterpret_cast<DynamicLibrary::Procedure>(procedure);
}
} // namespace

std::unique_ptr<DynamicLibrary> DynamicLibrary::load(const wchar_t *fileName, LibraryFailure &failure)
{
    HMODULE module = nullptr;
    DWORD error = 0;
    {
        QuietErrorMode quiet;
        module = LoadLibraryExW(fileName, nullptr, LOAD_LIBRARY_SEARCH_DEFAULT_DIRS);
        error = module ? 0 : GetLastError();
    }
    if (!module) {
        failure = LibraryFailure();
        failure.kind = LibraryFailure::Kind::LibraryMissing;
        failure.windowsError = error;
        failure.library = fileName;
        return nullptr;
    }
    return std::unique_ptr<DynamicLibrary>(new DynamicLibrary(module, fileName));
}

DynamicLibrary::DynamicLibrary(void *module, const wchar_t *fileName)
    : m_module(module)
    , m_fileName(fileName)
{
}

DynamicLibrary::~DynamicLibrary()
{
    FreeLibrary(static_cast<HMODULE>(m_module));
}

DynamicLibrary::Procedure DynamicLibrary::resolve(std::uint16_t ordinal, LibraryFailure &failure) const
{
    // An ordinal travels in the low word of the name pointer (MAKEINTRESOURCEA).
    const FARPROC procedure = GetProcAddress(static_cast<HMODULE>(m_module), MAKEINTRESOURCEA(ordinal));
    if (procedure)
        return toProcedure(procedure);
    failure = entryMissing(m_fileName, GetLastError());
    failure.ordinal = ordinal;
    return nullptr;
}

DynamicLibrary::Procedure DynamicLibrary::resolve(const char *name, LibraryFailure &failure) const
{
    const FARPROC procedure = GetProcAddress(static_cast<HMODULE>(m_module), name);
    if (procedure)
        return toProcedure(procedure);
    failure = entryMissing(m_fileName, GetLastError());
    failure.entryName = name;
    return nullptr;
}
