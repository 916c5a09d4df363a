#pragma once

// Loads a vendor library at run time and resolves its entries. Plain C++ on
// the Windows API, so the backends over it build without Qt.

#include <cstdint>
#include <memory>
#include <string>

// Why a library could not be used; filled by the loader and the backends'
// factories, and turned into a user message by the caller.
struct LibraryFailure
{
    enum class Kind {
        None,
        // The library could not be loaded: absent from the program's folder
        // and the system folders (error 126), or present but unusable, for
        // example built for another architecture (error 193).
        LibraryMissing,
        // The library loaded but lacks an entry the backend needs (error 127).
        EntryMissing,
    };

    Kind kind = Kind::None;
    // GetLastError() right after the failing call.
    std::uint32_t windowsError = 0;
    // The file name as requested.
    std::wstring library;
    // The missing entry: its ordinal for entries imported by ordinal (else 0),
    // its name for entries imported by name (else empty).
    std::uint16_t ordinal = 0;
    std::string entryName;
};

class DynamicLibrary
{
public:
    // The generic function pointer type; the caller casts to the entry's type.
    using Procedure = void (*)();

    // Searches the program's folder and the system folders only: the current
    // working directory holds user data, and a library planted there must
    // never be loaded. Returns null and fills failure when loading fails.
    static std::unique_ptr<DynamicLibrary> load(const wchar_t *fileName, LibraryFailure &failure);

    ~DynamicLibrary();
    DynamicLibrary(const DynamicLibrary &) = delete;
    DynamicLibrary &operator=(const DynamicLibrary &) = delete;

    // Null and failure filled (kind EntryMissing) when the entry is absent.
    Procedure resolve(std::uint16_t ordinal, LibraryFailure &failure) const;
    Procedure resolve(const char *name, LibraryFailure &failure) const;

    // Resolves an entry (by ordinal or name) straight into a typed function
    // pointer; false and failure filled when it is absent.
    template<typename Function, typename Key>
    bool resolveInto(Function &function, Key key, LibraryFailure &failure) const
    {
        function = reinterpret_cast<Function>(resolve(key, failure));
        return function != nullptr;
    }

    const std::wstring &fileName() const { return m_fileName; }

private:
    DynamicLibrary(void *module, const wchar_t *fileName);

    void *m_module = nullptr;
    std::wstring m_fileName;
};
