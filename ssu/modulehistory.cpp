#include "ssu/modulehistory.h"

#include "protocol/csvwriter.h"
#include "report/reportfields.h"
#include "ssu/reportupload.h"

#include <QDateTime>
#include <QSqlQuery>
#include <QSqlRecord>

namespace {

// Every term with the direction appended.
QString orderBy(bool rowKey, const char *direction)
{
    QStringList terms = reportOrderTerms(rowKey);
    for (QString &term : terms)
        term += QLatin1Char(' ') + QLatin1String(direction);
    return terms.join(QLatin1String(", "));
}

QString columns(bool rowKey)
{
    return rowKey ? QStringLiteral("*, id") : QStringLiteral("*");
}

} // namespace

QString operatingMinutesTerm(const QString &alias, const QString &column)
{
    const QString name = alias.isEmpty() ? column : alias + QLatin1Char('.') + column;
    // Bounded hours keep hours * 60 inside BIGINT, whose overflow would fail
    // the whole statement.
    return QStringLiteral("IF(%1 REGEXP '^[0-9]{1,12}:[0-5][0-9]$', CAST(SUBSTRING_INDEX(%1, ':', 1) AS UNSIGNED) * "
                          "60 + CAST(SUBSTRING_INDEX(%1, ':', -1) AS UNSIGNED), NULL)")
        .arg(name);
}

QStringList reportOrderTerms(bool rowKey, const QString &alias)
{
    const QString prefix = alias.isEmpty() ? QString() : alias + QLatin1Char('.');
    QStringList terms{prefix + QStringLiteral("date"),
                      QStringLiteral("COALESCE(%1, -1)").arg(operatingMinutesTerm(alias, QStringLiteral("total_time")))};
    if (rowKey)
        return terms << prefix + QStringLiteral("id");
    terms << QStringLiteral("COALESCE(%1, -1)").arg(operatingMinutesTerm(alias, QStringLiteral("repair_time")));
    for (const ReportField &field : reportFields()) {
        if (field.column != QLatin1String("sn") && field.column != QLatin1String("date"))
            terms << QStringLiteral("BINARY %1%2").arg(prefix, field.column);
    }
    return terms;
}


StoredReportResult readLatestReport(QSqlDatabase db, quint32 sn, bool rowKey, ReportValues *values)
{
    if (!db.isOpen())
        return StoredReportResult::Failed;
    QSqlQuery query(db);
    query.setForwardOnly(true);
    // The latest date comes from the index alone; only that minute's rows
    // (the twins, if any) are read from the table.
    query.prepare(QStringLiteral("SELECT %1 FROM rvkreport WHERE sn = ? AND date = (SELECT MAX(date) FROM rvkreport "
                                 "WHERE sn = ?) ORDER BY %2 LIMIT 1")
                      .arg(columns(rowKey), orderBy(rowKey, "DESC")));
    query.addBindValue(sn);
    query.addBindValue(sn);
    if (!query.exec())
        return StoredReportResult::Failed;
    if (!query.next())
        return StoredReportResult::NotFound;
    readReportRow(query.record(), *values);
    return StoredReportResult::Done;
}

bool readModuleHistory(QSqlDatabase db, quint32 sn, bool rowKey, QVector<ModuleReport> *reports)
{
    reports->clear();
    if (!db.isOpen())
        return false;
    QSqlQuery query(db);
    query.setForwardOnly(true);
    query.prepare(QStringLiteral("SELECT %1 FROM rvkreport WHERE sn = ? ORDER BY %2")
                      .arg(columns(rowKey), orderBy(rowKey, "ASC")));
    query.addBindValue(sn);
    if (!query.exec())
        return false;
    while (query.next()) {
        ModuleReport report;
        const QSqlRecord row = query.record();
        readReportRow(row, report.values);
        if (rowKey)
            report.rowId = row.value(QStringLiteral("id"));
        reports->append(report);
    }
    return true;
}

namespace {
// The document's "dd.MM.yyyy hh:mm" / "dd.MM.yyyy" in CsvWriter's forms; a
// text that is no such date is left as it stands.
QString csvDate(const QString &text, FieldForm form)
{
    const QDate day = QDate::fromString(text.left(10), QStringLiteral("dd.MM.yyyy"));
    if (form == FieldForm::ReleaseDate)
        return text.size() == 10 && day.isValid() ? CsvWriter::day(day) : text;
    // Read without a zone: a time in a daylight-saving gap is still one.
    const QTime time = QTime::fromString(text.mid(11), QStringLiteral("HH:mm"));
    if (text.size() != 16 || !day.isValid() || !time.isValid())
        return text;
    return CsvWriter::wallClock(QDateTime(day, time, Qt::UTC));
}
} // namespace

bool writeModuleHistoryCsv(const QVector<ReportValues> &reports, QIODevice *device)
{
    CsvWriter csv;
    QStringList header;
    for (const ReportField &field : reportFields())
        header << field.column;
    csv.addRow(header);
    for (const ReportValues &report : reports) {
        QStringList cells;
        for (const ReportField &field : reportFields()) {
            const QString text = fieldText(report, field);
            const bool date = field.form == FieldForm::ReadoutDate || field.form == FieldForm::ReleaseDate;
            cells << (date ? csvDate(text, field.form) : text);
        }
        csv.addRow(cells);
    }
    return csv.writeTo(device);
}
