#include "ssu/mysqlquerymodel.h"

#include "ssu/reportschema.h"
#include "ssu/rowcounter.h"

#include <QSqlQuery>

#include <algorithm>

namespace {
const char *const Columns[] = {"sn", "date", "release_date", "firmware_version", "total_time", "repair_time"};
constexpr int ColumnCount = int(sizeof(Columns) / sizeof(Columns[0]));
// Where the listed row carries the invisible row key, after the shown columns.
constexpr int RowIdColumn = ColumnCount;
constexpr int KeptWindows = 6;
// Windows this far from either end are found through their first key.
constexpr int DeepOffsetWindows = 4;
} // namespace

MySqlQueryModel::MySqlQueryModel(QObject *parent)
    : QAbstractTableModel(parent)
    , counter(new RowCounter(this))
{
    connect(counter, &RowCounter::counted, this, &MySqlQueryModel::takeCount);
    for (const char *column : Columns)
        headers << QString::fromLatin1(column);
}

void MySqlQueryModel::setSearch(const Search &search, const QSqlDatabase &db, bool deferLoading)
{
    current = search;
    database = db;
    deferred = deferLoading;
    reload();
}

void MySqlQueryModel::load()
{
    if (!deferred)
        return;
    deferred = false;
    reload();
}

void MySqlQueryModel::setWindowSize(int rows)
{
    window = qMax(1, rows);
    if (!deferred && database.isValid())
        reload();
}

int MySqlQueryModel::cachedRows() const
{
    int rows = 0;
    for (const Rows &cached : windows)
        rows += cached.size();
    return rows;
}

QStringList MySqlQueryModel::orderColumns() const
{
    // The listing's own order follows the chosen column; the serial number
    // and the date come next, and the last terms are unique: two reports of
    // one module made in the same minute ("twins") would otherwise tie, and
    // the server may put tied rows in a different order on every read.
    QStringList columns;
    if (sortColumn >= 0 && sortColumn < ColumnCount)
        columns << QLatin1String(Columns[sortColumn]);
    QStringList following{current.order, QStringLiteral("sn"), QStringLiteral("date")};
    if (rowKey)
        following << QStringLiteral("id");
    else
        following << QStringLiteral("total_time") << QStringLiteral("repair_time");
    for (const QString &column : qAsConst(following)) {
        if (!column.isEmpty() && !columns.contains(column))
            columns << column;
    }
    return columns;
}

bool MySqlQueryModel::descending(bool reversed) const
{
    // All terms go one way, so that one index, read forwards or backwards,
    // delivers them without sorting.
    return (sortColumn >= 0 && sortOrder == Qt::DescendingOrder) != reversed;
}

QStringList MySqlQueryModel::orderTerms(bool reversed) const
{
    QStringList terms;
    for (const QString &column : orderColumns())
        terms << (descending(reversed) ? column + QLatin1String(" DESC") : column);
    return terms;
}

QString MySqlQueryModel::whereClause(const QString &extra) const
{
    if (current.where.isEmpty())
        return extra.isEmpty() ? QString() : QLatin1String(" WHERE ") + extra;
    if (extra.isEmpty())
        return QLatin1String(" WHERE ") + current.where;
    return QStringLiteral(" WHERE (%1) AND (%2)").arg(current.where, extra);
}

QString MySqlQueryModel::projection() const
{
    return rowKey ? QLatin1String(ListingWithRowKeyProjection) : QLatin1String(ListingProjection);
}

