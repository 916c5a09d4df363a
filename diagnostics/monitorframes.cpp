#include "diagnostics/monitorframes.h"

#include <QByteArray>

namespace MonitorFrames {

QString frameText(const quint8 *data, int size)
{
    const char *bytes = reinterpret_cast<const char *>(data);
    return QString::fromUtf8(bytes, int(qstrnlen(bytes, uint(qMax(size, 0)))));
}

QString displayText(const QString &chunk)
{
    return QString::fromUtf8(chunk.toLatin1());
}

bool completesBlock(const QString &block, const QString &chunk)
{
    // The line feed test is the cheap one and fails on most frames.
    return chunk.contains(QLatin1Char('\n')) && block.contains(QLatin1String("dataAverage="));
}

bool boundBlock(QString &block, int maximumLength)
{
    if (block.size() <= maximumLength)
        return false;
    // Trimming to half the limit rather than to the limit makes the cost of
    // the copy rare instead of paid on every frame once the limit is reached.
    int cut = block.size() - maximumLength / 2;
    const int lineStart = block.indexOf(QLatin1Char('\n'), cut);
    if (lineStart >= 0)
        cut = lineStart + 1;
    block.remove(0, cut);
    return true;
}

} // namespace MonitorFrames
