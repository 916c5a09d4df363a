#include "report/reportcomparison.h"

#include "report/histogramtable.h"
#include "report/reportrecord.h"

#include <QtMath>

namespace {

double hoursOf(qint64 minutes)
{
    return double(minutes) / 60.0;
}

// A bin's hours from its rounded percent; a missing or unreadable element
// counts as 0, as in the document.
double binHours(const ReportValues &values, int parameter, int bin, double sectionHours)
{
    const QStringList percents = values.totalPercents.value(parameter).split(QLatin1Char(','));
    return percents.value(bin).toDouble() / 100.0 * sectionHours;
}

QVector<BinChange> binChanges(const ReportValues &previous, const ReportValues &current)
{
    const double previousHours = hoursOf(operatingMinutes(previous.total_time));
    const double currentHours = hoursOf(operatingMinutes(current.total_time));
    // Each percent is off by at most half a percent of its section.
    const double uncertainty = 0.005 * (previousHours + currentHours);
    QVector<BinChange> changes;
    const QVector<HistogramParameter> &table = histogramParameters();
    for (int parameter = 0; parameter < HistogramParameterCount; ++parameter) {
        for (int bin = 0; bin < table.at(parameter).bins.size(); ++bin) {
            BinChange change;
            change.parameter = parameter;
            change.bin = bin;
            change.previousHours = binHours(previous, parameter, bin, previousHours);
            change.currentHours = binHours(current, parameter, bin, currentHours);
            change.addedHours = change.currentHours - change.previousHours;
            change.uncertaintyHours = uncertainty;
            changes << change;
        }
    }
    return changes;
}

// The module's past is what it did up to the previous report; the interval
// is compared with it only when both are long enough to mean something and
// the counters ran forward.
void findUnusualUsage(ReportComparison &comparison)
{
    const double pastHours = hoursOf(operatingMinutes(comparison.previous.total_time));
    const double addedHours = hoursOf(comparison.totalMinutesAdded);
    if (pastHours < MinimumUsageHours || addedHours < MinimumUsageHours)
        return;
    for (const BinChange &change : qAsConst(comparison.bins)) {
        const double past = 100.0 * change.previousHours / pastHours;
        // The share the rounding cannot explain away.
        const double recent = 100.0 * (change.addedHours - change.uncertaintyHours) / addedHours;
        if (recent >= UnusualShareFactor * past && recent >= past + UnusualSharePoints) {
            ComparisonNotice notice;
            notice.kind = ComparisonNotice::UnusualBin;
            notice.parameter = change.parameter;
            notice.bin = change.bin;
            notice.recent = 100.0 * change.addedHours / addedHours;
            notice.past = past;
            comparison.notices << notice;
        }
    }
    const double pastRate = 100.0 * double(comparison.previous.impacts) / pastHours;
    const double recentRate = 100.0 * double(comparison.impactsAdded) / addedHours;
    if (comparison.impactsAdded >= MinimumUnusualImpacts && recentRate >= UnusualShareFactor * pastRate) {
        ComparisonNotice notice;
        notice.kind = ComparisonNotice::UnusualImpacts;
        notice.recent = recentRate;
        notice.past = pastRate;
        comparison.notices << notice;
    }
}

void notice(ReportComparison &comparison, ComparisonNotice::Kind kind)
{
    ComparisonNotice added;
    added.kind = kind;
    comparison.notices << added;
}

} // namespace

bool ReportComparison::has(ComparisonNotice::Kind kind) const
{
    for (const ComparisonNotice &notice : notices) {
        if (notice.kind == kind)
            return true;
    }
    return false;
}

qint64 operatingMinutes(const QString &text)
{
    // A damaged text ("-1:30", "5:75") is no time: it counts as none rather
    // than as a wrong number of minutes.
    qint64 minutes = 0;
    return parseOperatingTime(text, &minutes) ? minutes : 0;
}

// The stored date has no zone: read as one without daylight saving, so a
// date the PC's zone skips (a spring-forward hour) is still a date.
QDateTime reportDateTime(const QString &text)
{
    const QStringList parts = text.split(QLatin1Char(' '));
    if (parts.size() != 2)
        return QDateTime();
    return QDateTime(QDate::fromString(parts.at(0), QStringLiteral("dd.MM.yyyy")),
                     QTime::fromString(parts.at(1), QStringLiteral("hh:mm")), Qt::UTC);
}

ReportComparison firstReport(const ReportValues &current)
{
    ReportComparison comparison;
    comparison.current = current;
    return comparison;
}

ReportComparison compareReports(const ReportValues &previous, const ReportValues &current)
{
    ReportComparison comparison;
    comparison.hasPrevious = true;
    comparison.previous = previous;
    comparison.current = current;

    const QDateTime before = reportDateTime(previous.date);
    const QDateTime after = reportDateTime(current.date);
    if (before.isValid() && after.isValid())
        comparison.daysBetween = double(before.secsTo(after)) / 86400.0;
    const qint64 totalBefore = operatingMinutes(previous.total_time);
    const qint64 totalAfter = operatingMinutes(current.total_time);
    comparison.totalMinutesAdded = totalAfter - totalBefore;
    comparison.repairMinutesAdded = operatingMinutes(current.repair_time) - operatingMinutes(previous.repair_time);
    comparison.impactsAdded = qint64(current.impacts) - qint64(previous.impacts);
    comparison.irtImpactsAdded = qint64(current.irt_impacts) - qint64(previous.irt_impacts);
    // An unknown version on either side is no change anyone made.
    comparison.firmwareChanged = !previous.firmware_version.isEmpty() && !current.firmware_version.isEmpty()
                                 && previous.firmware_version != current.firmware_version;
    comparison.bins = binChanges(previous, current);

    if (comparison.totalMinutesAdded < 0)
        notice(comparison, ComparisonNotice::TotalTimeBackwards);
    if (comparison.impactsAdded < 0)
        notice(comparison, ComparisonNotice::ImpactsBackwards);
    if (before.isValid() && after.isValid() && after < before)
        notice(comparison, ComparisonNotice::DateEarlier);
    const bool backwards = comparison.totalMinutesAdded < 0 || comparison.impactsAdded < 0;
    // The inter-repair counters run with the totals unless cleared, so one
    // that gained less than its total did was cleared in between, even when
    // it has since passed its old value. The minute's slack covers the two
    // times being cut to whole minutes independently.
    if (!backwards
        && (comparison.repairMinutesAdded < comparison.totalMinutesAdded - 1
            || comparison.irtImpactsAdded < comparison.impactsAdded))
        notice(comparison, ComparisonNotice::RepairReset);
    if (!backwards)
        findUnusualUsage(comparison);
    return comparison;
}
