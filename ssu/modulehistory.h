#pragma once

#include "report/reportrecord.h"
#include "ssu/storedreportkey.h"

#include <QSqlDatabase>
#include <QVariant>
#include <QVector>

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

// The module's latest stored report into values. NotFound: none is stored.
StoredReportResult readLatestReport(QSqlDatabase db, quint32 sn, bool rowKey, ReportValues *values);
// Every stored report of the module, oldest first; false when the query
// fails (reports is then empty).
bool readModuleHistory(QSqlDatabase db, quint32 sn, bool rowKey, QVector<ModuleReport> *reports);
