#include "mysqlquerymodel.h"

#include <QSqlQuery>
#include <QSqlRecord>

MySqlQueryModel::MySqlQueryModel(QObject *parent)
    : QSqlQueryModel(parent)
{
    connect(this, &QAbstractItemModel::modelAboutToBeReset, this, [this] { rows.clear(); });
    connect(this, &QAbstractItemModel::modelReset, this, &MySqlQueryModel::cacheRows);
}

QVariant MySqlQueryModel::data(const QModelIndex &item, int role) const
{
    if (role == Qt::TextAlignmentRole)
        return int(Qt::AlignHCenter | Qt::AlignVCenter);
    if ((role == Qt::DisplayRole || role == Qt::EditRole) && item.isValid() && item.row() < rows.size()) {
        const QVector<QVariant> &row = rows.at(item.row());
        if (item.column() < row.size())
            return row.at(item.column());
    }
    return QSqlQueryModel::data(item, role);
}

void MySqlQueryModel::cacheRows()
{
    rows.clear();
    while (canFetchMore())
        fetchMore();
    // Stepping forward row by row is cheap for the client; only seeks are not.
    QSqlQuery result = query();
    if (!result.isActive() || !result.isSelect() || !result.seek(0))
        return;
    const int columns = result.record().count();
    rows.reserve(rowCount());
    do {
        QVector<QVariant> row(columns);
        for (int column = 0; column < columns; ++column)
            row[column] = result.value(column);
        rows.append(row);
    } while (result.next());
}
