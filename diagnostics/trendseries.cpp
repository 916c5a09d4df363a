#include "diagnostics/trendseries.h"

#include <limits>

using MonitorParser::Sensor;

TrendSeries::TrendSeries(int capacity, qint64 retentionMs)
    : m_capacity(qMax(1, capacity))
    , m_retentionMs(retentionMs)
    , m_rings(MonitorParser::sensorCount)
{
    // Filled now rather than grown, so the memory is taken (and resident)
    // from the start instead of creeping up over the first half hour.
    for (Ring &ring : m_rings)
        ring.points.fill(QPointF(), m_capacity);
}

const QPointF &TrendSeries::at(const Ring &ring, int index) const
{
    return ring.points[(ring.head + index) % m_capacity];
}

void TrendSeries::add(qint64 timeMs, const QVector<MonitorParser::Reading> &readings)
{
    const double time = double(timeMs);
    for (const MonitorParser::Reading &reading : readings) {
        Ring &ring = m_rings[int(reading.sensor)];
        if (ring.count > 0 && time < at(ring, ring.count - 1).x())
            ring.count = 0;
        if (ring.count == m_capacity) {
            ring.head = (ring.head + 1) % m_capacity;
            --ring.count;
        }
        ring.points[(ring.head + ring.count) % m_capacity] = QPointF(time, reading.value);
        ++ring.count;
        if (m_retentionMs > 0) {
            const double oldestKept = time - double(m_retentionMs);
            while (ring.count > 1 && at(ring, 0).x() < oldestKept) {
                ring.head = (ring.head + 1) % m_capacity;
                --ring.count;
            }
        }
    }
}

void TrendSeries::clear()
{
    for (Ring &ring : m_rings) {
        ring.head = 0;
        ring.count = 0;
    }
}

int TrendSeries::size(Sensor sensor) const
{
    return ring(sensor).count;
}

bool TrendSeries::isEmpty() const
{
    for (const Ring &ring : m_rings) {
        if (ring.count > 0)
            return false;
    }
    return true;
}

QPointF TrendSeries::point(Sensor sensor, int index) const
{
    const Ring &r = ring(sensor);
    Q_ASSERT(index >= 0 && index < r.count);
    return at(r, index);
}

int TrendSeries::firstAtOrAfter(Sensor sensor, double timeMs) const
{
    const Ring &r = ring(sensor);
    int low = 0;
    int high = r.count;
    while (low < high) {
        const int middle = low + (high - low) / 2;
        if (at(r, middle).x() < timeMs)
            low = middle + 1;
        else
            high = middle;
    }
    return low;
}

qint64 TrendSeries::oldestTime() const
{
    double oldest = std::numeric_limits<double>::max();
    for (const Ring &ring : m_rings) {
        if (ring.count > 0)
            oldest = qMin(oldest, at(ring, 0).x());
    }
    return isEmpty() ? 0 : qint64(oldest);
}

qint64 TrendSeries::newestTime() const
{
    double newest = std::numeric_limits<double>::lowest();
    for (const Ring &ring : m_rings) {
        if (ring.count > 0)
            newest = qMax(newest, at(ring, ring.count - 1).x());
    }
    return isEmpty() ? 0 : qint64(newest);
}
