#pragma once

#include <QSqlQueryModel>
#include <QVector>

// The search table's model: every cell is centred, whatever its type, so
// numbers, dates and time texts line up under their centred headers.
//
// The rows are also kept in memory once a query has run: the MySQL client
// seeks to a row by walking its result list from the start, so the random
// access of a sorting proxy over a shared table of many thousand reports
// would otherwise cost a full walk per comparison.
class MySqlQueryModel : public QSqlQueryModel
{
    Q_OBJECT
public:
    explicit MySqlQueryModel(QObject *parent = nullptr);

    QVariant data(const QModelIndex &item, int role = Qt::DisplayRole) const override;

private:
    // Runs first among the reset's receivers (connected at construction), so a
    // sorting proxy re-sorts the new rows from memory.
    void cacheRows();

    QVector<QVector<QVariant>> rows;
};
