#include "protocol/readouttransfer.h"

void ReadoutTransfer::requested()
{
    frames = 0;
    shortFrames = 0;
    bytes.clear();
    running = true;
    lastActivity.start();
}

void ReadoutTransfer::frameArrived(const CanMessage &message)
{
    if (!running) {
        frames = 0;
        shortFrames = 0;
        bytes.clear();
    }
    running = true;
    ++frames;
    const int length = qBound(0, int(message.dlc), FrameBytes);
    if (length < FrameBytes)
        ++shortFrames;
    // A short frame keeps its place in the record, so the words after it
    // still line up; its missing bytes read 0.
    bytes.append(reinterpret_cast<const char *>(message.data), length);
    bytes.append(QByteArray(FrameBytes - length, '\0'));
    lastActivity.start();
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
