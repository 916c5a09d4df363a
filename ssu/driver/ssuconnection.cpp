#include "ssu/driver/ssuconnection.h"

#include "ssu/driver/databasehosts.h"
#include "ssu/driver/ssutimings.h"

#include <QSqlQuery>
#include <QVariant>

namespace SsuConnection {

namespace {
// A server built with cluster support but not running as a node reports
// wsrep_ready OFF too, so readiness is asked of cluster nodes only.
bool nodeReady(const QSqlDatabase &db)
{
    QSqlQuery status(db);
    bool ready = status.exec(QStringLiteral("SHOW VARIABLES LIKE 'wsrep_on'"));
    if (ready && status.next() && status.value(1).toString().compare(QLatin1String("ON"), Qt::CaseInsensitive) == 0) {
        ready = status.exec(QStringLiteral("SHOW STATUS LIKE 'wsrep_ready'")) && status.next()
            && status.value(1).toString().compare(QLatin1String("ON"), Qt::CaseInsensitive) == 0;
    }
    return ready;
}
} // namespace

SsuLinkPolicy policy(const SsuTarget &target)
{
    SsuLinkPolicy policy;
    policy.caFile = target.caFile;
    const SsuTimings timings = SsuTimings::current();
    policy.connectMs = timings.connectMs;
    policy.statementMs = timings.statementMs;
    return policy;
}

QSqlDatabase open(const QString &name, const SsuTarget &target)
{
    return open(name, target, policy(target));
}

QSqlDatabase open(const QString &name, const SsuTarget &target, const SsuLinkPolicy &policy)
{
    remove(name);
    auto *driver = new SsuDriver(policy);
    QSqlDatabase db = QSqlDatabase::addDatabase(driver, name);
    db.setDatabaseName(target.database);
    db.setUserName(target.user);
    db.setPassword(target.password);
    for (const DatabaseHost &host : parseDatabaseHosts(target.hosts, DefaultPort)) {
        db.setHostName(host.name);
        db.setPort(host.port);
        // One deadline for the whole open: a node that accepts the login and
        // then answers its readiness checks slowly would otherwise hold the
        // caller for a statement deadline per check.
        driver->holdTo(QDeadlineTimer(policy.connectMs));
        const bool ready = db.open() && nodeReady(db);
        driver->holdTo(QDeadlineTimer(QDeadlineTimer::Forever));
        if (ready)
            return db;
        db.close();
    }
    return db;
}

void remove(const QString &name)
{
    if (!QSqlDatabase::contains(name))
        return;
    QSqlDatabase::database(name, false).close();
    QSqlDatabase::removeDatabase(name);
}

bool readWithReopen(const QString &name, const SsuTarget &target, const std::function<bool(QSqlDatabase)> &read)
{
    QSqlDatabase db = QSqlDatabase::contains(name) ? QSqlDatabase::database(name, false) : QSqlDatabase();
    if (db.isOpen() && read(db))
        return true;
    // The driver closes a connection the client library found broken, so a
    // connection still open failed on the statement itself; one the driver
    // gave up on would only fail again.
    if (db.isOpen())
        return false;
    if (const auto *driver = qobject_cast<const SsuDriver *>(db.driver()); driver && driver->wasGivenUp())
        return false;
    db = QSqlDatabase();
    db = open(name, target);
    return db.isOpen() && read(db);
}

} // namespace SsuConnection
