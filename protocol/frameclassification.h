#pragma once

#include <QtGlobal>

// Standard identifiers of the RVK module. A command is acknowledged by a
// remote frame with the command's own identifier.
enum CanId : quint16 {
    CanIdSetSN = 0x7A1,
    CanIdSetDate = 0x7A2,
    CanIdSetHit = 0x7A3,
    CanIdIRTClear = 0x7A4,
    CanIdEEPROMClear = 0x7A5,
    CanIdReadData = 0x7AA,
    CanIdMonitor = 0x7AF,
};

// What a received frame means to the main window; everything not listed in
// the module's table is Ignored.
enum class FrameKind {
    Ignored,
    AckSetSN,
    AckSetDate,
    AckSetHit,
    AckIRTClear,
    AckEEPROMClear,
    ReportEnd,
    ReportData,
    MonitorText,
};

struct CanMessage;
FrameKind classifyFrame(const CanMessage &message);
