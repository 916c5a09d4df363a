// Eight stations storing reports into the SSU at once, each on its own
// connection and thread, through the upload's duplicate rule; stations 0/1,
// 2/3, ... store the same modules with the same operating times at the same
// moments. An upload that fails (deadlock, lock-wait time-out) goes to the
// station's archive and is stored by the next archive pass, as the program
// does at its next connection. Prints the counts: uploads, failures by kind,
// reports left in an archive, reports missing from the table, keys stored
// twice, and the longest single upload. Needs the test database
// (scripts/test-db start); its rows (serial numbers from 800000) are removed
// afterwards. Arguments: seconds (60), stations (8).
#include "ssu/reportupload.h"
#include "tests/support/ssutestsupport.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QMutex>
#include <QSet>
#include <QSqlError>
#include <QTextStream>
#include <QThread>

#include <atomic>

namespace {
constexpr quint32 SharedFirstSn = 800000;
constexpr quint32 OwnFirstSn = 810000;
constexpr int ArchivePassEvery = 10;

using Key = QPair<quint32, QString>;

struct StationCounts
{
    int uploads = 0;
    int storedFirstTime = 0;
    int deadlocks = 0;
    int lockWaits = 0;
    int otherFailures = 0;
    int storedFromArchive = 0;
    int leftInArchive = 0;
    double longestMs = 0;
    QSet<Key> sent;
};

ReportValues reportOf(quint32 sn, int n)
{
    ReportValues values;
    values.sn = sn;
    values.date = QDateTime::currentDateTime().toString(QStringLiteral("dd.MM.yyyy HH:mm"));
    values.release_date = QStringLiteral("05.03.2024");
    values.firmware_version = QStringLiteral("3.2.2");
    values.impact_level = 2;
    values.total_time = QStringLiteral("%1:00").arg(n);
    values.repair_time = QStringLiteral("1:00");
    values.impacts = 3;
    values.irt_impacts = 1;
    values.totalPercents = QStringList{"10,20,30,40", "100", "0,100", "0,0,100", "50,50", "100"};
    values.repairPercents = values.totalPercents;
    return values;
}

class Station : public QThread
{
public:
    Station(int number, int seconds) : number(number), seconds(seconds) {}
    StationCounts counts;

protected:
    void run() override
    {
        const QString name = QStringLiteral("station%1").arg(number);
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QMYSQL"), name);
            db.setHostName(QLatin1String(Deployment::databaseHost));
            db.setPort(3666);
            db.setDatabaseName(QStringLiteral("RVKSSUdb"));
            db.setUserName(QStringLiteral("RVKuser"));
            db.setPassword(rvktest::testDatabasePassword());
            if (db.open())
                work(db);
            else
                counts.otherFailures = -1;
            db.close();
        }
        QSqlDatabase::removeDatabase(name);
    }

private:
    bool store(QSqlDatabase &db, const ReportValues &values)
    {
        QSqlQuery query(db);
        QElapsedTimer clock;
        clock.start();
        const bool stored = storeReportRow(db, query, values).ok;
        counts.longestMs = qMax(counts.longestMs, double(clock.nsecsElapsed()) / 1e6);
        if (!stored) {
            const QString code = query.lastError().nativeErrorCode();
            if (code == QLatin1String("1213"))
                ++counts.deadlocks;
            else if (code == QLatin1String("1205"))
                ++counts.lockWaits;
            else
                ++counts.otherFailures;
        }
        return stored;
    }

    void archivePass(QSqlDatabase &db)
    {
        QList<ReportValues> left;
        for (const ReportValues &values : archive) {
            if (store(db, values))
                ++counts.storedFromArchive;
            else
                left << values;
        }
        archive = left;
    }

    void upload(QSqlDatabase &db, const ReportValues &values)
    {
        ++counts.uploads;
        counts.sent.insert(Key(values.sn, values.total_time));
        if (store(db, values))
            ++counts.storedFirstTime;
        else
            archive << values;
    }

    void work(QSqlDatabase &db)
    {
        QElapsedTimer clock;
        clock.start();
        for (int n = 0; clock.elapsed() < seconds * 1000; ++n) {
            // The pair's common module, then one of the station's own.
            upload(db, reportOf(SharedFirstSn + quint32(number / 2) * 100 + quint32(n % 20), n));
            upload(db, reportOf(OwnFirstSn + quint32(number) * 100 + quint32(n % 50), n));
            if (n % ArchivePassEvery == ArchivePassEvery - 1)
                archivePass(db);
        }
        // The next connections: a bounded number of passes.
        for (int pass = 0; pass < 20 && !archive.isEmpty(); ++pass)
            archivePass(db);
        counts.leftInArchive = archive.size();
    }

