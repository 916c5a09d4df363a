#include "tests/support/faked2xx.h"

#include <cstring>

FakeD2xx *FakeD2xx::install()
{
    auto backend = std::make_unique<FakeD2xx>();
    FakeD2xx *raw = backend.get();
    installD2xx(std::move(backend));
    return raw;
}

FT_STATUS FakeD2xx::listDevices(void *arg1, void *arg2, quint32 flags)
{
    if (flags == FT_LIST_NUMBER_ONLY) {
        log << QStringLiteral("list count");
        if (countStatus == FT_OK)
            *static_cast<quint32 *>(arg1) = quint32(devices.size());
        return countStatus;
    }
    if (flags == (FT_LIST_BY_INDEX | FT_OPEN_BY_DESCRIPTION)) {
        const int index = int(reinterpret_cast<quintptr>(arg1));
        log << QStringLiteral("list %1").arg(index);
        if (descriptionStatus != FT_OK)
            return descriptionStatus;
        if (index < 0 || index >= devices.size())
            return FT_DEVICE_NOT_FOUND;
        const QByteArray text = devices.at(index).toLatin1().left(63);
        std::memcpy(arg2, text.constData(), size_t(text.size()));
        static_cast<char *>(arg2)[text.size()] = '\0';
        return FT_OK;
    }
    log << QStringLiteral("list flags %1").arg(flags, 0, 16);
    return FT_INVALID_PARAMETER;
}

FT_STATUS FakeD2xx::openEx(void *arg, quint32 flags, FT_HANDLE *handle)
{
    const QByteArray description(static_cast<const char *>(arg));
    openedDescriptions << description;
    log << QStringLiteral("open ") + QString::fromLatin1(description);
    if (flags != FT_OPEN_BY_DESCRIPTION)
        return FT_INVALID_PARAMETER;
    if (!openAnything && !devices.contains(QString::fromLatin1(description)))
        return FT_DEVICE_NOT_FOUND;
    const quintptr token = m_nextHandle++;
    m_openHandles.insert(token);
    ++handlesOpened;
    *handle = reinterpret_cast<FT_HANDLE>(token);
    return FT_OK;
}

FT_STATUS FakeD2xx::getQueueStatus(FT_HANDLE handle, quint32 *count)
{
    if (!m_openHandles.contains(reinterpret_cast<quintptr>(handle))) {
        callsOnClosedHandles << QStringLiteral("getQueueStatus");
        return FT_INVALID_HANDLE;
    }
    if (queueStatus == FT_OK)
        *count = queueCount;
    return queueStatus;
}

FT_STATUS FakeD2xx::lineCall(const char *name, FT_HANDLE handle)
{
    log << QLatin1String(name);
    if (m_openHandles.contains(reinterpret_cast<quintptr>(handle)))
        return FT_OK;
    callsOnClosedHandles << QLatin1String(name);
    return FT_INVALID_HANDLE;
}

FT_STATUS FakeD2xx::setDtr(FT_HANDLE handle) { return lineCall("setDtr", handle); }
FT_STATUS FakeD2xx::setRts(FT_HANDLE handle) { return lineCall("setRts", handle); }
FT_STATUS FakeD2xx::clrRts(FT_HANDLE handle) { return lineCall("clrRts", handle); }

FT_STATUS FakeD2xx::close(FT_HANDLE handle)
{
    const FT_STATUS status = lineCall("close", handle);
    if (status == FT_OK) {
        m_openHandles.remove(reinterpret_cast<quintptr>(handle));
        ++handlesClosed;
    }
    return status;
}
