#pragma once

#include "ssu/listingreader.h"
#include "ssu/driver/ssuconnection.h"
#include "ssu/storedreportkey.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QList>
#include <QPair>
#include <QSet>
#include <QStringList>
#include <QVector>

#include <functional>

// The search table's model. The shared table grows for years, so the model
// never holds a whole listing: it reads the rows of a search in windows of
// windowSize() rows as the view asks for them, keeping only the few windows
// last used. Every read runs on the session's database thread: a search
// shows its first window once it has arrived (the caller's thread handles
// its events meanwhile); a window the view scrolls to reads empty until it
// arrives. When the first window is full, the rows are counted in the
// background and the list grows to its full length when the count arrives.
// Should the count fail, or name more rows than a list can hold, the list
// grows a window at a time as the user reaches its end. A header click
// re-orders on the server. Reads that fail because the server dropped the
// connection open it again once (SsuConnection::readWithReopen). Every cell is centred, whatever its type, so
// numbers, dates and time texts line up under their centred headers.
class DatabaseThread;
class RowCounter;

// Where a listing is read: the session's database thread, its connection
// there, and the target the row counter opens its own connection to.
struct ListingSource
{
    DatabaseThread *thread = nullptr;
    QString connection;
    SsuTarget target;
};

class MySqlQueryModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit MySqlQueryModel(QObject *parent = nullptr);

    // Whether the table has its invisible row key "id"; without it the
    // operating times tell reports of one module and minute apart. Takes
    // effect at the next search.
    void setRowKey(bool present) { rowKey = present; }
    bool hasRowKey() const { return rowKey; }

    // The most rows a list shows: a count beyond it (a forged one, or a
    // table far beyond the fleet's) leaves the list open-ended.
    static constexpr int MaximumRows = 5000000;

    // Replaces the listing with the reports the filter names, in the order it
    // gives until the user picks another. A deferred search only remembers
    // what to list (the view shows nothing) until load() runs it: nothing is
    // read for a window nobody looks at.
    void setSearch(const ReportFilter &filter, const ListingSource &source, bool deferred = false);
    void load();
    bool isDeferred() const { return deferred; }
    // True while the full length of the listing is still being counted.
    bool isCounting() const { return counting; }
    // False while the listing's length is not known: still being counted, or
    // the count failed and the end has not been read yet.
    bool isTotalKnown() const { return totalKnown; }

    // The identity of the report listed in that row, as its window brought
    // it; invalid while the window is being read (it is asked for then) and
    // for a row that reads empty.
    StoredReportKey reportKey(int row) const;
    // True while the first window of a search or a new order is being read.
    bool isLoading() const { return loadingFirst; }
    // Whether the last read of the listing failed (the SSU did not answer):
    // an empty list then means nothing.
    bool readFailed() const { return lastReadFailed; }
    // The text a loading row's cells show.
    static QString loadingText();

    void setWindowSize(int rows);
    int windowSize() const { return window; }
    // Rows held in memory now, for checking that a long listing stays bounded.
    int cachedRows() const;
    // Whether the row's window has arrived (a row that reads empty because
    // its window is still being read is not loaded).
    bool isRowLoaded(int row) const;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &item, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    bool setHeaderData(int section, Qt::Orientation orientation, const QVariant &value,
                       int role = Qt::EditRole) override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;
    bool canFetchMore(const QModelIndex &parent) const override;
    void fetchMore(const QModelIndex &parent) override;

signals:
    // The listing's length, or whether it is known, changed.
    void lengthChanged();

private:
    using Rows = ListingReader::Rows;
    // Whether a window's read succeeded, and its rows.
    using WindowRead = QPair<bool, Rows>;

    ListingQuery listingQuery() const;
    void reload();
    void dropWindows();
    void keepWindow(int number, const Rows &rows) const;
    void takeCount(int number, int rows);
    // The window's rows if held; otherwise asks for them and returns null.
    const Rows *windowOf(int row) const;
    void requestWindow(int number) const;
    // The read of a window, to be run on the database thread.
    std::function<WindowRead()> readerFor(int first, int rows, bool mayReverse) const;
    void takeFirstWindow(int number, const WindowRead &read);
    void noteRead(bool ok) const;
    // The offset and direction a window is read with: one beyond the
    // middle is read from the far end in reverse order, so the server skips
    // at most half the listing to reach it. Only a listing of known length
    // has a far end.
    bool readsReversed(int first, int rows, bool mayReverse) const;

    ReportFilter current;
    ListingSource source;
    bool rowKey = false;
    bool deferred = false;
    bool counting = false;
    bool totalKnown = true;
    bool fetchingMore = false;
    bool loadingFirst = false;
    mutable bool lastReadFailed = false;
    int searchNumber = 0;
    // Changes whenever what the held windows show is replaced (a search, a
    // new order), so that windows read for the old listing are dropped.
    int generation = 0;
    RowCounter *counter = nullptr;
    int window = 256;
    int total = 0;
    int sortColumn = -1;
    Qt::SortOrder sortOrder = Qt::AscendingOrder;
    QStringList headers;

    // Windows by number, and the order they were last used in (most recent
    // last); a handful is enough for the view and a scroll step either way.
    mutable QHash<int, Rows> windows;
    mutable QList<int> recent;
    mutable QSet<int> pending;
};