bool MySqlQueryModel::readFromKey(QSqlQuery &query, int offset, int rows, bool reversed) const
{
    // Skipping far into the listing row by row reads every skipped row from
    // the table. The order's columns alone are in an index, so the window's
    // first key is found in the index, and the rows are then read from that
    // key on. Rows sharing that key before the window are skipped by count.
    const QStringList columns = orderColumns();
    const QString order = QLatin1String(" ORDER BY ") + orderTerms(reversed).join(QLatin1String(", "));
    QSqlQuery keys(database);
    keys.setForwardOnly(true);
    if (!keys.exec(QStringLiteral("SELECT ") + columns.join(QLatin1String(", ")) + QLatin1String(" FROM rvkreport")
                   + whereClause(QString()) + order + QStringLiteral(" LIMIT %1 OFFSET %2").arg(rows).arg(offset))
        || !keys.next())
        return false;
    QVariantList firstKey;
    for (int i = 0; i < columns.size(); ++i)
        firstKey << keys.value(i);
    int leading = 1;
    while (keys.next()) {
        bool same = true;
        for (int i = 0; i < columns.size() && same; ++i)
            same = keys.value(i) == firstKey.at(i);
        if (!same)
            break;
        ++leading;
    }
    if (leading >= rows)
        return false;

    QStringList equal;
    for (const QString &column : columns)
        equal << column + QLatin1String(" = ?");
    QSqlQuery ties(database);
    ties.prepare(QLatin1String("SELECT COUNT(*) FROM rvkreport") + whereClause(equal.join(QLatin1String(" AND "))));
    for (const QVariant &value : qAsConst(firstKey))
        ties.addBindValue(value);
    if (!ties.exec() || !ties.next())
        return false;
    const int before = qMax(0, ties.value(0).toInt() - leading);

    // (a, b, c) at or after the key: a beyond it, or a equal and b beyond,
    // or a and b equal and c at or beyond.
    const QString beyond = descending(reversed) ? QStringLiteral(" < ?") : QStringLiteral(" > ?");
    const QString atOrBeyond = descending(reversed) ? QStringLiteral(" <= ?") : QStringLiteral(" >= ?");
    QStringList alternatives;
    QVariantList values;
    for (int i = 0; i < columns.size(); ++i) {
        QStringList terms;
        for (int j = 0; j < i; ++j) {
            terms << columns.at(j) + QLatin1String(" = ?");
            values << firstKey.at(j);
        }
        terms << columns.at(i) + (i + 1 < columns.size() ? beyond : atOrBeyond);
        values << firstKey.at(i);
        alternatives << QLatin1Char('(') + terms.join(QLatin1String(" AND ")) + QLatin1Char(')');
    }
    query.prepare(projection() + whereClause(alternatives.join(QLatin1String(" OR "))) + order
                  + QStringLiteral(" LIMIT %1 OFFSET %2").arg(rows).arg(before));
    for (const QVariant &value : qAsConst(values))
        query.addBindValue(value);
    return query.exec();
}

QString MySqlQueryModel::windowStatement(int offset, int rows, bool reversed) const
{
    return projection() + whereClause(QString()) + QLatin1String(" ORDER BY ") + orderTerms(reversed).join(QLatin1String(", "))
        + QStringLiteral(" LIMIT %1 OFFSET %2").arg(rows).arg(offset);
}

void MySqlQueryModel::dropWindows()
{
    windows.clear();
    recent.clear();
}

void MySqlQueryModel::reload()
{
    beginResetModel();
    dropWindows();
    total = 0;
    counting = false;
    totalKnown = true;
    ++searchNumber;
    if (!deferred) {
        // The first window is all a short listing has; only a full one needs
        // counting.
        Rows first = fetchWindow(0, window, false);
        total = first.size();
        if (total > 0) {
            windows.insert(0, first);
            recent.append(0);
        }
        if (total == window) {
            counting = true;
            totalKnown = false;
            counter->request(searchNumber, database.connectionName(),
                             QLatin1String("SELECT COUNT(*) FROM rvkreport") + whereClause(QString()));
        }
    }
    endResetModel();
    emit lengthChanged();
}

void MySqlQueryModel::takeCount(int number, int rows)
{
    if (number != searchNumber || !counting)
        return;
    counting = false;
    if (rows < 0) {
        // The count could not be had: the list stays open-ended and grows as
        // the user scrolls to its end (fetchMore) until a short window shows
        // where it ends.
        emit lengthChanged();
        return;
    }
    totalKnown = true;
    // Rows removed on the server since the first window was read leave the
    // list as it is; their places read empty.
    if (rows > total) {
        beginInsertRows(QModelIndex(), total, rows - 1);
        total = rows;
        endInsertRows();
    }
    emit lengthChanged();
}

bool MySqlQueryModel::canFetchMore(const QModelIndex &parent) const
{
    return !parent.isValid() && !deferred && !counting && !totalKnown;
}

void MySqlQueryModel::fetchMore(const QModelIndex &parent)
{
    if (!canFetchMore(parent))
        return;
    // The listing so far ends on a window border: the next window starts
    // where it ends.
    const int first = total;
    Rows more = fetchWindow(first, window, false);
    if (more.size() < window)
        totalKnown = true;
    if (!more.isEmpty()) {
        beginInsertRows(QModelIndex(), total, total + more.size() - 1);
        total += more.size();
        while (windows.size() >= KeptWindows && !recent.isEmpty())
            windows.remove(recent.takeFirst());
        windows.insert(first / window, more);
        recent.append(first / window);
        endInsertRows();
    }
    emit lengthChanged();
}