    const int number;
    const int seconds;
    QList<ReportValues> archive;
};

int countOf(const QString &statement)
{
    QSqlQuery query(rvktest::adminConnection());
    return query.exec(statement) && query.next() ? query.value(0).toInt() : -1;
}

void removeOwnRows()
{
    QSqlQuery(rvktest::adminConnection()).exec(QStringLiteral("DELETE FROM rvkreport WHERE sn BETWEEN %1 AND %2").arg(SharedFirstSn).arg(OwnFirstSn + 9999));
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    const int seconds = argc > 1 ? QString::fromLatin1(argv[1]).toInt() : 60;
    const int stations = argc > 2 ? QString::fromLatin1(argv[2]).toInt() : 8;
    QTextStream out(stdout);
    if (!rvktest::adminConnection().isOpen()) {
        QTextStream(stderr) << "the test database is not reachable: scripts/test-db start\n";
        return 1;
    }
    ensureReportIndexes(rvktest::adminConnection());
    removeOwnRows();

    QList<Station *> threads;
    for (int i = 0; i < stations; ++i)
        threads << new Station(i, seconds);
    for (Station *station : threads)
        station->start();
    StationCounts total;
    QSet<Key> sent;
    for (Station *station : threads) {
        station->wait();
        const StationCounts &c = station->counts;
        total.uploads += c.uploads;
        total.storedFirstTime += c.storedFirstTime;
        total.deadlocks += c.deadlocks;
        total.lockWaits += c.lockWaits;
        total.otherFailures += c.otherFailures;
        total.storedFromArchive += c.storedFromArchive;
        total.leftInArchive += c.leftInArchive;
        total.longestMs = qMax(total.longestMs, c.longestMs);
        sent.unite(c.sent);
    }
    qDeleteAll(threads);

    // Every key sent must be in the table exactly once.
    int missing = 0;
    QSqlQuery lookup(rvktest::adminConnection());
    for (const Key &key : sent) {
        lookup.prepare(QStringLiteral("SELECT COUNT(*) FROM rvkreport WHERE sn = ? AND total_time = ? AND repair_time = '1:00'"));
        lookup.addBindValue(key.first);
        lookup.addBindValue(key.second);
        if (!lookup.exec() || !lookup.next() || lookup.value(0).toInt() == 0)
            ++missing;
    }
    const QString own = QStringLiteral("sn BETWEEN %1 AND %2").arg(SharedFirstSn).arg(OwnFirstSn + 9999);
    const int rows = countOf(QStringLiteral("SELECT COUNT(*) FROM rvkreport WHERE ") + own);
    const int duplicates = countOf(QStringLiteral("SELECT COUNT(*) FROM (SELECT 1 FROM rvkreport WHERE %1 GROUP BY sn, "
                                                  "total_time, repair_time HAVING COUNT(*) > 1) AS twice")
                                       .arg(own));
    removeOwnRows();

    out << stations << " stations for " << seconds << " s\n"
        << "  uploads:                          " << total.uploads << '\n'
        << "  stored at the first try:          " << total.storedFirstTime << '\n'
        << "  failed, archived: deadlock        " << total.deadlocks << '\n'
        << "                    lock wait       " << total.lockWaits << '\n'
        << "                    other           " << total.otherFailures << '\n'
        << "  stored later from the archive:    " << total.storedFromArchive << '\n'
        << "  left in an archive:               " << total.leftInArchive << '\n'
        << "  distinct reports sent:            " << sent.size() << '\n'
        << "  rows in the table for them:       " << rows << '\n'
        << "  reports missing from the table:   " << missing << '\n'
        << "  reports stored twice:             " << duplicates << '\n'
        << "  longest single upload (ms):       " << QString::number(total.longestMs, 'f', 1) << '\n';
    const bool ok = missing == 0 && duplicates == 0 && total.leftInArchive == 0 && rows == sent.size();
    out << (ok ? "nothing lost, nothing twice\n" : "FAILED: reports lost or stored twice\n");
    return ok ? 0 : 1;
}
