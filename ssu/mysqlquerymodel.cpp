#include "ssu/mysqlquerymodel.h"

#include "ssu/driver/databasethread.h"
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
    const SsuTarget target = source.target;
    return [=] {
        WindowRead read;
        read.first = SsuConnection::readWithReopen(connection, target, [&](QSqlDatabase db) {
            return ListingReader::readWindow(db, query, offset, rows, reversed, &read.second);
        });
        if (!read.first)
            read.second.clear();
        return read;
    };
}

void MySqlQueryModel::noteRead(bool ok) const
{
    if (ok == !lastReadFailed)
        return;
    lastReadFailed = !ok;
    emit const_cast<MySqlQueryModel *>(this)->lengthChanged();
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
    // The view keeps showing the old listing, whole, while the new one's
    // first window is read. A search or an order the user picks meanwhile
    // supersedes this one: its answer is dropped.
    const int number = ++searchNumber;
    if (deferred || !source.thread) {
        loadingFirst = false;
        takeFirstWindow(number, WindowRead(deferred, {}));
        return;
    }
    loadingFirst = true;
    emit lengthChanged();
    source.thread->post<WindowRead>(readerFor(0, window, false), this,
                                    [this, number](const WindowRead &read) { takeFirstWindow(number, read); });
}

void MySqlQueryModel::takeFirstWindow(int number, const WindowRead &read)
{
    if (number != searchNumber)
        return;
    loadingFirst = false;
    beginResetModel();
    dropWindows();
    // A failed read lists nothing and says so (readFailed()); the first
    // window is all a short listing has, and only a full one needs counting.
    const Rows &first = read.second;
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
    if (!deferred)
        lastReadFailed = !read.first;
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
            noteRead(read.first);
            if (!read.first)
                return;
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
            // A failed window reads empty and says so; it is read again when
            // the view next asks for it.
            self->noteRead(read.first);
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
    const Rows *rows = windowOf(row);
    const int inWindow = row % window;
    if (!rows || inWindow >= rows->size())
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

QString MySqlQueryModel::loadingText()
{
    return QStringLiteral("\u2026");
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
    if (!rows)
        return loadingText();
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
    // A first window still being read comes in the old order: the listing is
    // read again in the new one.
    if (loadingFirst) {
        reload();
        return;
    }
    // The rows stay the same; only their order is read anew, and a count
    // still running stays valid.
    beginResetModel();
    dropWindows();
    endResetModel();
}