MySqlQueryModel::Rows MySqlQueryModel::fetchWindow(int first, int rows, bool mayReverse) const
{
    // A window beyond the middle is read from the far end in reverse order:
    // the server then skips at most half the listing to reach it, and the
    // last rows come as fast as the first. Only a listing of known length
    // has a far end.
    const bool reversed = mayReverse && totalKnown && first + rows / 2 > total / 2;
    const int offset = reversed ? total - first - rows : first;

    Rows fetched;
    fetched.reserve(rows);
    QSqlQuery query(database);
    query.setForwardOnly(true);
    // A failed read (connection lost) shows empty rows, as a failed search
    // shows an empty list.
    const bool deep = offset >= DeepOffsetWindows * window;
    if (!(deep && readFromKey(query, offset, rows, reversed)) && !query.exec(windowStatement(offset, rows, reversed)))
        return fetched;
    const int width = rowKey ? ColumnCount + 1 : ColumnCount;
    while (query.next()) {
        QVector<QVariant> row(width);
        for (int column = 0; column < width; ++column)
            row[column] = query.value(column);
        fetched.append(row);
    }
    if (reversed)
        std::reverse(fetched.begin(), fetched.end());
    return fetched;
}

const MySqlQueryModel::Rows *MySqlQueryModel::windowOf(int row) const
{
    const int number = row / window;
    auto found = windows.find(number);
    if (found == windows.end()) {
        while (windows.size() >= KeptWindows && !recent.isEmpty())
            windows.remove(recent.takeFirst());
        const int first = number * window;
        found = windows.insert(number, fetchWindow(first, qMin(window, total - first), true));
    } else {
        recent.removeOne(number);
    }
    recent.append(number);
    return &found.value();
}

StoredReportKey MySqlQueryModel::reportKey(int row) const
{
    StoredReportKey key;
    if (row < 0 || row >= total)
        return key;
    const Rows *rows = windowOf(row);
    const int inWindow = row % window;
    if (inWindow >= rows->size())
        return key;
    const QVector<QVariant> &cells = rows->at(inWindow);
    key.present = true;
    key.sn = cells.at(0).toUInt();
    key.date = cells.at(1).toDateTime();
    key.totalTime = cells.at(4).toString();
    key.repairTime = cells.at(5).toString();
    if (rowKey)
        key.rowId = cells.value(RowIdColumn);
    return key;
}

int MySqlQueryModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : total;
}

int MySqlQueryModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant MySqlQueryModel::data(const QModelIndex &item, int role) const
{
    if (!item.isValid() || item.row() >= total || item.column() >= ColumnCount)
        return QVariant();
    if (role == Qt::TextAlignmentRole)
        return int(Qt::AlignHCenter | Qt::AlignVCenter);
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return QVariant();
    const Rows *rows = windowOf(item.row());
    const int inWindow = item.row() % window;
    // A listing that shrank on the server since it was counted reads short.
    if (inWindow >= rows->size())
        return QVariant();
    return rows->at(inWindow).at(item.column());
}

QVariant MySqlQueryModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && (role == Qt::DisplayRole || role == Qt::EditRole) && section >= 0
        && section < headers.size())
        return headers.at(section);
    return QAbstractTableModel::headerData(section, orientation, role);
}

bool MySqlQueryModel::setHeaderData(int section, Qt::Orientation orientation, const QVariant &value, int role)
{
    if (orientation != Qt::Horizontal || (role != Qt::DisplayRole && role != Qt::EditRole) || section < 0
        || section >= headers.size())
        return false;
    headers[section] = value.toString();
    emit headerDataChanged(orientation, section, section);
    return true;
}

void MySqlQueryModel::sort(int column, Qt::SortOrder order)
{
    if (column < 0 || column >= ColumnCount)
        column = -1;
    // The view repeats its sort after every search; the listing is already in
    // that order then.
    if (column == sortColumn && (column < 0 || order == sortOrder))
        return;
    sortColumn = column;
    sortOrder = order;
    // The rows stay the same; only their order is read anew, and a count
    // still running stays valid.
    beginResetModel();
    dropWindows();
    endResetModel();
}
