#pragma once

#include <QSqlQueryModel>

// The search table's model: every cell is centred, whatever its type, so
// numbers, dates and time texts line up under their centred headers.
class MySqlQueryModel : public QSqlQueryModel
{
    Q_OBJECT
public:
    using QSqlQueryModel::QSqlQueryModel;

    QVariant data(const QModelIndex &item, int role = Qt::DisplayRole) const override;
};
