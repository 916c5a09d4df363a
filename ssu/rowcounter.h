#pragma once

#include "ssu/listingreader.h"
#include "ssu/driver/ssuconnection.h"

#include <QObject>
#include <QString>

class DatabaseThread;

// Counts the rows of a search on a connection of its own, in a thread of its
// own: over the whole fleet's history the count takes long enough to be felt,
// and the list can show its first rows without it. Requests carry a number;
// counted() returns it, so an answer to a search that has since been
// replaced can be told apart. A count that fails answers -1.
class RowCounter : public QObject
{
    Q_OBJECT
public:
    explicit RowCounter(QObject *parent = nullptr);

    // Counts the listing's rows on a connection to the target, opened like
    // every other one.
    void request(int number, const SsuTarget &target, const ListingQuery &listing);

signals:
    void counted(int number, int rows);

private:
    DatabaseThread *thread = nullptr;
    QString name;
};
