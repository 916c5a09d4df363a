#pragma once

#include "report/reportrecord.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>

// What is stored for a module whose release date or firmware word is unset:
// the columns are NOT NULL, and another module's texts must not stand in.
// 1970-01-01 is far before any module was built, so it reads as "unknown" and
// no realistic release-date search finds it.
extern const char *const UnknownReleaseDate;

// Stores one report row with the duplicate rule: an earlier row of the same
// serial number and the same two operating times is replaced. The replacement
// and the insert form one transaction, so a failed insert keeps the old row.
// values.date is the report date ("dd.MM.yyyy HH:mm"). Returns false when the
// insert (or its commit) fails.
bool storeReportRow(QSqlDatabase &db, QSqlQuery &query, const ReportValues &values);

// A stored row's columns into values, in the texts the document shows:
// "dd.MM.yyyy hh:mm" for the date, "dd.MM.yyyy" for the release date (empty
// for the unknown one).
void readReportRow(const QSqlRecord &row, ReportValues &values);
