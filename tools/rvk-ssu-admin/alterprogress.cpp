#include "alterprogress.h"

#include "protocol/terminaltext.h"

#include <QSqlQuery>
#include <QTextStream>
#include <QVariant>

namespace {
const char *const ProgressConnection = "rvk-ssu-admin-progress";
const char *const KillConnection = "rvk-ssu-admin-kill";
} // namespace

AlterProgress::AlterProgress(const SsuTarget &target, qint64 connectionId)
    : target(target)
    , connectionId(connectionId)
{
}

AlterProgress::~AlterProgress()
{
    finish();
}

void AlterProgress::finish()
{
    if (isRunning()) {
        stop.release();
        wait();
    }
}

bool AlterProgress::killWatched()
{
    // Same account as the watched connection, so no PROCESS privilege is
    // needed to end it.
    bool killed = false;
    {
        QSqlDatabase db = SsuConnection::open(QLatin1String(KillConnection), target);
        QSqlQuery kill(db);
        killed = db.isOpen() && kill.exec(QStringLiteral("KILL QUERY %1").arg(connectionId));
    }
    SsuConnection::remove(QLatin1String(KillConnection));
    return killed;
}

void AlterProgress::run()
{
    QTextStream err(stderr);
    {
        QSqlDatabase db = SsuConnection::open(QLatin1String(ProgressConnection), target);
        if (!db.isOpen()) {
            err << "rvk-ssu-admin: no progress reports (a second connection failed); the change goes on\n";
            err.flush();
        }
        QSqlQuery query(db);
        query.prepare(QStringLiteral("SELECT STAGE, MAX_STAGE, PROGRESS, STATE, TIME FROM "
                                     "information_schema.PROCESSLIST WHERE ID = ?"));
        // The first report after a second: a change that quick needs none.
        while (db.isOpen() && !stop.tryAcquire(1, 1000)) {
            query.addBindValue(connectionId);
            if (!query.exec() || !query.next())
                continue;
            const int stage = query.value(0).toInt();
            const int stages = query.value(1).toInt();
            const QString state = terminalSafe(query.value(3).toString());
            const int seconds = query.value(4).toInt();
            // InnoDB tells stages only while it sorts an index; the rest of
            // the time the server's state and the time spent are all there is.
            if (stages > 0) {
                err << QStringLiteral("rvk-ssu-admin: %1 s, stage %2 of %3 (%4), %5 % of the stage\n")
                           .arg(seconds)
                           .arg(stage)
                           .arg(stages)
                           .arg(state)
                           .arg(query.value(2).toDouble(), 0, 'f', 1);
            } else {
                err << QStringLiteral("rvk-ssu-admin: %1 s, %2\n").arg(seconds).arg(state);
            }
            err.flush();
        }
    }
    SsuConnection::remove(QLatin1String(ProgressConnection));
}
