#pragma once

#include <QSqlDatabase>
#include <QString>

// The table every installation shares, created when missing.
extern const char *const CreateReportTableStatement;
// The statement the search table starts from and returns to after an upload.
extern const char *const AllReportsStatement;
extern const char *const ConnectionName;

// The searches, their orders, the open and delete lookups and the upload's
// duplicate rule each need an index once the table holds the fleet's
// history; the table is created without any. Adds those missing, in one pass
// over the table, and leaves those present alone, so a table created before
// them gets them once, at the first start that can. A server that refuses
// (no INDEX privilege) keeps working without them, only slower. Returns the
// number of indexes added. The table is the shared one unless a test names
// its own.
int ensureReportIndexes(QSqlDatabase db, const QString &table = QStringLiteral("rvkreport"));
