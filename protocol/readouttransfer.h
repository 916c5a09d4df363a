#pragma once

#include "protocol/canmessage.h"

#include <QByteArray>
#include <QElapsedTimer>

// One report transfer as the station sees it: the request, the data frames
// and the end notice. It decides whether a new request may go out, counts
// the data frames of each transfer and keeps the record they bring.
class ReadoutTransfer
{
public:
    // A transfer with no frame for this long has stalled and may be restarted.
    static constexpr int stallMs = 1000;
    // The station's own stall limit (its timings), in place of stallMs.
    void setStallMs(int ms) { stallLimitMs = ms; }
    // The bytes every report frame carries.
    static constexpr int FrameBytes = 8;

    // A request went out: the frames counted from here make the report.
    void requested();
    // A data frame arrived. One after an end notice starts a transfer
    // nobody asked for, a report of its own and never the tail of the one
    // already decoded, so the record starts over.
    void frameArrived(const CanMessage &message);
    // The end notice arrived; returns the whole data frames of the transfer
    // it ends. A frame that carried fewer than eight bytes lost part of the
    // report, so it counts as missing.
    int ended();

    // A request or a frame within the stall limit and no end notice since:
    // a second request now would make the module start over mid-stream.
    bool isArriving() const;
    int frameCount() const { return frames; }
    // The data of the transfer under way, or of the one ended last.
    const QByteArray &record() const { return bytes; }

private:
    QElapsedTimer lastActivity;
    QByteArray bytes;
    int frames = 0;
    int shortFrames = 0;
    int stallLimitMs = stallMs;
    bool running = false;
};
