#include "ssu/modulehistory.h"

#include "ssu/reportupload.h"

#include <QSqlQuery>
#include <QSqlRecord>

namespace {

// "hh:mm" texts compare as numbers once the longer one counts as larger.
QString twinOrder(bool rowKey, const char *direction)
{
    const QString order = QStringLiteral("date %1, CHAR_LENGTH(total_time) %1, total_time %1").arg(QLatin1String(direction));
    return rowKey ? order + QStringLiteral(", id %1").arg(QLatin1String(direction)) : order;
}

QString columns(bool rowKey)
{
    return rowKey ? QStringLiteral("*, id") : QStringLiteral("*");
}

} // namespace

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
                      .arg(columns(rowKey), twinOrder(rowKey, "DESC")));
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
                      .arg(columns(rowKey), twinOrder(rowKey, "ASC")));
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
