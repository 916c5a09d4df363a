#pragma once

#include "link/d2xxfunctions.h"

#include <QSet>
#include <QStringList>

// A scripted D2XX for tests: the attached devices are a list of
// descriptions, each call can be made to fail with a chosen status, and
// every call is logged by name ("list count", "list 0", "open VXA",
// "clrRts", "setRts", "setDtr", "close").
class FakeD2xx : public D2xx
{
public:
    // Installs a new fake as the D2XX backend and returns it (owned by the seam).
    static FakeD2xx *install();

    QStringList devices;
    FT_STATUS countStatus = FT_OK;
    // Status of reading a description, for every index.
    FT_STATUS descriptionStatus = FT_OK;
    // When set, open succeeds for any description, attached or not.
    bool openAnything = false;
    // Bytes reported by FT_GetQueueStatus while a handle is open.
    quint32 queueCount = 0;
    FT_STATUS queueStatus = FT_OK;

    QStringList log;
    // Descriptions passed to FT_OpenEx, as Latin-1 bytes.
    QList<QByteArray> openedDescriptions;
    // Handle bookkeeping as the vendor library would see it: every handle
    // handed out, every one closed, and each call made on a handle that was
    // not open (null, never opened, or already closed), by name.
    int handlesOpened = 0;
    int handlesClosed = 0;
    QStringList callsOnClosedHandles;
    bool anyHandleOpen() const { return !m_openHandles.isEmpty(); }

    FT_STATUS listDevices(void *arg1, void *arg2, quint32 flags) override;
    FT_STATUS openEx(void *arg, quint32 flags, FT_HANDLE *handle) override;
    FT_STATUS getQueueStatus(FT_HANDLE handle, quint32 *count) override;
    FT_STATUS setDtr(FT_HANDLE handle) override;
    FT_STATUS setRts(FT_HANDLE handle) override;
    FT_STATUS clrRts(FT_HANDLE handle) override;
    FT_STATUS close(FT_HANDLE handle) override;

private:
    FT_STATUS lineCall(const char *name, FT_HANDLE handle);
    QSet<quintptr> m_openHandles;
    quintptr m_nextHandle = 0x100;
};
