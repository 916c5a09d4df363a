#pragma once

#include "protocol/attempt.h"
#include "report/reportrecord.h"

#include <QMetaType>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QString>

// What is stored for a module whose release date or firmware word is unset:
// the columns are NOT NULL, and another module's texts must not stand in.
// 1970-01-01 is far before any module was built, so it reads as "unknown" and
// no realistic release-date search finds it.
extern const char *const UnknownReleaseDate;

// What became of a report handed to the SSU. Replaced: the table held it
// already (the duplicate rule's same serial number and operating times), and
// now holds this copy instead; a user sending a report twice learns so.
enum class UploadOutcome { Failed, Inserted, Replaced };

// Stored (ok) as Inserted or Replaced, or Failed with the reason as the
// server or driver said it (not translated).
using UploadResult = Attempt<UploadOutcome>;

// Stores one report row with the duplicate rule: an earlier row of the same
// serial number and the same two operating times is replaced. The replacement
// and the insert form one transaction, so a failed insert keeps the old row.
// values.date is the report date ("dd.MM.yyyy HH:mm"). Failed when a
// statement (or the commit) fails, with the server's reason.
UploadResult storeReportRow(QSqlDatabase &db, QSqlQuery &query, const ReportValues &values);

// A stored row's columns into values, in the texts the document shows:
// "dd.MM.yyyy hh:mm" for the date, "dd.MM.yyyy" for the release date (empty
// for the unknown one).
void readReportRow(const QSqlRecord &row, ReportValues &values);

Q_DECLARE_METATYPE(UploadOutcome)
Q_DECLARE_METATYPE(UploadResult)
