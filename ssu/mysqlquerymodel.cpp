#include "mysqlquerymodel.h"

#include <QSqlQuery>
#include <QSqlRecord>

#include <algorithm>

namespace {
const char *const Columns[] = {"sn", "date", "release_date", "firmware_version", "total_time", "repair_time"};
constexpr int ColumnCount = int(sizeof(Columns) / sizeof(Columns[0]));
constexpr int KeptWindows = 6;
} // namespace

MySqlQueryModel::MySqlQueryModel(QObject *parent)
    : QAbstractTableModel(parent)
{
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
    if (!deferred)
        reload();
}

int MySqlQueryModel::cachedRows() const
{
    int rows = 0;
    for (const Rows &cached : windows)
        rows += cached.size();
    return rows;
}

QStringList MySqlQueryModel::orderTerms(bool reversed) const
{
    // The listing's own order follows the chosen column; the serial number
    // and the date then make it the same on every read, so that windows
    // read apart from each other join without a gap or a repeated row.
    QStringList columns;
    QList<bool> descending;
    const auto add = [&](const QString &column, bool down) {
        if (!column.isEmpty() && !columns.contains(column)) {
            columns << column;
            descending << down;
        }
    };
    if (sortColumn >= 0 && sortColumn < ColumnCount)
        add(QLatin1String(Columns[sortColumn]), sortOrder == Qt::DescendingOrder);
    add(current.order, false);
    add(QStringLiteral("sn"), false);
    add(QStringLiteral("date"), false);

    QStringList terms;
    for (int i = 0; i < columns.size(); ++i)
        terms << (descending.at(i) != reversed ? columns.at(i) + QLatin1String(" DESC") : columns.at(i));
    return terms;
}

QString MySqlQueryModel::windowStatement(int offset, int rows, bool reversed) const
{
    QString statement =
        QStringLiteral("SELECT sn, date, release_date, firmware_version, total_time, repair_time FROM rvkreport");
    if (!current.where.isEmpty())
        statement += QLatin1String(" WHERE ") + current.where;
    statement += QLatin1String(" ORDER BY ") + orderTerms(reversed).join(QLatin1String(", "));
    return statement + QStringLiteral(" LIMIT %1 OFFSET %2").arg(rows).arg(offset);
}

void MySqlQueryModel::reload()
{
    beginResetModel();
    windows.clear();
    recent.clear();
    total = 0;
    error = QSqlError();
    if (!deferred) {
        QString statement = QStringLiteral("SELECT COUNT(*) FROM rvkreport");
        if (!current.where.isEmpty())
            statement += QLatin1String(" WHERE ") + current.where;
        QSqlQuery count(database);
        if (count.exec(statement) && count.next())
            total = count.value(0).toInt();
        else
            error = count.lastError();
    }
    endResetModel();
}

MySqlQueryModel::Rows MySqlQueryModel::fetchWindow(int first) const
{
    const int rows = qMin(window, total - first);
    // A window beyond the middle is read from the far end in reverse order:
    // the server then skips at most half the listing to reach it, and the
    // last rows come as fast as the first.
    const bool reversed = first + rows / 2 > total / 2;
    const int offset = reversed ? total - first - rows : first;

    Rows fetched;
    fetched.reserve(rows);
    QSqlQuery query(database);
    query.setForwardOnly(true);
    if (!query.exec(windowStatement(offset, rows, reversed))) {
        error = query.lastError();
        return fetched;
    }
    while (query.next()) {
        QVector<QVariant> row(ColumnCount);
        for (int column = 0; column < ColumnCount; ++column)
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
        found = windows.insert(number, fetchWindow(number * window));
    } else {
        recent.removeOne(number);
    }
    recent.append(number);
    return &found.value();
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
    if (!deferred)
        reload();
}
