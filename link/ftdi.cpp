#include "link/ftdi.h"

namespace {
// One received-queue count for the whole program.
qint32 lastQueueCount = -1;
} // namespace

FTDI::FTDI(const QString &description)
    : m_description(description)
{
}

FTDI::~FTDI()
{
    close();
}

FT_STATUS FTDI::open()
{
    // A handle still open would otherwise be overwritten and never closed.
    close();
    QByteArray latin1 = m_description.toLatin1();
    FT_HANDLE handle = nullptr;
    m_status = FT_OpenEx(latin1.data(), FT_OPEN_BY_DESCRIPTION, &handle);
    if (m_status == FT_OK) {
        m_handle = handle;
        FT_ClrRts(m_handle);
        FT_SetRts(m_handle);
    }
    return m_status;
}

void FTDI::close()
{
    // The vendor library frees the handle in FT_Close: a second close, or a
    // line call on it afterwards, would work on freed memory. So only a
    // handle that is open is closed, and it is forgotten at once.
    if (!m_handle)
        return;
    FT_SetDtr(m_handle);
    FT_Close(m_handle);
    m_handle = nullptr;
}

quint8 FTDI::countDevices()
{
    quint32 count = 0;
    m_status = FT_ListDevices(&count, nullptr, FT_LIST_NUMBER_ONLY);
    return m_status == FT_OK ? quint8(count & 0xFF) : 0;
}

QString FTDI::deviceDescription(int index)
{
    char buffer[64] = {};
    m_status = FT_ListDevices(reinterpret_cast<void *>(quintptr(index)), buffer, FT_LIST_BY_INDEX | FT_OPEN_BY_DESCRIPTION);
    if (m_status != FT_OK)
        return QString::number(m_status);
    buffer[sizeof(buffer) - 1] = '\0';
    return QString::fromLatin1(buffer);
}

void FTDI::queueStatus()
{
    quint32 count = 0;
    // Without an open handle there is nothing to ask; the library would be
    // handed a freed or null handle.
    m_status = m_handle ? FT_GetQueueStatus(m_handle, &count) : FT_STATUS(FT_INVALID_HANDLE);
    if (m_status == FT_OK && count == 0) {
        lastQueueCount = -1;
        return;
    }
    const qint32 value = m_status == FT_OK ? qint32(count) : -1;
    if (value != lastQueueCount) {
        emit readyRead();
        lastQueueCount = value;
    }
}
