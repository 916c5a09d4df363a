#include "ssu/reportfilter.h"

#include <QDate>
#include <QDateTime>
#include <QStringList>

namespace {
// The only column names a condition is made of.
QString columnName(ReportFilter::Column column)
{
    switch (column) {
    case ReportFilter::Column::SerialNumber:
        return QStringLiteral("sn");
    case ReportFilter::Column::ReportDate:
        return QStringLiteral("date");
    case ReportFilter::Column::ReleaseDate:
        return QStringLiteral("release_date");
    case ReportFilter::Column::None:
        break;
    }
    return QString();
}

// The bound as a value of the column's type. One that is none (text above
// all) is bound as a typed null, which no comparison matches: the server
// would read "1 OR 1=1" as the serial number 1, and Qt reads any text that
// starts with a date as that date.
QVariant boundValue(ReportFilter::Column column, const QVariant &value)
{
    const QVariant::Type type = value.type();
    switch (column) {
    case ReportFilter::Column::SerialNumber:
        if (type == QVariant::Int || type == QVariant::UInt || type == QVariant::LongLong
            || type == QVariant::ULongLong)
            return value;
        return QVariant(QVariant::LongLong);
    case ReportFilter::Column::ReportDate:
        // A day compares with the DATETIME column as its midnight.
        if (type == QVariant::Date && value.toDate().isValid())
            return value;
        if (type == QVariant::DateTime && value.toDateTime().isValid())
            return value;
        return QVariant(type == QVariant::Date ? QVariant::Date : QVariant::DateTime);
    case ReportFilter::Column::ReleaseDate:
        if ((type == QVariant::Date || type == QVariant::DateTime) && value.toDate().isValid())
            return value.toDate();
        return QVariant(QVariant::Date);
    case ReportFilter::Column::None:
        break;
    }
    return QVariant();
}
} // namespace

ReportCondition reportCondition(const QVector<ReportFilter> &filters)
{
    ReportCondition condition;
    QStringList terms;
    for (const ReportFilter &filter : filters) {
        const QString column = columnName(filter.column);
        if (column.isEmpty())
            continue;
        const bool from = filter.exact || filter.from.isValid();
        const bool to = !filter.exact && filter.to.isValid();
        if (filter.exact)
            terms << column + QLatin1String(" = ?");
        else if (from && to)
            terms << column + QLatin1String(" BETWEEN ? AND ?");
        else if (from)
            terms << column + QLatin1String(" >= ?");
        else if (to)
            terms << column + QLatin1String(" <= ?");
        if (from)
            condition.values << boundValue(filter.column, filter.from);
        if (to)
            condition.values << boundValue(filter.column, filter.to);
    }
    condition.text = terms.join(QLatin1String(" AND "));
    return condition;
}

void prepareReportQuery(QSqlQuery &query, const QString &head, const ReportCondition &condition, const QString &extra,
                        const QString &tail, const QVariantList &extraValues)
{
    QString where;
    if (!condition.text.isEmpty() && !extra.isEmpty())
        where = QStringLiteral(" WHERE (%1) AND (%2)").arg(condition.text, extra);
    else if (!condition.text.isEmpty() || !extra.isEmpty())
        where = QLatin1String(" WHERE ") + condition.text + extra;
    query.prepare(head + where + tail);
    for (const QVariant &value : condition.values)
        query.addBindValue(value);
    for (const QVariant &value : extraValues)
        query.addBindValue(value);
}

QString defaultOrderColumn(const ReportFilter &filter)
{
    if (filter.column == ReportFilter::Column::SerialNumber && filter.exact)
        return QStringLiteral("total_time");
    const QString column = columnName(filter.column);
    return column.isEmpty() ? QStringLiteral("sn") : column;
}
