#pragma once

#include <QSqlQuery>
#include <QString>
#include <QVariant>
#include <QVariantList>
#include <QVector>

// Which stored reports a search or an export names, as values: a column from
// a fixed list and the bounds its value lies within. Nothing a user typed
// ever becomes SQL text; reportCondition() turns filters into a condition
// whose values are bound.
struct ReportFilter
{
    enum class Column { None, SerialNumber, ReportDate, ReleaseDate };

    // None names every report.
    Column column = Column::None;
    // Inclusive bounds: integers for the serial number, QDate or QDateTime for
    // the dates. A bound not given (QVariant()) leaves that side open; a given
    // one of another type (text above all) or an invalid date matches no
    // report.
    QVariant from;
    QVariant to;
    // The column equals from; to is not looked at.
    bool exact = false;

    static ReportFilter all() { return {}; }
    static ReportFilter equal(Column column, const QVariant &value) { return {column, value, QVariant(), true}; }
    static ReportFilter between(Column column, const QVariant &from, const QVariant &to)
    {
        return {column, from, to, false};
    }
};

// A condition with "?" placeholders, and the values to bind to them in
// order; empty text names every report.
struct ReportCondition
{
    QString text;
    QVariantList values;
};

// The one place filters become SQL: the condition that all of them hold.
ReportCondition reportCondition(const QVector<ReportFilter> &filters);

// Prepares head + " WHERE " the condition and extra + tail (no WHERE when
// both are empty) and binds the condition's values, then extraValues for the
// placeholders of extra and tail.
void prepareReportQuery(QSqlQuery &query, const QString &head, const ReportCondition &condition,
                        const QString &extra = QString(), const QString &tail = QString(),
                        const QVariantList &extraValues = QVariantList());

// The column a listing of the filter's reports is ordered by until the user
// picks another: one module's reports by operating time, a range of them by
// the column searched, every report by serial number.
QString defaultOrderColumn(const ReportFilter &filter);
