#pragma once

#include "protocol/attempt.h"

#include <QDateTime>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVector>

#include <limits>

class QIODevice;

// What the modules of the fleet are compared by.
enum class FleetGrouping { FirmwareVersion, ReleaseMonth, ReleaseYear };

// A figure spread over the modules of a group; NaN where no module has it.
struct FleetPercentiles
{
    double p10 = std::numeric_limits<double>::quiet_NaN();
    double median = std::numeric_limits<double>::quiet_NaN();
    double p90 = std::numeric_limits<double>::quiet_NaN();
};

// One group of modules, each module counted once, by its latest report.
struct FleetGroup
{
    // "3.2.2", "2024-03" or "2024"; empty for modules whose firmware version
    // or release date is unknown.
    QString key;
    int modules = 0;
    // Operating hours of the total section at the latest report.
    FleetPercentiles hours;
    // Years from the release date to the latest report, and operating hours
    // per year of that age, over the modules whose release date is known and
    // lies before the report.
    FleetPercentiles ageYears;
    FleetPercentiles hoursPerYear;
    int modulesWithAge = 0;
    // Impacts of the total section per 100 operating hours of the group;
    // NaN when the group has no operating time.
    double impactsPer100Hours = std::numeric_limits<double>::quiet_NaN();
    // Per histogram parameter (histogramParameters() order), per bin: the
    // group's share of operating time in the bin, in percent, each module's
    // percent weighted by its operating time; NaN without operating time.
    QVector<QVector<double>> binShares;
};

struct FleetSummary
{
    FleetGrouping grouping = FleetGrouping::FirmwareVersion;
    // In key order.
    QVector<FleetGroup> groups;
    QDateTime readAt;
};

// The value below which the given fraction (0..1) of the values lies.
// Linear between closest ranks: the sorted values sit at ranks 0..n-1 and
// the fraction's rank is p * (n - 1), so the median of an even count is the
// mean of the middle two and p10/p90 of one value are that value. NaN for
// no values. Sorts values in place.
double fleetPercentile(QVector<double> &values, double fraction);

// Reads the fleet from table: the latest report of every module (latest
// date, among reports of the same minute the one with the most operating
// time, then the one stored last when the table has its row key), grouped
// on the server. The figures needing every module's value, the percentiles,
// are computed here from one (group, hours, age) row per module, read page
// by page; both statements see the table as it was at the first, in one
// transaction on db that is rolled back at the end (db must not be in one
// of the caller's). On failure the summary, of the grouping asked for, has
// no groups.
Attempt<FleetSummary> readFleet(QSqlDatabase db, FleetGrouping grouping,
                                const QString &table = QStringLiteral("rvkreport"));

// The names of the summary's columns, in English
// ("group,modules,hours_median,...,rotation_bin1_share,...,impacts_per_100h"),
// which the CSV and the command line's output share.
QStringList fleetCsvHeader();
// A group's figures in the header's order after "group" and "modules"; NaN
// for a figure the group lacks.
QVector<double> fleetCsvFigures(const FleetGroup &group);

// Writes the summary as the program writes every CSV file (CsvWriter): the
// header line, one line per group, three decimals, empty cells for figures
// a group lacks. False when the device does not take it all.
bool writeFleetCsv(const FleetSummary &summary, QIODevice *out);
