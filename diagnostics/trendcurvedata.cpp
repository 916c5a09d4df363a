#include "trendcurvedata.h"

#include "trendseries.h"

#include <cmath>

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
    d_boundingRect = QRectF(0.0, 0.0, -1.0, -1.0);
}

void TrendCurveData::setSpan(double fromMs, double toMs)
{
    m_first = m_series->firstAtOrAfter(m_sensor, fromMs);
    const int end = m_series->firstAtOrAfter(m_sensor, std::nextafter(toMs, toMs + 1.0));
    m_count = qMax(0, end - m_first);

    // Worked out once per redraw rather than on each of Qwt's requests.
    if (m_count == 0) {
        d_boundingRect = QRectF(0.0, 0.0, -1.0, -1.0);
        return;
    }
    double low = m_series->point(m_sensor, m_first).y();
    double high = low;
    for (int i = 1; i < m_count; ++i) {
        const double y = m_series->point(m_sensor, m_first + i).y();
        low = qMin(low, y);
        high = qMax(high, y);
    }
    const double left = m_series->point(m_sensor, m_first).x();
    const double right = m_series->point(m_sensor, m_first + m_count - 1).x();
    d_boundingRect = QRectF(left, low, right - left, high - low);
}

size_t TrendCurveData::size() const
{
    return size_t(m_count);
}

QPointF TrendCurveData::sample(size_t i) const
{
    return m_series->point(m_sensor, m_first + int(i));
}

QRectF TrendCurveData::boundingRect() const
{
    return d_boundingRect;
}
