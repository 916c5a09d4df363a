#pragma once

#include "report/reportrecord.h"
#include "ssu/storedreportkey.h"

#include <QSqlDatabase>
#include <QStringList>
#include <QVariant>
#include <QVector>

class QIODevice;

// One stored report with what tells it from its twins.
struct ModuleReport
{
    ReportValues values;
    // Null where the table has no row key.
    QVariant rowId;
};

// A module's stored reports in the order it made them: by date, and among
// twins (one minute, one module) by operating time, which only grows while
// the module runs; the row key settles the rest. Both lookups read only the
// module's own rows through the (sn, date) index.

// That order as SQL terms over the columns of alias (a table alias, or empty
// for none), oldest first. An operating time that is no "h:mm" text sorts
// before every readable one. Without the row key the inter-repair time and
// then every column's bytes follow, so that twins the server's collation
// calls equal still have one order; only reports equal in every byte tie,
// and they are the same report stored twice. The lookups, the history and
// the fleet all order by these terms.
QStringList reportOrderTerms(bool rowKey, const QString &alias = QString());
// "hhhh:mm" of alias's column as whole minutes; NULL when the text is no such
// time (a sign, a minute past 59, no colon).
QString operatingMinutesTerm(const QString &alias, const QString &column);

// The module's latest stored report into values. NotFound: none is stored.
StoredReportResult readLatestReport(QSqlDatabase db, quint32 sn, bool rowKey, ReportValues *values);
// Every stored report of the module, oldest first; false when the query
// fails (reports is then empty).
bool readModuleHistory(QSqlDatabase db, quint32 sn, bool rowKey, QVector<ModuleReport> *reports);

// The reports as the history window exports them, as every CSV of the
// program is written (CsvWriter): a header of the column names, one line per
// report with the stored columns, the dates in CsvWriter's forms (a date
// that cannot be read stays as its text, an unknown release date empty).
// False when the device does not take it all.
bool writeModuleHistoryCsv(const QVector<ReportValues> &reports, QIODevice *device);
