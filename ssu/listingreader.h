#pragma once

#include "ssu/reportfilter.h"

#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

// What a listing of stored reports shows and in which order: the search's
// filter (which also gives the order until the user picks another), the
// column the user picked (-1: none), and whether the table has its invisible
// row key "id" (without it the operating times tell reports of one module and
// minute apart).
struct ListingQuery
{
    ReportFilter filter;
    bool rowKey = false;
    int sortColumn = -1;
    Qt::SortOrder sortOrder = Qt::AscendingOrder;
};

// The statements of a listing, read a window at a time. Every order ends in
// terms that no two reports share, so windows read apart from each other,
// forwards or backwards, join without a gap or a repeat. Runs on whichever
// thread owns the connection.
namespace ListingReader {

using Row = QVector<QVariant>;
using Rows = QVector<Row>;

// The columns shown, in order; a listing with the row key carries "id" after
// them.
constexpr int ColumnCount = 6;
extern const char *const Columns[ColumnCount];
constexpr int RowIdColumn = ColumnCount;

// The rows from offset on, at most rows of them, in the listing's order; with
// reversed, offset counts from the far end (the rows still come in the
// listing's order). False when the read failed, or when the server sent more
// rows than were asked for.
bool readWindow(QSqlDatabase db, const ListingQuery &query, int offset, int rows, bool reversed, Rows *out);

// How many reports the listing holds; -1 when the count failed.
qint64 count(QSqlDatabase db, const ListingQuery &query);

} // namespace ListingReader
