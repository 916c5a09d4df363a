#pragma once

#include <QByteArray>
#include <QList>

// The debug monitor's output: one block of name=value lines per sample,
// ending with the "dataAverage=" line, each line closed by CR LF.
class MonitorText
{
public:
    // The block for sample number n; values drift from sample to sample.
    static QByteArray block(int sample);

    // The payloads that carry a block, at most 8 bytes each. Every line
    // starts a new frame, so the frame that completes "dataAverage=" never
    // also carries the line feed of the line before it.
    static QList<QByteArray> framePayloads(const QByteArray &block);
};
