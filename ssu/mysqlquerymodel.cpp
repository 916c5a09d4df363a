#include "mysqlquerymodel.h"

QVariant MySqlQueryModel::data(const QModelIndex &item, int role) const
{
    if (role == Qt::TextAlignmentRole)
        return int(Qt::AlignHCenter | Qt::AlignVCenter);
    return QSqlQueryModel::data(item, role);
}
