#include "ssu/listingreader.h"

#include "ssu/reportschema.h"
#include "ssu/driver/ssudriver.h"

#include <QSqlQuery>

#include <algorithm>

namespace ListingReader {

const char *const Columns[ColumnCount] = {"sn", "date", "release_date", "firmware_version", "total_time", "repair_time"};

namespace {
// Windows this far from either end are found through their first key.
constexpr int DeepOffsetWindows = 4;

QStringList orderColumns(const ListingQuery &query)
{
    // The listing's own order follows the chosen column; the serial number
    // and the date come next, and the last terms are unique: two reports of
    // one module made in the same minute ("twins") would otherwise tie, and
    // the server may put tied rows in a different order on every read.
    QStringList columns;
    if (query.sortColumn >= 0 && query.sortColumn < ColumnCount)
        columns << QLatin1String(Columns[query.sortColumn]);
    QStringList following{defaultOrderColumn(query.filter), QStringLiteral("sn"), QStringLiteral("date")};
    if (query.rowKey)
        following << QStringLiteral("id");
    else
        following << QStringLiteral("total_time") << QStringLiteral("repair_time");
    for (const QString &column : qAsConst(following)) {
        if (!column.isEmpty() && !columns.contains(column))
            columns << column;
    }
    return columns;
}

bool descending(const ListingQuery &query, bool reversed)
{
    // All terms go one way, so that one index, read forwards or backwards,
    // delivers them without sorting.
    return (query.sortColumn >= 0 && query.sortOrder == Qt::DescendingOrder) != reversed;
}

QString orderBy(const ListingQuery &query, bool reversed)
{
    QStringList terms;
    for (const QString &column : orderColumns(query))
        terms << (descending(query, reversed) ? column + QLatin1String(" DESC") : column);
    return QLatin1String(" ORDER BY ") + terms.join(QLatin1String(", "));
}

QString projection(const ListingQuery &query)
{
    return listingProjection(query.rowKey);
}

QString limit(int rows, int offset)
{
    return QStringLiteral(" LIMIT %1 OFFSET %2").arg(rows).arg(offset);
}

bool readFromKey(QSqlDatabase db, const ListingQuery &listing, QSqlQuery &query, int offset, int rows, bool reversed)
{
    // Skipping far into the listing row by row reads every skipped row from
    // the table. The order's columns alone are in an index, so the window's
    // first key is found in the index, and the rows are then read from that
    // key on. Rows sharing that key before the window are skipped by count.
    const QStringList columns = orderColumns(listing);
    const QString order = orderBy(listing, reversed);
    const ReportCondition condition = reportCondition({listing.filter});
    QSqlQuery keys(db);
    keys.setForwardOnly(true);
    prepareReportQuery(keys,
                       QStringLiteral("SELECT ") + columns.join(QLatin1String(", ")) + QLatin1String(" FROM rvkreport"),
                       condition, QString(), order + limit(rows, offset));
    if (!keys.exec() || !keys.next())
        return false;
    QVariantList firstKey;
    for (int i = 0; i < columns.size(); ++i)
        firstKey << keys.value(i);
    int leading = 1;
    while (keys.next()) {
        bool same = true;
        for (int i = 0; i < columns.size() && same; ++i)
            same = keys.value(i) == firstKey.at(i);
        if (!same)
            break;
        ++leading;
    }
    if (leading >= rows)
        return false;

    QStringList equal;
    for (const QString &column : columns)
        equal << column + QLatin1String(" = ?");
    QSqlQuery ties(db);
    prepareReportQuery(ties, QStringLiteral("SELECT COUNT(*) FROM rvkreport"), condition,
                       equal.join(QLatin1String(" AND ")), QString(), firstKey);
    if (!ties.exec() || !ties.next())
        return false;
    const int before = qMax(0, ties.value(0).toInt() - leading);

    // (a, b, c) at or after the key: a beyond it, or a equal and b beyond,
    // or a and b equal and c at or beyond.
    const QString beyond = descending(listing, reversed) ? QStringLiteral(" < ?") : QStringLiteral(" > ?");
    const QString atOrBeyond = descending(listing, reversed) ? QStringLiteral(" <= ?") : QStringLiteral(" >= ?");
    QStringList alternatives;
    QVariantList values;
    for (int i = 0; i < columns.size(); ++i) {
        QStringList terms;
        for (int j = 0; j < i; ++j) {
            terms << columns.at(j) + QLatin1String(" = ?");
            values << firstKey.at(j);
        }
        terms << columns.at(i) + (i + 1 < columns.size() ? beyond : atOrBeyond);
        values << firstKey.at(i);
        alternatives << QLatin1Char('(') + terms.join(QLatin1String(" AND ")) + QLatin1Char(')');
    }
    prepareReportQuery(query, projection(listing), condition, alternatives.join(QLatin1String(" OR ")),
                       order + limit(rows, before), values);
    return query.exec();
}

// While a window is read, the connection refuses a result of more rows than
// the window asked for: a server sending two million rows for LIMIT 256 is
// not the SSU.
class RowLimit
{
public:
    RowLimit(const QSqlDatabase &db, int rows) : driver(qobject_cast<SsuDriver *>(db.driver()))
    {
        if (driver)
            driver->setRowLimit(qMax(rows, 1));
    }
    ~RowLimit()
    {
        if (driver)
            driver->setRowLimit(0);
    }

private:
    SsuDriver *driver;
};
} // namespace

bool readWindow(QSqlDatabase db, const ListingQuery &listing, int offset, int rows, bool reversed, Rows *out)
{
    out->clear();
    if (rows <= 0)
        return true;
    const RowLimit bound(db, rows);
    QSqlQuery query(db);
    query.setForwardOnly(true);
    const bool deep = offset >= DeepOffsetWindows * rows;
    if (!(deep && readFromKey(db, listing, query, offset, rows, reversed))) {
        prepareReportQuery(query, projection(listing), reportCondition({listing.filter}), QString(),
                           orderBy(listing, reversed) + limit(rows, offset));
        if (!query.exec())
            return false;
    }
    const int width = listing.rowKey ? ColumnCount + 1 : ColumnCount;
    out->reserve(rows);
    while (query.next() && out->size() < rows) {
        Row row(width);
        for (int column = 0; column < width; ++column)
            row[column] = query.value(column);
        out->append(row);
    }
    if (reversed)
        std::reverse(out->begin(), out->end());
    return true;
}

qint64 count(QSqlDatabase db, const ListingQuery &listing)
{
    QSqlQuery query(db);
    query.setForwardOnly(true);
    prepareReportQuery(query, QStringLiteral("SELECT COUNT(*) FROM rvkreport"), reportCondition({listing.filter}));
    bool ok = false;
    const qint64 rows = query.exec() && query.next() ? query.value(0).toLongLong(&ok) : -1;
    return ok && rows >= 0 ? rows : -1;
}

} // namespace ListingReader
