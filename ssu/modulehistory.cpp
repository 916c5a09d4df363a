#include "ssu/modulehistory.h"

#include "ssu/reportupload.h"

#include <QSqlQuery>
#include <QSqlRecord>

namespace {

// "hh:mm" texts compare as numbers once the longer one counts as larger.
QString moduleQuery(bool rowKey, const char *direction, const char *limit)
{
    const QString order = QStringLiteral("date %1, CHAR_LENGTH(total_time) %1, total_time %1").arg(QLatin1String(direction));
    return QStringLiteral("SELECT *%1 FROM rvkreport WHERE sn = ? ORDER BY %2%3%4")
        .arg(rowKey ? QStringLiteral(", id") : QString(), order,
             rowKey ? QStringLiteral(", id %1").arg(QLatin1String(direction)) : QString(), QLatin1String(limit));
}

} // namespace

StoredReportResult readLatestReport(QSqlDatabase db, quint32 sn, bool rowKey, ReportValues *values)
{
    if (!db.isOpen())
        return StoredReportResult::Failed;
    QSqlQuery query(db);
    query.setForwardOnly(true);
    query.prepare(moduleQuery(rowKey, "DESC", " LIMIT 1"));
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
    query.prepare(moduleQuery(rowKey, "ASC", ""));
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
