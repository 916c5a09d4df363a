#include "link/win/ftd2xxlibrary.h"

#include <type_traits>
#include <windows.h>

static_assert(std::is_same<DWORD, unsigned long>::value && std::is_same<ULONG, unsigned long>::value,
              "the entry types spell DWORD and ULONG as unsigned long");
// The interface's counts and statuses are std::uint32_t; the library writes
// DWORDs through the same pointers.
static_assert(sizeof(DWORD) == sizeof(std::uint32_t), "DWORD and std::uint32_t must have the same size");

std::unique_ptr<Ftd2xxLibrary> Ftd2xxLibrary::load(const wchar_t *fileName, LibraryFailure &failure)
{
    std::unique_ptr<DynamicLibrary> library = DynamicLibrary::load(fileName, failure);
    if (!library)
        return nullptr;
    std::unique_ptr<Ftd2xxLibrary> d2xx(new Ftd2xxLibrary(std::move(library)));
    const DynamicLibrary &dll = *d2xx->m_library;
    const bool complete = dll.resolveInto(d2xx->m_listDevices, "FT_ListDevices", failure)
        && dll.resolveInto(d2xx->m_openEx, "FT_OpenEx", failure)
        && dll.resolveInto(d2xx->m_getQueueStatus, "FT_GetQueueStatus", failure)
        && dll.resolveInto(d2xx->m_setDtr, "FT_SetDtr", failure)
        && dll.resolveInto(d2xx->m_setRts, "FT_SetRts", failure)
        && dll.resolveInto(d2xx->m_clrRts, "FT_ClrRts", failure)
        && dll.resolveInto(d2xx->m_close, "FT_Close", failure);
    if (!complete)
        return nullptr;
    return d2xx;
}

Ftd2xxLibrary::Ftd2xxLibrary(std::unique_ptr<DynamicLibrary> library)
    : m_library(std::move(library))
{
}

FT_STATUS Ftd2xxLibrary::listDevices(void *arg1, void *arg2, std::uint32_t flags)
{
    return FT_STATUS(m_listDevices(arg1, arg2, flags));
}

FT_STATUS Ftd2xxLibrary::openEx(void *arg, std::uint32_t flags, FT_HANDLE *handle)
{
    return FT_STATUS(m_openEx(arg, flags, handle));
}

FT_STATUS Ftd2xxLibrary::getQueueStatus(FT_HANDLE handle, std::uint32_t *count)
{
    return FT_STATUS(m_getQueueStatus(handle, reinterpret_cast<DWORD *>(count)));
}

FT_STATUS Ftd2xxLibrary::setDtr(FT_HANDLE handle) { return FT_STATUS(m_setDtr(handle)); }
FT_STATUS Ftd2xxLibrary::setRts(FT_HANDLE handle) { return FT_STATUS(m_setRts(handle)); }
FT_STATUS Ftd2xxLibrary::clrRts(FT_HANDLE handle) { return FT_STATUS(m_clrRts(handle)); }
FT_STATUS Ftd2xxLibrary::close(FT_HANDLE handle) { return FT_STATUS(m_close(handle)); }
