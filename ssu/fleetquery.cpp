#include "ssu/fleetquery.h"

#include "protocol/csvwriter.h"
#include "report/histogramtable.h"
#include "ssu/modulehistory.h"
#include "ssu/reportschema.h"
#include "ssu/reportupload.h"
#include "ssu/driver/ssudriver.h"

#include <QCoreApplication>
#include <QFileDevice>
#include <QHash>
#include <QIODevice>
#include <QRegularExpression>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QVariant>

#include <algorithm>
#include <cmath>

namespace {
// The messages' translation context.
class FleetQuery
{
    Q_DECLARE_TR_FUNCTIONS(FleetQuery)
};

constexpr double DaysPerYear = 365.25;
// Modules per page of the percentiles' rows; half the driver's row limit
// at most, so that twins a table without row key cannot tell apart fit too.
constexpr int PageModules = 5000;

// The stored stand-in for an unknown release date, as the server writes a
// DATE.
QString unknownReleaseDay()
{
    return QDate::fromString(QLatin1String(UnknownReleaseDate), QStringLiteral("dd.MM.yyyy")).toString(Qt::ISODate);
}

QString groupKeyTerm(FleetGrouping grouping)
{
    switch (grouping) {
    case FleetGrouping::ReleaseMonth:
        return QStringLiteral("IF(r.release_date <= '%1', '', DATE_FORMAT(r.release_date, '%Y-%m'))")
            .arg(unknownReleaseDay());
    case FleetGrouping::ReleaseYear:
        return QStringLiteral("IF(r.release_date <= '%1', '', DATE_FORMAT(r.release_date, '%Y'))")
            .arg(unknownReleaseDay());
    case FleetGrouping::FirmwareVersion:
        break;
    }
    // A TEXT grouping key sends the server's grouping to a table on disk;
    // versions are a few characters. Bytes, not the column's collation,
    // which calls "3.2.2 " and "3.2.2", or "RC" and "rc", one text: the
    // groups' modules are looked up here by their exact text, and a module
    // grouped by one rule and looked up by another would fall out of its
    // group's percentiles.
    return QStringLiteral("CAST(CAST(r.firmware_version AS CHAR(64)) AS BINARY)");
}

// "hhhh:mm" as whole minutes: sums of minutes and of percent x minutes stay
// exact integers on the server. NULL for a damaged time, which then counts
// in no sum and no spread.
QString minutesTerm(const QString &alias)
{
    return operatingMinutesTerm(alias, QStringLiteral("total_time"));
}

// The k-th (1-based) percent of a stored list; 0 when the list is shorter,
// where SUBSTRING_INDEX alone would repeat the last element.
QString binTerm(const QString &column, int k)
{
    return QStringLiteral("IF(LENGTH(l.%1) - LENGTH(REPLACE(l.%1, ',', '')) >= %2, "
                          "CAST(SUBSTRING_INDEX(SUBSTRING_INDEX(l.%1, ',', %3), ',', -1) AS UNSIGNED), 0)")
        .arg(column)
        .arg(k - 1)
        .arg(k);
}

// The latest report of every module as rows "r": the latest date from the
// (sn, date) index, one index lookup per module, joined back to its row.
// Reports of the same minute ("twins") are told apart as a module's history
// and its previous-report lookup order them (reportOrderTerms). Without the
// row key a report stored twice passes twice, every byte the same; the
// callers select DISTINCT rows with the serial number among them, so that it
// counts once.
QString latestRows(const QString &table, bool rowKey, const QString &modules)
{
    // The row key is in the index: a report is ruled out as its own twin
    // there, before its row is read.
    const QString other = rowKey ? QStringLiteral("t.id <> r.id AND ") : QString();
    const QString later = QStringLiteral("%1(%2) > (%3)")
                              .arg(other, reportOrderTerms(rowKey, QStringLiteral("t")).join(QLatin1String(", ")),
                                   reportOrderTerms(rowKey, QStringLiteral("r")).join(QLatin1String(", ")));
    return QStringLiteral("%1 r JOIN (%2) m ON r.sn = m.sn AND r.date = m.latest "
                          "WHERE NOT EXISTS (SELECT 1 FROM %1 t WHERE t.sn = r.sn AND t.date = r.date AND %3)")
        .arg(table, modules, later);
}

// Only a table without the row key can hold a report twice; DISTINCT over
// the text columns costs a temporary table the keyed one is spared.
QString distinct(bool rowKey)
{
    return rowKey ? QString() : QStringLiteral("DISTINCT ");
}

// Age in whole days; NULL when the release date is unknown or not before
// the report.
QString ageDaysTerm()
{
    return QStringLiteral("IF(r.release_date <= '%1' OR r.release_date >= r.date, NULL, DATEDIFF(r.date, "
                          "r.release_date))")
        .arg(unknownReleaseDay());
}

QString aggregateStatement(const QString &table, bool rowKey, FleetGrouping grouping)
{
    QStringList sums;
    QStringList columns;
    const QVector<HistogramParameter> &parameters = histogramParameters();
    for (int p = 0; p < HistogramParameterCount; ++p) {
        columns << QStringLiteral("r.") + parameters.at(p).key;
        for (int k = 1; k <= parameters.at(p).bins.size(); ++k)
            sums << QStringLiteral("SUM(l.minutes * %1)").arg(binTerm(parameters.at(p).key, k));
    }
    const QString modules = QStringLiteral("SELECT sn, MAX(date) AS latest FROM %1 GROUP BY sn").arg(table);
    // A module whose operating time is damaged counts as a module, but its
    // impacts have no time to be set against.
    return QStringLiteral("SELECT l.g, COUNT(*), SUM(l.minutes), SUM(IF(l.minutes IS NULL, NULL, l.impacts)), %1 FROM "
                          "(SELECT %6r.sn, %2 AS g, %3 AS minutes, r.impacts, %4 FROM %5) l GROUP BY l.g "
                          "ORDER BY l.g")
        .arg(sums.join(QLatin1String(", ")), groupKeyTerm(grouping), minutesTerm(QStringLiteral("r")),
             columns.join(QLatin1String(", ")), latestRows(table, rowKey, modules), distinct(rowKey));
}

// One row per module of the page after the serial number bound.
QString pageStatement(const QString &table, bool rowKey, FleetGrouping grouping, int pageModules)
{
    const QString modules =
        QStringLiteral("SELECT sn, MAX(date) AS latest FROM %1 WHERE sn > ? GROUP BY sn ORDER BY sn LIMIT %2")
            .arg(table)
            .arg(pageModules);
    return QStringLiteral("SELECT %5r.sn, %1, %2, %3 FROM %4")
        .arg(groupKeyTerm(grouping), minutesTerm(QStringLiteral("r")), ageDaysTerm(),
             latestRows(table, rowKey, modules), distinct(rowKey));
}

// What each group's percentiles are computed from.
struct GroupValues
{
    QVector<double> hours;
    QVector<double> ageYears;
    QVector<double> hoursPerYear;
};

class Reader
{
public:
    Reader(QSqlDatabase db, FleetGrouping grouping, const QString &table)
        : db(db)
        , grouping(grouping)
        , table(table)
    {
    }

