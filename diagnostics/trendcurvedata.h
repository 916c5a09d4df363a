#pragma once

#include "diagnostics/monitorparser.h"

#include <QVector>
#include <qwt_series_data.h>

class TrendSeries;

// Lets a chart curve draw one sensor's series in place. Only the points
// inside the shown time span are offered, and where they are far more than
// the chart has pixel columns, each column's lowest and highest point stand
// for all of them: the line looks the same, and half an hour at ten blocks a
// second draws in a fraction of the time.
class TrendCurveData : public QwtSeriesData<QPointF>
{
public:
    TrendCurveData(const TrendSeries *series, MonitorParser::Sensor sensor);

    void setSeries(const TrendSeries *series);
    // Limits the points offered to those from fromMs to toMs, for a chart
    // columns pixels wide.
    void setSpan(double fromMs, double toMs, int columns);

    size_t size() const override;
    QPointF sample(size_t i) const override;
    QRectF boundingRect() const override;

private:
    const TrendSeries *m_series;
    MonitorParser::Sensor m_sensor;
    int m_first = 0;
    int m_count = 0;
    bool m_reduced = false;
    QVector<QPointF> m_envelope; // per pixel column, while reduced
};
