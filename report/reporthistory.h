#pragma once

#include "report/histogramtable.h"
#include "report/reportrecord.h"

#include <QDateTime>
#include <QIODevice>
#include <QVector>

// One stored report of a module as its history charts it.
struct HistoryPoint
{
    QDateTime date;
    double totalHours = 0;
    double repairHours = 0;
    quint32 impacts = 0;
    quint32 irtImpacts = 0;
    // Per parameter, the total section's hours in its top range (the last
    // bin): where a module is driven hardest. From rounded percents.
    double topRangeHours[HistogramParameterCount] = {};
};

// The reports' points, in the reports' order; a report whose date cannot be
// read is left out of the charts.
QVector<HistoryPoint> historyPoints(const QVector<ReportValues> &reports);

