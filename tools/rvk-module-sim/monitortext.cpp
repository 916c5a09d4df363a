#include "tools/rvk-module-sim/monitortext.h"

#include <QString>
#include <cmath>

namespace {
QByteArray line(const char *name, double value, int decimals)
{
    return QByteArray(name) + '=' + QByteArray::number(value, 'f', decimals) + "\r\n";
}
} // namespace

QByteArray MonitorText::block(int sample)
{
    const double phase = sample * 0.35;
    const double wave = std::sin(phase);
    const double slow = std::sin(phase / 7.0);
    const double xAccel = 0.20 + 0.15 * std::fabs(std::sin(phase * 1.7));
    const double yAccel = 0.15 + 0.10 * std::fabs(std::cos(phase * 1.3));
    const double maxX = 1.10 + 0.40 * std::fabs(wave);
    const double maxY = 0.90 + 0.30 * std::fabs(slow);

    QByteArray text;
    text += line("Freq", 400.0 + 8.0 * wave, 2);
    text += "RPM=" + QByteArray::number(qRound(2400.0 + 350.0 * wave)) + "\r\n";
    text += line("Vin", 27.0 + 0.8 * slow, 2);
    text += line("Vout", 28.5 + 0.3 * wave, 2);
    text += line("Aout", 640.0 + 90.0 * slow, 1);
    text += line("Temp", 48.0 + 6.0 * slow, 2);
    text += line("Xaccel", xAccel, 3);
    text += line("Yaccel", yAccel, 3);
    text += line("dataMaximal_X", maxX, 3);
    text += line("dataAverage_X", xAccel * 0.8, 3);
    text += line("dataMaximal_Y", maxY, 3);
    text += line("dataAverage_Y", yAccel * 0.8, 3);
    text += line("dataMaximal", qMax(maxX, maxY), 3);
    text += line("dataAverage", (xAccel + yAccel) * 0.4, 3);
    return text;
}

QList<QByteArray> MonitorText::framePayloads(const QByteArray &block)
{
    QList<QByteArray> payloads;
    int start = 0;
    while (start < block.size()) {
        int end = block.indexOf('\n', start);
        end = end < 0 ? block.size() : end + 1;
        for (int offset = start; offset < end; offset += 8)
            payloads.append(block.mid(offset, qMin(8, end - offset)));
        start = end;
    }
    return payloads;
}
