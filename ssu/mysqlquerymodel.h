#pragma once

#include "ssu/storedreportkey.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QList>
#include <QSqlDatabase>
#include <QStringList>
#include <QVector>

// The search table's model. The shared table grows for years, so the model
// never holds a whole listing: it reads the rows of a search in windows of
// windowSize() rows as the view asks for them, keeping only the few windows
// last used. A search shows its first window at once; when that is full, the
// rows are counted in the background and the list grows to its full length
// when the count arrives. Should the count fail, the list grows a window at a
// time as the user reaches its end. A header click re-orders on the server.
// Every order ends in terms that no two reports share, so windows read apart
// from each other, forwards or backwards, join without a gap or a repeat.
// Every cell is centred, whatever its type, so numbers, dates and time texts
// line up under their centred headers.
class QSqlQuery;
class RowCounter;

class MySqlQueryModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    // What a search lists: the condition after WHERE (empty for all rows) and
    // the column the listing is ordered by until the user picks another.
    struct Search
    {
        QString where;
        QString order;
    };

    explicit MySqlQueryModel(QObject *parent = nullptr);

    // Whether the table has its invisible row key "id"; without it the
    // operating times tell reports of one module and minute apart. Takes
    // effect at the next search.
    void setRowKey(bool present) { rowKey = present; }
    bool hasRowKey() const { return rowKey; }

    // Replaces the listing. A deferred search only remembers what to list
    // (the view shows nothing) until load() runs it: nothing is read for a
    // window nobody looks at.
    void setSearch(const Search &search, const QSqlDatabase &db, bool deferred = false);
    void load();
    bool isDeferred() const { return deferred; }
    // True while the full length of the listing is still being counted.
    bool isCounting() const { return counting; }
    // False while the listing's length is not known: still being counted, or
    // the count failed and the end has not been read yet.
    bool isTotalKnown() const { return totalKnown; }

    // The identity of the report listed in that row (read from the server if
    // its window is not held); invalid for a row that reads empty.
    StoredReportKey reportKey(int row) const;

    void setWindowSize(int rows);
    int windowSize() const { return window; }
    // Rows held in memory now, for checking that a long listing stays bounded.
    int cachedRows() const;

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
    using Rows = QVector<QVector<QVariant>>;

    void reload();
    void dropWindows();
    void takeCount(int number, int rows);
    const Rows *windowOf(int row) const;
    Rows fetchWindow(int first, int rows, bool mayReverse) const;
    QStringList orderColumns() const;
    bool descending(bool reversed) const;
    QStringList orderTerms(bool reversed) const;
    // " WHERE " with the search's condition and extra, either may be empty.
    QString whereClause(const QString &extra) const;
    QString projection() const;
    QString windowStatement(int offset, int rows, bool reversed) const;
    bool readFromKey(QSqlQuery &query, int offset, int rows, bool reversed) const;

    Search current;
    QSqlDatabase database;
    bool rowKey = false;
    bool deferred = false;
    bool counting = false;
    bool totalKnown = true;
    int searchNumber = 0;
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
};
