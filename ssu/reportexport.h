#pragma once

#include "protocol/attempt.h"

#include <QDate>
#include <QSqlDatabase>
#include <QString>

#include <functional>
#include <optional>

class QIODevice;

enum class ExportFormat { Csv, Json };

// Which stored reports an export writes.
struct ExportSelection
{
    // That module's reports; every module's when empty. 0 is a module's
    // number like any other: "Delete all data" leaves a module with it.
    std::optional<quint32> serial;
    // Report dates, whole days, both inclusive; an invalid one leaves that
    // side open.
    QDate from;
    QDate to;
};

// How many reports an export reads from the server at a time, unless the
// caller asks for another number; the reports of one module and minute are
// always read together, so a page may hold a few more.
constexpr int ExportPageRows = 2000;

// Writes every stored report the selection names to out, in (sn, date, row
// key) order, paging through the table by key so that memory stays the same
// whatever the table's size. Without the row key (rowKey false) the reports
// of one module and minute are ordered by their operating times and then by
// every other column.
//
// Every column but the row key, in the table's order. CSV (CsvWriter's form)
// has a header line of the column names and every value as stored. JSON is
// an array with one object a line, for programs that should not need to know
// the table's texts: the counting columns and the operating times (minutes)
// are numbers, each histogram column an array of its bin percents, the
// firmware a text. Both give the dates in CsvWriter's forms: the report date
// as "yyyy-MM-ddTHH:mm:ss" (the station's wall clock, no zone), the release
// date as "yyyy-MM-dd".
//
// The pages are read in one transaction on db, rolled back at the end (db
// must not be in one of the caller's): under the server's default isolation
// an export that runs while stations upload writes the table as it was at
// its first page. A report whose value cannot be read (a date the server
// keeps as zero, a text longer than its column; in JSON also an operating
// time or a bin percent that is no number) ends the export with a
// message naming it, as does a failed statement or write; what was written
// until then stays in out. progress, if given, is called after every page
// with the reports written so far.
//
// The value is the number of reports written, also when the export failed
// part-way.
Attempt<qint64> exportReports(QSqlDatabase db, bool rowKey, const ExportSelection &selection, ExportFormat format,
                              QIODevice *out, const std::function<void(qint64 rowsSoFar)> &progress = {},
                              int pageRows = ExportPageRows);
