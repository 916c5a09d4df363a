#pragma once

#include "report/reportrecord.h"

#include <QDateTime>
#include <QVector>

// What a module did between two of its reports, worked out from the values
// as they are stored: operating times to the minute, histogram bins as
// percents of the section time rounded to whole numbers. A bin's hours are
// therefore known only to within half a percent of its section's hours, and
// every figure drawn from them carries that bound.
struct BinChange
{
    int parameter = 0;
    int bin = 0;
    double previousHours = 0;
    double currentHours = 0;
    double addedHours = 0;
    // How far the rounding of both reports' percents may put addedHours off.
    double uncertaintyHours = 0;
};

// What a service engineer must look at.
struct ComparisonNotice
{
    enum Kind {
        // Total operating time or impacts went down: the module was exchanged
        // under this serial number or its memory was cleared.
        TotalTimeBackwards,
        ImpactsBackwards,
        // This report is dated before the one it is compared with (a wrong
        // clock at one of the stations).
        DateEarlier,
        // The inter-repair counters were cleared in between.
        RepairReset,
        // Time in one bin grew much faster than the module's past share of it.
        UnusualBin,
        // Impacts came much faster than in the module's past.
        UnusualImpacts,
    };
    Kind kind = TotalTimeBackwards;
    // UnusualBin: which bin.
    int parameter = -1;
    int bin = -1;
    // UnusualBin: share of the added hours and of the hours before, in
    // percent; UnusualImpacts: impacts per 100 hours, recently and before.
    double recent = 0;
    double past = 0;
};

struct ReportComparison
{
    // False for a module's first report: there is nothing to compare.
    bool hasPrevious = false;
    ReportValues previous;
    ReportValues current;

    // Negative when the report is dated before the previous one.
    double daysBetween = 0;
    qint64 totalMinutesAdded = 0;
    qint64 repairMinutesAdded = 0;
    qint64 impactsAdded = 0;
    qint64 irtImpactsAdded = 0;
    bool firmwareChanged = false;
    // Every bin of the total section, in the histogram table's order.
    QVector<BinChange> bins;
    QVector<ComparisonNotice> notices;

    bool has(ComparisonNotice::Kind kind) const;
};

// Usage counts as far outside the module's past only when, even at the far
// end of the rounding bound, its share of the added hours is at least this
// many times its past share and this many percentage points above it, over
// at least MinimumUsageHours of running.
constexpr double UnusualShareFactor = 2.0;
constexpr double UnusualSharePoints = 10.0;
constexpr double MinimumUsageHours = 10.0;
// Impacts count only from this many added in the interval on.
constexpr qint64 MinimumUnusualImpacts = 10;

ReportComparison compareReports(const ReportValues &previous, const ReportValues &current);
ReportComparison firstReport(const ReportValues &current);

// "hh:mm" (hours not capped) as minutes; 0 when it is no such text.
qint64 operatingMinutes(const QString &text);
// The report date "dd.MM.yyyy hh:mm" (the document's and the upload's form).
QDateTime reportDateTime(const QString &text);
