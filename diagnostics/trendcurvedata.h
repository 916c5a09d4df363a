#pragma once

#include "monitorparser.h"

#include <qwt_series_data.h>

class TrendSeries;

// Lets a chart curve draw one sensor's series in place, without copying:
// only the points inside the shown time span are offered, so a narrow span
// over a long history draws no more than it shows.
class TrendCurveData : public QwtSeriesData<QPointF>
{
public:
    TrendCurveData(const TrendSeries *series, MonitorParser::Sensor sensor);

    void setSeries(const TrendSeries *series);
    // Limits the points offered to those from fromMs to toMs.
    void setSpan(double fromMs, double toMs);

    size_t size() const override;
    QPointF sample(size_t i) const override;
    QRectF boundingRect() const override;

private:
    const TrendSeries *m_series;
    MonitorParser::Sensor m_sensor;
    int m_first = 0;
    int m_count = 0;
};
