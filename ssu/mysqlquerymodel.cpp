#include "ssu/mysqlquerymodel.h"

#include "ssu/databasethread.h"
#include "ssu/rowcounter.h"


namespace {
using ListingReader::ColumnCount;
using ListingReader::RowIdColumn;
constexpr int KeptWindows = 6;
} // namespace

MySqlQueryModel::MySqlQueryModel(QObject *parent)
    : QAbstractTableModel(parent)
    , counter(new RowCounter(this))
{
    connect(counter, &RowCounter::counted, this, &MySqlQueryModel::takeCount);
    for (const char *column : ListingReader::Columns)
        headers << QString::fromLatin1(column);
}

void MySqlQueryModel::setSearch(const ReportFilter &filter, const ListingSource &from, bool deferLoading)
{
    current = filter;
    source = from;
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
    if (!deferred && source.thread)
        reload();
}

int MySqlQueryModel::cachedRows() const
{
    int rows = 0;
    for (const Rows &cached : windows)
        rows += cached.size();
    return rows;
}

bool MySqlQueryModel::isRowLoaded(int row) const
{
    return row >= 0 && row < total && windows.contains(row / window);
}

ListingQuery MySqlQueryModel::listingQuery() const
{
    ListingQuery query;
    query.filter = current;
    query.rowKey = rowKey;
    query.sortColumn = sortColumn;
    query.sortOrder = sortOrder;
    return query;
}

bool MySqlQueryModel::readsReversed(int first, int rows, bool mayReverse) const
{
    return mayReverse && totalKnown && first + rows / 2 > total / 2;
}

std::function<MySqlQueryModel::WindowRead()> MySqlQueryModel::readerFor(int first, int rows, bool mayReverse) const
{
    const bool reversed = readsReversed(first, rows, mayReverse);
    const int offset = reversed ? total - first - rows : first;
    const ListingQuery query = listingQuery();
    const QString connection = source.connection;
    return [=] {
        // A failed read (connection lost) gives no rows: they show empty, as
        // a failed search shows an empty list.
        WindowRead read;
        read.first = ListingReader::readWindow(QSqlDatabase::database(connection, false), query, offset, rows,
                                               reversed, &read.second);
        return read;
    };
}

bool MySqlQueryModel::readNow(int first, int rows, bool mayReverse, Rows *out) const
{
    out->clear();
    if (!source.thread)
        return false;
    const WindowRead read = source.thread->wait<WindowRead>(readerFor(first, rows, mayReverse), WindowRead(false, {}));
    *out = read.second;
    return read.first;
}

void MySqlQueryModel::dropWindows()
{
    windows.clear();
    recent.clear();
    pending.clear();
    fetchingMore = false;
    ++generation;
}

void MySqlQueryModel::reload()
{
    // Read before the reset, so the view keeps showing the old listing,
    // whole, while the new one is read. A search the user started meanwhile
    // supersedes this one.
    const int number = ++searchNumber;
    Rows first;
    if (!deferred)
        readNow(0, window, false, &first);
    if (number != searchNumber)
        return;
    beginResetModel();
    dropWindows();
    // A failed read (connection lost) lists nothing, as a failed search does;
    // the first window is all a short listing has, and only a full one needs
    // counting.
    total = first.size();
    counting = false;
    totalKnown = true;
    if (total > 0)
        keepWindow(0, first);
    if (!deferred && total == window) {
        counting = true;
        totalKnown = false;
        counter->request(searchNumber, source.target, listingQuery());
    }
    endResetModel();
    emit lengthChanged();
}

void MySqlQueryModel::keepWindow(int number, const Rows &rows) const
{
    while (windows.size() >= KeptWindows && !recent.isEmpty())
        windows.remove(recent.takeFirst());
    windows.insert(number, rows);
    recent.removeOne(number);
    recent.append(number);
}

void MySqlQueryModel::takeCount(int number, int rows)
{
    if (number != searchNumber || !counting)
        return;
    counting = false;
    if (rows < 0 || rows > MaximumRows) {
        // The count could not be had, or is more than a list can show: the
        // list stays open-ended and grows as the user scrolls to its end
        // (fetchMore) until a short window shows where it ends.
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
    return !parent.isValid() && !deferred && !counting && !totalKnown && total < MaximumRows;
}

void MySqlQueryModel::fetchMore(const QModelIndex &parent)
{
    if (!canFetchMore(parent) || fetchingMore || !source.thread)
        return;
    // The listing so far ends on a window border: the next window starts
    // where it ends.
    fetchingMore = true;
    const int first = total;
    const int rows = window;
    const int forGeneration = generation;
    source.thread->post<WindowRead>(
        readerFor(first, rows, false), this, [this, first, rows, forGeneration](const WindowRead &read) {
            const Rows &more = read.second;
            if (forGeneration != generation)
                return;
            fetchingMore = false;
            if (first != total)
                return;
            if (more.size() < rows)
                totalKnown = true;
            if (!more.isEmpty()) {
                beginInsertRows(QModelIndex(), total, total + more.size() - 1);
                total += more.size();
                keepWindow(first / rows, more);
                endInsertRows();
            }
            emit lengthChanged();
        });
}

void MySqlQueryModel::requestWindow(int number) const
{
    if (pending.contains(number) || !source.thread)
        return;
    pending.insert(number);
    const int first = number * window;
    const int rows = qMin(window, total - first);
    const int forGeneration = generation;
    auto *self = const_cast<MySqlQueryModel *>(this);
    source.thread->post<WindowRead>(
        readerFor(first, rows, true), self, [self, number, first, rows, forGeneration](const WindowRead &read) {
            if (forGeneration != self->generation)
                return;
            self->pending.remove(number);
            self->keepWindow(number, read.second);
            const int last = qMin(first + rows, self->total) - 1;
            if (last >= first)
                emit self->dataChanged(self->index(first, 0), self->index(last, ColumnCount - 1));
        });
}

const MySqlQueryModel::Rows *MySqlQueryModel::windowOf(int row) const
{
    const int number = row / window;
    auto found = windows.find(number);
    if (found == windows.end()) {
        requestWindow(number);
        return nullptr;
    }
    recent.removeOne(number);
    recent.append(number);
    return &found.value();
}

StoredReportKey MySqlQueryModel::reportKey(int row) const
{
    StoredReportKey key;
    if (row < 0 || row >= total)
        return key;
    const int number = row / window;
    if (!windows.contains(number)) {
        const int first = number * window;
        Rows read;
        readNow(first, qMin(window, total - first), true, &read);
        keepWindow(number, read);
    }
    const Rows &rows = windows[number];
    const int inWindow = row % window;
    if (inWindow >= rows.size())
        return key;
    const QVector<QVariant> &cells = rows.at(inWindow);
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
    if (!rows || inWindow >= rows->size())
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
