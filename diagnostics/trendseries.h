#pragma once

#include "diagnostics/monitorparser.h"

#include <QPointF>
#include <QVector>
#include <QtGlobal>

// The sensor readings over time, one series per sensor, for the trend charts.
// Each series is a ring of fixed capacity allocated up front, so a monitor
// that streams for hours holds the same memory after the first minute as
// after the last. Points older than the retention go as well, so the store
// never keeps more history than the widest span the charts can show.
class TrendSeries
{
public:
    // capacity: points kept per sensor. retentionMs: points more than this
    // older than the newest point of their series are dropped; 0 keeps
    // every point the capacity allows.
    explicit TrendSeries(int capacity, qint64 retentionMs = 0);

    // Adds the readings of one block taken at timeMs (milliseconds since
    // the epoch). A time before the newest point of a series means the clock
    // was set back; the series then starts afresh, so every series stays
    // ordered by time for the charts' look-ups.
    void add(qint64 timeMs, const QVector<MonitorParser::Reading> &readings);
    void clear();

    int capacity() const { return m_capacity; }
    int size(MonitorParser::Sensor sensor) const;
    bool isEmpty() const;

    // Oldest first; x is the time in milliseconds since the epoch.
    QPointF point(MonitorParser::Sensor sensor, int index) const;

    // The index of the first point at or after timeMs; size() if none.
    int firstAtOrAfter(MonitorParser::Sensor sensor, double timeMs) const;

    // Over all series; 0 when there is no point.
    qint64 oldestTime() const;
    qint64 newestTime() const;

private:
    struct Ring
    {
        QVector<QPointF> points;
        int head = 0; // index of the oldest point
        int count = 0;
    };
    const Ring &ring(MonitorParser::Sensor sensor) const { return m_rings[int(sensor)]; }
    const QPointF &at(const Ring &ring, int index) const;

    int m_capacity;
    qint64 m_retentionMs;
    QVector<Ring> m_rings;
};
