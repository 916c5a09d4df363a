#pragma once

#include <QString>
#include <QtGlobal>

// The rules that turn monitor frames into text. The module streams its debug
// text eight bytes at a time; a "block" is everything from one set of sensor
// readings to the next, recognised by its "dataAverage=" line.
namespace MonitorFrames {

// The text of one frame: the data bytes up to the first zero byte, decoded as
// UTF-8. A character split over two frames is therefore not reassembled.
QString frameText(const quint8 *data, int size = 8);

// What the monitor window shows for a chunk: the chunk squeezed through
// Latin-1 and read back as UTF-8. ASCII passes unchanged, characters outside
// Latin-1 become '?' and Latin-1 letters above 0x7F usually become U+FFFD.
QString displayText(const QString &chunk);

// A block is complete once it holds a "dataAverage=" reading and the frame
// just handled brought a line feed.
bool completesBlock(const QString &block, const QString &chunk);

// Keeps a block that never completes from growing without limit: once it
// exceeds maximumLength, the oldest text goes so that about half the limit
// remains, cut at a line start so no reading is left as a fragment that the
// sensor dialog could misread. Returns true when something was dropped.
bool boundBlock(QString &block, int maximumLength);

// The longest block kept. A complete block of readings is a few hundred
// characters, so this holds dozens of them.
constexpr int maximumBlockLength = 32 * 1024;

} // namespace MonitorFrames
