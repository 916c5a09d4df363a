#pragma once

#include <QSqlDatabase>

// The table every installation shares, created when missing.
extern const char *const CreateReportTableStatement;
// The statement the search table starts from and returns to after an upload.
extern const char *const AllReportsStatement;
extern const char *const ConnectionName;

// The duplicate rule and the searches look rows up by serial number; without
// an index each upload scans the whole table. Adds one when missing; a server
// that refuses (no INDEX privilege) keeps working without it, only slower.
void ensureSerialNumberIndex(QSqlDatabase db);

// A replicated cluster (Galera) applies a DELETE on a table without a primary
// key by scanning the table on every node, and may apply it differently. The
// table gets an auto-increment key that is INVISIBLE, so "SELECT *", INSERTs
// without a column list and older programs see the same columns as before.
// Added when missing; a server that refuses (no ALTER privilege, a server
// without invisible columns) keeps working without it.
void ensureRowKey(QSqlDatabase db);

// The upload's duplicate rule keeps one row per serial number and pair of
// operating times. Replacing the row inside one transaction is enough on one
// server, whose locks order two stations storing the same report; the nodes
// of a cluster do not share locks, and only a unique key makes one of two
// such commits fail (that station archives the report and stores it again
// later) instead of leaving two rows. A table that already holds such
// duplicates gets the same key without uniqueness.
void ensureReportKey(QSqlDatabase db);
