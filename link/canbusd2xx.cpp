#include "link/canbusd2xx.h"

#include "link/caninterfaces.h"

#include <cstring>

namespace {
constexpr int descriptionBufferSize = 64;
}

CanBusD2xx::CanBusD2xx(Enumerator enumerate)
    : m_enumerate(enumerate ? std::move(enumerate) : Enumerator(attachedCanAdapters))
{
}

FT_STATUS CanBusD2xx::listDevices(void *arg1, void *arg2, quint32 flags)
{
    if (flags == FT_LIST_NUMBER_ONLY) {
        if (!arg1)
            return FT_INVALID_PARAMETER;
        m_snapshot = m_enumerate();
        m_haveSnapshot = true;
        *static_cast<quint32 *>(arg1) = quint32(m_snapshot.size());
        return FT_OK;
    }
    if (flags == (FT_LIST_BY_INDEX | FT_OPEN_BY_DESCRIPTION)) {
        if (!arg2)
            return FT_INVALID_PARAMETER;
        if (!m_haveSnapshot) {
            m_snapshot = m_enumerate();
            m_haveSnapshot = true;
        }
        const quintptr index = reinterpret_cast<quintptr>(arg1);
        if (index >= quintptr(m_snapshot.size()))
            return FT_DEVICE_NOT_FOUND;
        const QByteArray text = m_snapshot.at(int(index)).toLatin1().left(descriptionBufferSize - 1);
        char *buffer = static_cast<char *>(arg2);
        std::memcpy(buffer, text.constData(), size_t(text.size()));
        buffer[text.size()] = '\0';
        return FT_OK;
    }
    return FT_INVALID_PARAMETER;
}

FT_STATUS CanBusD2xx::openEx(void *arg, quint32 flags, FT_HANDLE *handle)
{
    if (flags != FT_OPEN_BY_DESCRIPTION || !arg || !handle)
        return FT_INVALID_PARAMETER;
    const QString wanted = QString::fromLatin1(static_cast<const char *>(arg));
    if (!m_enumerate().contains(wanted))
        return FT_DEVICE_NOT_FOUND;
    const quintptr token = m_nextHandle++;
    m_openHandles.insert(token);
    *handle = reinterpret_cast<FT_HANDLE>(token);
    return FT_OK;
}

FT_STATUS CanBusD2xx::onOpenHandle(FT_HANDLE handle) const
{
    return m_openHandles.contains(reinterpret_cast<quintptr>(handle)) ? FT_OK : FT_INVALID_HANDLE;
}

FT_STATUS CanBusD2xx::getQueueStatus(FT_HANDLE handle, quint32 *count)
{
    // CAN frames never wait in an FTDI queue here: they reach the tool
    // through the CAN driver only.
    const FT_STATUS status = onOpenHandle(handle);
    if (status == FT_OK && count)
        *count = 0;
    return status;
}

FT_STATUS CanBusD2xx::setDtr(FT_HANDLE handle) { return onOpenHandle(handle); }
FT_STATUS CanBusD2xx::setRts(FT_HANDLE handle) { return onOpenHandle(handle); }
FT_STATUS CanBusD2xx::clrRts(FT_HANDLE handle) { return onOpenHandle(handle); }

FT_STATUS CanBusD2xx::close(FT_HANDLE handle)
{
    return m_openHandles.remove(reinterpret_cast<quintptr>(handle)) ? FT_OK : FT_INVALID_HANDLE;
}
