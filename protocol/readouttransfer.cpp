#include "protocol/readouttransfer.h"

void ReadoutTransfer::requested()
{
    frames = 0;
    shortFrames = 0;
    running = true;
    lastActivity.start();
}

bool ReadoutTransfer::frameArrived(int dataLength)
{
    const bool unrequested = !running;
    if (unrequested) {
        frames = 0;
        shortFrames = 0;
    }
    running = true;
    ++frames;
    if (dataLength < FrameBytes)
        ++shortFrames;
    lastActivity.start();
    return unrequested;
}

int ReadoutTransfer::ended()
{
    const int count = frames - shortFrames;
    frames = 0;
    shortFrames = 0;
    running = false;
    return count;
}

bool ReadoutTransfer::isArriving() const
{
    return running && lastActivity.isValid() && !lastActivity.hasExpired(stallLimitMs);
}
