#pragma once

#include "link/d2xx.h"

#include <QtGlobal>
#include <memory>

// The D2XX functions under their own names; each forwards to the installed
// backend.

void installD2xx(std::unique_ptr<D2xx> backend);

FT_STATUS FT_ListDevices(void *arg1, void *arg2, quint32 flags);
FT_STATUS FT_OpenEx(void *arg, quint32 flags, FT_HANDLE *handle);
FT_STATUS FT_GetQueueStatus(FT_HANDLE handle, quint32 *count);
FT_STATUS FT_SetDtr(FT_HANDLE handle);
FT_STATUS FT_SetRts(FT_HANDLE handle);
FT_STATUS FT_ClrRts(FT_HANDLE handle);
FT_STATUS FT_Close(FT_HANDLE handle);
