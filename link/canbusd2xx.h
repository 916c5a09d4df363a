#pragma once

#include "link/d2xxfunctions.h"

#include <QSet>
#include <QStringList>
#include <functional>

// The D2XX subset answered from the machine's CAN interfaces: each interface
// the enumerator offers is presented as one attached adapter whose
// description is the text the CAN driver opens it by. Modem lines have
// nothing to drive on a CAN interface and succeed on any open handle.
class CanBusD2xx : public D2xx
{
public:
    using Enumerator = std::function<QStringList()>;

    // The default enumerator is attachedCanAdapters().
    explicit CanBusD2xx(Enumerator enumerate = {});

    FT_STATUS listDevices(void *arg1, void *arg2, quint32 flags) override;
    FT_STATUS openEx(void *arg, quint32 flags, FT_HANDLE *handle) override;
    FT_STATUS getQueueStatus(FT_HANDLE handle, quint32 *count) override;
    FT_STATUS setDtr(FT_HANDLE handle) override;
    FT_STATUS setRts(FT_HANDLE handle) override;
    FT_STATUS clrRts(FT_HANDLE handle) override;
    FT_STATUS close(FT_HANDLE handle) override;

private:
    FT_STATUS onOpenHandle(FT_HANDLE handle) const;

    Enumerator m_enumerate;
    // Counting takes a fresh snapshot; reading descriptions by index uses
    // it, so the indices stay consistent with the count just returned.
    QStringList m_snapshot;
    bool m_haveSnapshot = false;
    QSet<quintptr> m_openHandles;
    quintptr m_nextHandle = 1;
};
