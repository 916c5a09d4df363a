#include "diagnostics/trendcurvedata.h"

#include "diagnostics/trendseries.h"

#include <cmath>

namespace {
// Below this many points per column the points are drawn as they are.
constexpr int pointsPerColumnBeforeReducing = 4;
} // namespace

TrendCurveData::TrendCurveData(const TrendSeries *series, MonitorParser::Sensor sensor)
    : m_series(series)
    , m_sensor(sensor)
{
}

void TrendCurveData::setSeries(const TrendSeries *series)
{
    m_series = series;
    m_first = 0;
    m_count = 0;
    m_reduced = false;
    m_envelope.clear();
    d_boundingRect = QRectF(0.0, 0.0, -1.0, -1.0);
}

void TrendCurveData::setSpan(double fromMs, double toMs, int columns)
{
    m_first = m_series->firstAtOrAfter(m_sensor, fromMs);
    const int end = m_series->firstAtOrAfter(m_sensor, std::nextafter(toMs, toMs + 1.0));
    m_count = qMax(0, end - m_first);
    m_envelope.clear();
    columns = qMax(1, columns);
    m_reduced = m_count > pointsPerColumnBeforeReducing * columns;

    // Worked out once per redraw rather than on each of Qwt's requests.
    if (m_count == 0) {
        d_boundingRect = QRectF(0.0, 0.0, -1.0, -1.0);
        return;
    }
    const QPointF firstPoint = m_series->point(m_sensor, m_first);
    double low = firstPoint.y();
    double high = low;
    if (!m_reduced) {
        for (int i = 1; i < m_count; ++i) {
            const double y = m_series->point(m_sensor, m_first + i).y();
            low = qMin(low, y);
            high = qMax(high, y);
        }
    } else {
        const double columnWidth = (toMs - fromMs) / columns;
        m_envelope.reserve(2 * columns + 2);
        int column = -1;
        QPointF lowest, highest;
        const auto flush = [&] {
            if (column < 0)
                return;
            // In time order, so the line runs forward through the column.
            if (lowest.x() <= highest.x()) {
                m_envelope.append(lowest);
                if (highest != lowest)
                    m_envelope.append(highest);
            } else {
                m_envelope.append(highest);
                m_envelope.append(lowest);
            }
        };
        for (int i = 0; i < m_count; ++i) {
            const QPointF point = m_series->point(m_sensor, m_first + i);
            const int pointColumn = qBound(0, int((point.x() - fromMs) / columnWidth), columns - 1);
            if (pointColumn != column) {
                flush();
                column = pointColumn;
                lowest = highest = point;
            } else if (point.y() < lowest.y()) {
                lowest = point;
            } else if (point.y() > highest.y()) {
                highest = point;
            }
            low = qMin(low, point.y());
            high = qMax(high, point.y());
        }
        flush();
    }
    const double right = m_series->point(m_sensor, m_first + m_count - 1).x();
    d_boundingRect = QRectF(firstPoint.x(), low, right - firstPoint.x(), high - low);
}

size_t TrendCurveData::size() const
{
    return m_reduced ? size_t(m_envelope.size()) : size_t(m_count);
}

QPointF TrendCurveData::sample(size_t i) const
{
    return m_reduced ? m_envelope.at(int(i)) : m_series->point(m_sensor, m_first + int(i));
}

QRectF TrendCurveData::boundingRect() const
{
    return d_boundingRect;
}
