// A station with an account of its own (rvk-ssu-admin station add): the
// program takes the station file instead of the shared password, stores as
// that account, and keeps what it reads once the account is revoked.
#include "tests/support/testmain.h"

#include "station/reportstore.h"
#include "ssu/stationaccount.h"
#include "tests/support/databasetest.h"
#include "tests/support/recordbuilder.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>

namespace {
constexpr quint32 FirstSerial = 86100;
constexpr quint32 LastSerial = 86199;
const char *const Station = "tst-station";

struct ToolRun
{
    int exitCode = -1;
    QString out;
    QString err;
};

ToolRun admin(const QStringList &arguments)
{
    const DatabaseHost host = rvktest::testDatabaseHost();
    QProcess process;
    process.start(QCoreApplication::applicationDirPath() + QStringLiteral("/rvk-ssu-admin"),
                  QStringList{QStringLiteral("--hosts"), QStringLiteral("%1:%2").arg(host.name).arg(host.port)}
                      + arguments);
    process.write(rvktest::testAdminPassword().toUtf8() + '\n');
    process.closeWriteChannel();
    ToolRun run;
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return run;
    run.exitCode = process.exitCode();
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

ReportStore::Result store(ReportStore &reports, quint32 sn)
{
    return rvktest::awaitCall<ReportStore::Result>([&](QObject *context, std::function<void(ReportStore::Result)> done) {
        reports.upload(rvktest::plausibleRecord(sn), sn, QStringLiteral("08.12.2026 10:%1").arg(sn % 60, 2, 10,
                                                                                                 QLatin1Char('0')),
                       context, done);
    });
}

bool online(SsuSession &session)
{
    QSignalSpy indicator(&session, &SsuSession::signalIndicator);
    session.startDownload();
    return indicator.wait(15000) && indicator.last().value(0).toBool();
}
} // namespace

class TestStationAccount : public rvktest::DatabaseTestCase
{
    Q_OBJECT
public:
    TestStationAccount()
        : DatabaseTestCase(FirstSerial, LastSerial)
    {
    }

private slots:
    void initTestCase();
    void aStationStoresAsItsOwnAccountUntilRevoked();
    void aStationFileThatDoesNotDecryptIsNotReplacedByTheSharedPassword();
    void cleanup();
};

void TestStationAccount::initTestCase()
{
    QVERIFY2(databaseReady(), DatabaseMissing);
    // A station left from an interrupted run.
    admin({QStringLiteral("station"), QStringLiteral("revoke"), QLatin1String(Station)});
}

void TestStationAccount::cleanup()
{
    QFile::remove(StationAccount::defaultPath());
}

void TestStationAccount::aStationStoresAsItsOwnAccountUntilRevoked()
{
    const QString file = StationAccount::defaultPath();
    const ToolRun added = admin({QStringLiteral("station"), QStringLiteral("add"), QLatin1String(Station),
                                 QStringLiteral("--output"), file});
    QVERIFY2(added.exitCode == 0, qPrintable(added.err));
    const QFile::Permissions others = QFile::ReadGroup | QFile::WriteGroup | QFile::ReadOther | QFile::WriteOther;
    QCOMPARE(QFile::permissions(file) & others, QFile::Permissions());
    const ToolRun listed = admin({QStringLiteral("station"), QStringLiteral("list")});
    QVERIFY2(listed.out.contains(QLatin1String("tst-station\tRVKst_tst-station")), qPrintable(listed.out));

    // No password server anywhere: the file alone opens the SSU.
    SsuSession session;
    QVERIFY(online(session));
    QCOMPARE(session.databaseTarget().user, QStringLiteral("RVKst_tst-station"));
    QVERIFY(rvktest::onSessionConnection(&session, QStringLiteral("SELECT USER()"))
                .value(0)
                .toString()
                .startsWith(QLatin1String("RVKst_tst-station@")));
    ReportStore reports(&session);
    QCOMPARE(int(store(reports, FirstSerial).outcome), int(ReportStore::Outcome::Uploaded));
    QCOMPARE(rvktest::rowsForSerial(FirstSerial).size(), 1);
    // Only the report table: the administrator's copy of deleted reports
    // stays out of its reach.
    QVERIFY(!rvktest::execOnSessionConnection(&session, QStringLiteral("SELECT COUNT(*) FROM RVKSSUdb_admin.rvkreport_deleted")));

    const ToolRun revoked = admin({QStringLiteral("station"), QStringLiteral("revoke"), QLatin1String(Station)});
    QVERIFY2(revoked.exitCode == 0, qPrintable(revoked.err));
    // The connection opened before the revocation is refused too, and the
    // report waits in the archive.
    const ReportStore::Result after = store(reports, FirstSerial + 1);
    QCOMPARE(int(after.outcome), int(ReportStore::Outcome::Archived));
    QVERIFY(QFile::exists(after.archivePath));
    QVERIFY(rvktest::rowsForSerial(FirstSerial + 1).isEmpty());
    // So does the next one, on a fresh connection the server refuses.
    QVERIFY(!rvktest::Sync::connect(&session));
    QCOMPARE(int(store(reports, FirstSerial + 2).outcome), int(ReportStore::Outcome::Archived));
    QCOMPARE(ReportStore::waitingReports(), 2);
}

void TestStationAccount::aStationFileThatDoesNotDecryptIsNotReplacedByTheSharedPassword()
{
    // The shared password is served, and must not be fetched.
    server.serve(QLatin1String(rvktest::passwordPath()), rvktest::passwordFile());
    StationAccount other{QStringLiteral("RVKst_other"), QStringLiteral("secret")};
    const Attempt<> written = other.write(StationAccount::defaultPath(), Deployment::key() ^ 1);
    QVERIFY2(written.ok, qPrintable(written.error));

    SsuSession session;
    session.setDownloadUrl(server.url(QLatin1String(rvktest::passwordPath())));
    QSignalSpy indicator(&session, &SsuSession::signalIndicator);
    session.startDownload();
    QCOMPARE(indicator.size(), 1);
    QCOMPARE(indicator.first().value(0).toBool(), false);
    QCOMPARE(int(session.passwordState()), int(SsuSession::PasswordState::Unreadable));
    QVERIFY(!rvktest::Sync::fetchPassword(&session));
    QVERIFY(session.dbPassword().isEmpty());
}

RVK_TEST_MAIN(TestStationAccount)
#include "tst_stationaccount_db.moc"