    bool run(FleetSummary *summary);
    QString error;

private:
    bool readGroups(FleetSummary *summary);
    bool readModules(const FleetSummary &summary, QVector<GroupValues> *values);
    bool failed(const QSqlQuery &query)
    {
        error = FleetQuery::tr("Не удалось прочитать сводку по парку: %1").arg(query.lastError().text());
        return false;
    }

    QSqlDatabase db;
    const FleetGrouping grouping;
    const QString table;
    bool rowKey = false;
    QHash<QString, int> groupIndex;
};

bool Reader::readGroups(FleetSummary *summary)
{
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.exec(aggregateStatement(table, rowKey, grouping)))
        return failed(query);
    const QVector<HistogramParameter> &parameters = histogramParameters();
    while (query.next()) {
        FleetGroup group;
        group.key = query.value(0).toString();
        group.modules = query.value(1).toInt();
        const double minutes = query.value(2).toDouble();
        if (minutes > 0)
            group.impactsPer100Hours = query.value(3).toDouble() / (minutes / 60.0) * 100.0;
        int column = 4;
        for (int p = 0; p < HistogramParameterCount; ++p) {
            QVector<double> shares;
            for (int k = 0; k < parameters.at(p).bins.size(); ++k, ++column)
                shares << (minutes > 0 ? query.value(column).toDouble() / minutes : qQNaN());
            group.binShares << shares;
        }
        groupIndex.insert(group.key, summary->groups.size());
        summary->groups << group;
    }
    return true;
}

bool Reader::readModules(const FleetSummary &summary, QVector<GroupValues> *values)
{
    values->resize(summary.groups.size());
    // Both statements see the table as it was at the first, so the pages
    // hold no module the groups did not count. A server that sends more
    // (page after full page) would otherwise keep the loop going forever.
    qint64 counted = 0;
    for (const FleetGroup &group : summary.groups)
        counted += group.modules;
    qint64 seen = 0;
    int pageModules = PageModules;
    if (auto *driver = qobject_cast<SsuDriver *>(db.driver()))
        pageModules = qMax(1, qMin(pageModules, driver->rowLimit() / 2));
    QSqlQuery query(db);
    query.setForwardOnly(true);
    query.prepare(pageStatement(table, rowKey, grouping, pageModules));
    qint64 after = -1;
    for (;;) {
        query.bindValue(0, after);
        if (!query.exec())
            return failed(query);
        // A report stored twice in a table without row key passes twice.
        QSet<qint64> pageModulesSeen;
        while (query.next()) {
            const qint64 sn = query.value(0).toLongLong();
            pageModulesSeen.insert(sn);
            if (seen + pageModulesSeen.size() > counted) {
                error = FleetQuery::tr("Не удалось прочитать сводку по парку: сервер прислал больше модулей, чем "
                                       "насчитал (%1)")
                            .arg(counted);
                return false;
            }
            after = qMax(after, sn);
            const auto found = groupIndex.constFind(query.value(1).toString());
            if (found == groupIndex.constEnd())
                continue;
            GroupValues &group = (*values)[found.value()];
            if (query.value(2).isNull())
                continue;
            const double hours = query.value(2).toDouble() / 60.0;
            group.hours << hours;
            if (query.value(3).isNull())
                continue;
            const double years = query.value(3).toDouble() / DaysPerYear;
            group.ageYears << years;
            group.hoursPerYear << hours / years;
        }
        seen += pageModulesSeen.size();
        if (pageModulesSeen.size() < pageModules)
            return true;
    }
}

