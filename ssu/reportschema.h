#pragma once

#include <QSqlDatabase>
#include <QString>

// The table every installation shares, created when missing: every report
// field's column, NOT NULL, in the fields' order.
QString createReportTableStatement();
// What every listing of stored reports selects (the listed fields' columns);
// the searches add their WHERE and ORDER BY, the list its window. With
// rowKey, the invisible row key comes last, for a table that has one: the
// list remembers which report each row is.
QString listingProjection(bool rowKey = false);
extern const char *const ConnectionName;

// The searches, their orders, the open and delete lookups and the upload's
// duplicate rule each need an index once the table holds the fleet's
// history, and a replicated cluster needs a primary key to apply deletes;
// the table is created without any. Adds those missing (the key as an
// invisible auto-increment column "id", the duplicate rule's index unique
// where the rows allow it), in one pass over the table where the server
// allows it, and leaves those present alone, so a table created before them
// gets them once, at the first start that can. A server that refuses (no
// ALTER or INDEX privilege) keeps working without them, only slower. Returns
// the number of keys and indexes added. The table is the shared one unless a
// test names its own.
//
// A duplicate index left without uniqueness (the table held a report twice
// when it was added) is made unique in one statement whenever this runs,
// which the server refuses, changing nothing, while duplicates remain.
int ensureReportIndexes(QSqlDatabase db, const QString &table = QStringLiteral("rvkreport"));

// The one ALTER TABLE that adds everything ensureReportIndexes() would, and
// makes a duplicate index left without uniqueness unique, so that the server
// either completes the table or leaves it as it was. Empty when nothing is
// missing or the catalogue cannot be asked (missingReportKeys() tells which).
QString reportMigrationStatement(QSqlDatabase db, const QString &table = QStringLiteral("rvkreport"));

// How many of the keys and indexes ensureReportIndexes() adds the table
// lacks, a duplicate index left without uniqueness counted as missing; -1
// when the catalogue cannot be asked.
int missingReportKeys(QSqlDatabase db, const QString &table = QStringLiteral("rvkreport"));

// Whether the table has the invisible row key "id" (false also when the
// catalogue cannot be asked).
bool reportTableHasRowKey(QSqlDatabase db, const QString &table = QStringLiteral("rvkreport"));
