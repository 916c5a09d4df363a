#pragma once

#include <QAbstractTableModel>
#include <QHash>
#include <QList>
#include <QSqlDatabase>
#include <QSqlError>
#include <QStringList>
#include <QVector>

// The search table's model. The shared table grows for years, so the model
// never holds a whole listing: it counts the rows of a search and fetches
// them in windows of windowSize() rows as the view asks for them, keeping
// only the few windows last used. A header click re-orders on the server.
// Every cell is centred, whatever its type, so numbers, dates and time texts
// line up under their centred headers.
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

    // Replaces the listing. A deferred search only remembers what to list
    // (the view shows nothing) until load() runs it: nothing is read for a
    // window nobody looks at.
    void setSearch(const Search &search, const QSqlDatabase &db, bool deferred = false);
    void load();
    bool isDeferred() const { return deferred; }

    void setWindowSize(int rows);
    int windowSize() const { return window; }
    // Rows held in memory now, for checking that a long listing stays bounded.
    int cachedRows() const;
    // The statement a window starting at offset is read with.
    QString windowStatement(int offset, int rows, bool reversed) const;
    QSqlError lastError() const { return error; }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &item, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    bool setHeaderData(int section, Qt::Orientation orientation, const QVariant &value,
                       int role = Qt::EditRole) override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

private:
    using Rows = QVector<QVector<QVariant>>;

    void reload();
    const Rows *windowOf(int row) const;
    Rows fetchWindow(int first) const;
    QStringList orderTerms(bool reversed) const;

    Search current;
    QSqlDatabase database;
    bool deferred = false;
    int window = 256;
    int total = 0;
    int sortColumn = -1;
    Qt::SortOrder sortOrder = Qt::AscendingOrder;
    QStringList headers;

    // Windows by number, and the order they were last used in (most recent
    // last); a handful is enough for the view and a scroll step either way.
    mutable QHash<int, Rows> windows;
    mutable QList<int> recent;
    mutable QSqlError error;
};
