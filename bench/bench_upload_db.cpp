// An archive backlog of 1,000 reports uploaded into a table that already
// holds 100,000 rows, the way an opened connection runs the pass: prints the
// average cost per file of the whole pass (the main window's) and of the
// upload alone (a database session without any window), with and without
// the report indexes. Needs the test database
// (scripts/test-db start); its own rows (serial numbers from 900000000) are
// removed afterwards.
#include "app/mainwindow.h"
#include "station/station.h"
#include "protocol/archivefile.h"
#include "ssu/reportschema.h"
#include "ssu/gui/ssudialog.h"
#include "ssu/ssusession.h"
#include "tests/support/sessioncalls.h"
#include "tests/support/fakektxdriver.h"
#include "tests/support/httpfileserver.h"
#include "tests/support/ssutestsupport.h"
#include "tests/support/testmain.h"

#include <QDir>
#include <QElapsedTimer>
#include <QSqlError>
#include <QSqlQuery>
#include <QTextStream>

namespace {
constexpr quint32 FillerFirstSn = 900000000;
constexpr int FillerRows = 100000;
constexpr quint32 BacklogFirstSn = 900200000;
constexpr int BacklogFiles = 1000;

bool fillTable(QSqlDatabase db)
{
    const QString values = QStringLiteral("(%1, '2025-01-01 10:00:00', '2024-03-05', '3.2.2', 1, '12:00', '01:00', "
                                          "'10,20,30,40,0,0', '100,0,0,0', '0,0,100,0,0', '0,0,0,0,0,100', "
                                          "'0,50,50,0,0,0', '100,0,0,0,0', 3, '10,20,30,40,0,0', '100,0,0,0', "
                                          "'0,0,100,0,0', '0,0,0,0,0,100', '0,50,50,0,0,0', '100,0,0,0,0', 1)");
    QSqlQuery query(db);
    for (int batch = 0; batch < FillerRows / 1000; ++batch) {
        QStringList rows;
        for (int i = 0; i < 1000; ++i)
            rows << values.arg(FillerFirstSn + quint32(batch * 1000 + i));
        if (!query.exec(QStringLiteral("INSERT INTO rvkreport VALUES ") + rows.join(QLatin1Char(','))))
            return false;
    }
    return true;
}

void dropIndex(QSqlDatabase db)
{
    for (const char *index : {"rvkreport_sn", "rvkreport_sn_date", "rvkreport_date_sn", "rvkreport_release_sn_date",
                              "rvkreport_duplicate"})
        QSqlQuery(db).exec(QStringLiteral("DROP INDEX %1 ON rvkreport").arg(QLatin1String(index)));
}

bool indexPresent(QSqlDatabase db)
{
    QSqlQuery query(db);
    query.exec(QStringLiteral("SELECT COUNT(*) FROM information_schema.statistics WHERE table_schema = DATABASE() "
                              "AND table_name = 'rvkreport' AND index_name = 'rvkreport_duplicate'"));
    return query.next() && query.value(0).toInt() > 0;
}

QByteArray recordOf(quint32 sn)
{
    return rvktest::reportRecordWith({{0, 7200}, {1, 3600}, {34, 3600}, {69, qint32(sn)}, {70, 5032024}, {71, 322}});
}

// Milliseconds per file of one archive pass over a fresh backlog.
double timePass(MainWindow &window, quint32 firstSn)
{
    for (int i = 0; i < BacklogFiles; ++i) {
        const quint32 sn = firstSn + quint32(i);
        ArchiveFile::write(ArchiveFile::path(sn, QStringLiteral("06.12.2026 14:35")), recordOf(sn));
    }
    QElapsedTimer clock;
    clock.start();
    window.station()->store()->uploadArchive();
    const double perFile = double(clock.nsecsElapsed()) / 1e6 / BacklogFiles;
    const int left = QDir(QStringLiteral("ssu")).entryList(QDir::Files).size();
    if (left != 0)
        QTextStream(stderr) << "warning: " << left << " files were not uploaded\n";
    return perFile;
}

// Milliseconds per report of uploadReport alone, without files and waits.
double timeUploads(SsuSession &session, quint32 firstSn)
{
    session.setReportDate(QStringLiteral("06.12.2026 14:35"));
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < BacklogFiles; ++i)
        rvktest::Sync::upload(&session, recordOf(firstSn + quint32(i)));
    return double(clock.nsecsElapsed()) / 1e6 / BacklogFiles;
}
} // namespace

int main(int argc, char *argv[])
{
    rvktest::prepareEnvironment();
    QApplication application(argc, argv);
    rvktest::prepareApplication();
    QTextStream out(stdout);

    QSqlDatabase admin = rvktest::adminConnection();
    if (!admin.isOpen()) {
        QTextStream(stderr) << "the test database is not reachable: scripts/test-db start\n";
        return 1;
    }
    const auto removeOwnRows = [&admin]() {
        QSqlQuery(admin).exec(QStringLiteral("DELETE FROM rvkreport WHERE sn >= %1 AND sn < %2")
                                  .arg(FillerFirstSn)
                                  .arg(BacklogFirstSn + 10 * BacklogFiles));
    };
    removeOwnRows();
    if (!fillTable(admin)) {
        QTextStream(stderr) << "filling the table failed\n";
        removeOwnRows();
        return 1;
    }
    QSqlQuery count(admin);
    count.exec(QStringLiteral("SELECT COUNT(*) FROM rvkreport"));
    count.next();
    out << "rows in rvkreport before the backlog: " << count.value(0).toLongLong() << '\n';

    FakeKtxDriver::install();
    MainWindow window;
    auto *dialog = window.findChild<SSUDialog *>();
    HttpFileServer server;
    SsuSession session;
    if (!rvktest::bringOnline(*dialog, server) || !rvktest::bringOnline(session, server)) {
        QTextStream(stderr) << "the dialog or the session did not connect\n";
        removeOwnRows();
        return 1;
    }

    dropIndex(admin);
    const double passWithout = timePass(window, BacklogFirstSn);
    const double uploadWithout = timeUploads(session, BacklogFirstSn + 2 * BacklogFiles);
    ensureReportIndexes(admin);
    const bool indexed = indexPresent(admin);
    const double passWith = timePass(window, BacklogFirstSn + 4 * BacklogFiles);
    const double uploadWith = timeUploads(session, BacklogFirstSn + 6 * BacklogFiles);

    out.setRealNumberNotation(QTextStream::FixedNotation);
    out.setRealNumberPrecision(2);
    out << "backlog of " << BacklogFiles << " files, per file (ms):\n";
    out << "  without index: archive pass " << passWithout << ", upload alone " << uploadWithout << '\n';
    out << "  with index" << (indexed ? "" : " (NOT CREATED)") << ":    archive pass " << passWith
        << ", upload alone " << uploadWith << '\n';
    out << "  target: archive pass at most 15.00 per file\n";

    removeOwnRows();
    return 0;
}
