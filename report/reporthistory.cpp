#include "report/reporthistory.h"

#include "report/reportcomparison.h"

#include <QStringList>

QVector<HistoryPoint> historyPoints(const QVector<ReportValues> &reports)
{
    QVector<HistoryPoint> points;
    points.reserve(reports.size());
    const QVector<HistogramParameter> &table = histogramParameters();
    for (const ReportValues &report : reports) {
        HistoryPoint point;
        point.date = reportDateTime(report.date);
        if (!point.date.isValid())
            continue;
        point.totalHours = double(operatingMinutes(report.total_time)) / 60.0;
        point.repairHours = double(operatingMinutes(report.repair_time)) / 60.0;
        point.impacts = report.impacts;
        point.irtImpacts = report.irt_impacts;
        for (int parameter = 0; parameter < HistogramParameterCount; ++parameter) {
            const QStringList percents = report.totalPercents.value(parameter).split(QLatin1Char(','));
            const int top = table.at(parameter).bins.size() - 1;
            point.topRangeHours[parameter] = percents.value(top).toDouble() / 100.0 * point.totalHours;
        }
        points << point;
    }
    return points;
}