bool Reader::run(FleetSummary *summary)
{
    rowKey = reportTableHasRowKey(db, table);
    QVector<GroupValues> values;
    if (!readGroups(summary) || !readModules(*summary, &values))
        return false;
    for (int i = 0; i < summary->groups.size(); ++i) {
        FleetGroup &group = summary->groups[i];
        GroupValues &from = values[i];
        const auto spread = [](QVector<double> &v) {
            return FleetPercentiles{fleetPercentile(v, 0.1), fleetPercentile(v, 0.5), fleetPercentile(v, 0.9)};
        };
        group.hours = spread(from.hours);
        group.ageYears = spread(from.ageYears);
        group.hoursPerYear = spread(from.hoursPerYear);
        group.modulesWithAge = from.ageYears.size();
    }
    return true;
}

} // namespace

double fleetPercentile(QVector<double> &values, double fraction)
{
    if (values.isEmpty())
        return qQNaN();
    std::sort(values.begin(), values.end());
    const double rank = qBound(0.0, fraction, 1.0) * (values.size() - 1);
    const int below = int(std::floor(rank));
    const int above = qMin(below + 1, values.size() - 1);
    return values.at(below) + (rank - below) * (values.at(above) - values.at(below));
}

Attempt<FleetSummary> readFleet(QSqlDatabase db, FleetGrouping grouping, const QString &table)
{
    Attempt<FleetSummary> read;
    read.value.grouping = grouping;
    // The name goes into the statements as it stands; only the program and
    // its tests name tables, but nothing else than a plain name passes.
    static const QRegularExpression plainName(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]{0,63}$"));
    if (!plainName.match(table).hasMatch())
        read.error = FleetQuery::tr("Недопустимое имя таблицы: %1").arg(table);
    else if (!db.isOpen())
        read.error = FleetQuery::tr("Нет открытого подключения к базе данных");
    else if (!db.transaction())
        read.error = FleetQuery::tr("Не удалось прочитать сводку по парку: %1").arg(db.lastError().text());
    if (!read.error.isEmpty())
        return read;
    Reader reader(db, grouping, table);
    read.ok = reader.run(&read.value);
    // Nothing was written; the transaction only kept both statements on
    // one state of the table.
    db.rollback();
    read.value.readAt = QDateTime::currentDateTime();
    if (!read.ok) {
        read.value.groups.clear();
        read.error = reader.error;
    }
    return read;
}

QStringList fleetCsvHeader()
{
    QStringList header{QStringLiteral("group"),
                       QStringLiteral("modules"),
                       QStringLiteral("hours_median"),
                       QStringLiteral("hours_p10"),
                       QStringLiteral("hours_p90"),
                       QStringLiteral("age_years_median"),
                       QStringLiteral("age_years_p10"),
                       QStringLiteral("age_years_p90"),
                       QStringLiteral("hours_per_year_median"),
                       QStringLiteral("hours_per_year_p10"),
                       QStringLiteral("hours_per_year_p90")};
    const QVector<HistogramParameter> &parameters = histogramParameters();
    for (int p = 0; p < HistogramParameterCount; ++p) {
        for (int k = 1; k <= parameters.at(p).bins.size(); ++k)
            header << QStringLiteral("%1_bin%2_share").arg(parameters.at(p).key).arg(k);
    }
    header << QStringLiteral("impacts_per_100h");
    return header;
}

QVector<double> fleetCsvFigures(const FleetGroup &group)
{
    QVector<double> figures;
    for (const FleetPercentiles *spread : {&group.hours, &group.ageYears, &group.hoursPerYear})
        figures << spread->median << spread->p10 << spread->p90;
    const QVector<HistogramParameter> &parameters = histogramParameters();
    for (int p = 0; p < HistogramParameterCount; ++p) {
        for (int k = 0; k < parameters.at(p).bins.size(); ++k)
            figures << group.binShares.value(p).value(k, qQNaN());
    }
    figures << group.impactsPer100Hours;
    return figures;
}

bool writeFleetCsv(const FleetSummary &summary, QIODevice *out)
{
    CsvWriter csv;
    csv.addRow(fleetCsvHeader());
    for (const FleetGroup &group : summary.groups) {
        QStringList cells{group.key, QString::number(group.modules)};
        for (double figure : fleetCsvFigures(group))
            cells << CsvWriter::number(figure, 3);
        csv.addRow(cells);
    }
    return csv.writeTo(out);
}
