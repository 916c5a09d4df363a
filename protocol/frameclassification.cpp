#include "protocol/frameclassification.h"

#include "protocol/canmessage.h"

FrameKind classifyFrame(const CanMessage &message)
{
    if (message.rtr == 1) {
        switch (message.id) {
        case CanIdSetSN: return FrameKind::AckSetSN;
        case CanIdSetDate: return FrameKind::AckSetDate;
        case CanIdSetHit: return FrameKind::AckSetHit;
        case CanIdIRTClear: return FrameKind::AckIRTClear;
        case CanIdEEPROMClear: return FrameKind::AckEEPROMClear;
        case CanIdReadData: return FrameKind::ReportEnd;
        default: return FrameKind::Ignored;
        }
    }
    // Any rtr other than 1 is treated as a data frame, as the module's table says.
    switch (message.id) {
    case CanIdReadData: return FrameKind::ReportData;
    case CanIdMonitor: return FrameKind::MonitorText;
    default: return FrameKind::Ignored;
    }
}
