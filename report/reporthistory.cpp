#include "report/reporthistory.h"

#include "report/reportcomparison.h"
#include "report/reportfields.h"

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

namespace {
// Texts from the shared database may hold the separator or quotes.
QString csvField(const QString &text)
{
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) && !text.contains(QLatin1Char('\n')))
        return text;
    return QLatin1Char('"') + QString(text).replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
}
} // namespace

bool writeHistoryCsv(const QVector<ReportValues> &reports, QIODevice *device)
{
    QStringList header;
    for (const ReportField &field : reportFields())
        header << field.column;
    QByteArray csv = header.join(QLatin1Char(',')).toUtf8() + "\r\n";
    for (const ReportValues &report : reports) {
        QStringList line;
        for (const ReportField &field : reportFields())
            line << csvField(fieldText(report, field));
        csv += line.join(QLatin1Char(',')).toUtf8() + "\r\n";
    }
    return device->write(csv) == csv.size();
}
