#include "ssu/rowcounter.h"

#include "ssu/driver/databasethread.h"

#include <limits>

namespace {
int countOn(const QString &name, const SsuTarget &target, const ListingQuery &listing, bool reopen)
{
    QSqlDatabase db = QSqlDatabase::contains(name) ? QSqlDatabase::database(name, false) : QSqlDatabase();
    if (reopen || !db.isOpen()) {
        db = QSqlDatabase();
        db = SsuConnection::open(name, target);
    }
    const qint64 rows = db.isOpen() ? ListingReader::count(db, listing) : -1;
    return rows >= 0 && rows <= std::numeric_limits<int>::max() ? int(rows) : -1;
}
} // namespace

RowCounter::RowCounter(QObject *parent)
    : QObject(parent)
    , thread(new DatabaseThread(this))
    , name(QStringLiteral("RVKReport-count-%1").arg(quintptr(this), 0, 16))
{
    const QString connection = name;
    thread->atEnd([connection] { SsuConnection::remove(connection); });
}

void RowCounter::request(int number, const SsuTarget &target, const ListingQuery &listing)
{
    const QString connection = name;
    thread->post<int>(
        [connection, target, listing] {
            // The connection is kept between searches, and the server may
            // have dropped it meanwhile (idle limit, restart, another cluster
            // node taking over): a failed count is tried once more on a
            // fresh one.
            const int rows = countOn(connection, target, listing, false);
            return rows >= 0 ? rows : countOn(connection, target, listing, true);
        },
        this, [this, number](int rows) { emit counted(number, rows); });
}
