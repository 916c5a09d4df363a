// The SSU link against impostors and broken servers on the plant network,
// grouped by attack: the password asked for in a readable form, TLS
// stripped, a certificate for another host, trickled bytes, requests for
// local files, and forged counts, rows and values. Everything goes through
// the program's own opener and driver.
#include "tests/support/shortssutimings.h"
#include "ssu/driver/databasethread.h"
#include "ssu/listingreader.h"
#include "ssu/mysqlquerymodel.h"
#include "ssu/rowcounter.h"
#include "ssu/driver/ssuconnection.h"
#include "ssu/driver/ssudriver.h"
#include "tests/support/sessioncalls.h"
#include "tests/support/hostiledatabaseserver.h"
#include "tests/support/testaddresses.h"
#include "tests/support/tlsdatabaseserver.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QSignalSpy>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

namespace {
const QByteArray Password = "pass-word-7c1f3e";

QHostAddress hostileAddress()
{
    return QHostAddress(rvktest::testDatabaseHost().name);
}

SsuTarget targetOf(const HostileDatabaseServer &server, const QString &caFile = QString())
{
    SsuTarget target;
    target.hosts = QStringLiteral("%1:%2").arg(server.address().toString()).arg(server.port());
    target.caFile = caFile;
    target.password = QString::fromLatin1(Password);
    return target;
}

using Answer = HostileDatabaseServer::Answer;

// Every statement but the one that starts with prefix gets an empty result.
std::function<Answer(const QByteArray &)> answering(const QByteArray &prefix, const Answer &answer)
{
    return [prefix, answer](const QByteArray &statement) {
        return statement.startsWith(prefix) ? answer : Answer();
    };
}

// A connection through the program's opener, closed and forgotten when it
// goes out of scope.
struct OpenedConnection
{
    OpenedConnection(const QString &connectionName, const SsuTarget &target)
        : name(connectionName)
        , db(SsuConnection::open(connectionName, target))
    {
    }
    ~OpenedConnection()
    {
        db = QSqlDatabase();
        SsuConnection::remove(name);
    }
    const QString name;
    QSqlDatabase db;
};

// A connection through the driver with tighter deadlines than the program's,
// so that the deadline tests are quick.
QSqlDatabase openQuick(const QString &name, const HostileDatabaseServer &server, SsuLinkPolicy policy)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(new SsuDriver(policy), name);
    db.setHostName(server.address().toString());
    db.setPort(server.port());
    db.setUserName(QStringLiteral("RVKuser"));
    db.setPassword(QString::fromLatin1(Password));
    db.open();
    return db;
}
} // namespace

class TestSsuLinkHostile : public QObject
{
    Q_OBJECT

private slots:
    // --- the password ---
    void greetingWithAReadableMethodGetsNoPassword_data();
    void greetingWithAReadableMethodGetsNoPassword();
    void switchToAReadableMethodGetsNoPassword_data();
    void switchToAReadableMethodGetsNoPassword();
    void serverWithoutTlsGetsNoLoginWhenTlsIsRequired();
    void certificateOfTheRightCaForAnotherHostIsRefused();

    // --- time ---
    void tricklingGreetingEndsAtTheConnectDeadline();
    void tricklingResultEndsAtTheStatementDeadline();
    void closingWaitsAtMostTwoSecondsForAStuckStatement();
    void windowThreadKeepsRunningWhileAListingWaits();

    // --- local files ---
    void localFileRequestsGetNoFileOnAnyConnection();

    // --- forged results ---
    void moreRowsThanAWindowAskedForAreRefused();
    void countBeyondWhatAListCanHoldLeavesTheListOpenEnded();
    void valueLongerThanItsColumnReadsAsDamaged();
    void valueThatIsNoneOfItsTypeReadsAsDamaged_data();
    void valueThatIsNoneOfItsTypeReadsAsDamaged();
    void rowBeyondThePacketBoundFailsTheStatement();
};

void TestSsuLinkHostile::greetingWithAReadableMethodGetsNoPassword_data()
{
    QTest::addColumn<QByteArray>("method");
    QTest::newRow("clear text") << QByteArray("mysql_clear_password");
    QTest::newRow("dialog") << QByteArray("dialog");
    QTest::newRow("server's RSA key") << QByteArray("sha256_password");
    QTest::newRow("caching RSA") << QByteArray("caching_sha2_password");
}

void TestSsuLinkHostile::greetingWithAReadableMethodGetsNoPassword()
{
    QFETCH(QByteArray, method);
    HostileDatabaseServer::Script script;
    script.greetingMethod = method;
    HostileDatabaseServer server(hostileAddress(), script);
    const OpenedConnection connection(QStringLiteral("hostile"), targetOf(server));
    const QSqlDatabase &db = connection.db;
    QVERIFY(!db.isOpen());
    QVERIFY2(!server.received().contains(Password), server.received().toHex().constData());
}

void TestSsuLinkHostile::switchToAReadableMethodGetsNoPassword_data()
{
    greetingWithAReadableMethodGetsNoPassword_data();
}

void TestSsuLinkHostile::switchToAReadableMethodGetsNoPassword()
{
    QFETCH(QByteArray, method);
    HostileDatabaseServer::Script script;
    script.switchTo = method;
    HostileDatabaseServer server(hostileAddress(), script);
    const OpenedConnection connection(QStringLiteral("hostile"), targetOf(server));
    const QSqlDatabase &db = connection.db;
    QVERIFY(!db.isOpen());
    // The first answer carries the native method's scramble only.
    QVERIFY(!server.received().isEmpty());
    QVERIFY2(!server.received().contains(Password), server.received().toHex().constData());
}

void TestSsuLinkHostile::serverWithoutTlsGetsNoLoginWhenTlsIsRequired()
{
    QTemporaryDir dir;
    QProcess openssl;
    openssl.setWorkingDirectory(dir.path());
    openssl.start(QStringLiteral("openssl"),
                  {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"), QStringLiteral("ec"),
                   QStringLiteral("-pkeyopt"), QStringLiteral("ec_paramgen_curve:prime256v1"), QStringLiteral("-nodes"),
                   QStringLiteral("-keyout"), QStringLiteral("ca.key"), QStringLiteral("-out"), QStringLiteral("ca.pem"),
                   QStringLiteral("-days"), QStringLiteral("1"), QStringLiteral("-subj"), QStringLiteral("/CN=test CA")});
    QVERIFY(openssl.waitForFinished(20000) && openssl.exitCode() == 0);

    HostileDatabaseServer server(hostileAddress(), {});
    const OpenedConnection connection(QStringLiteral("hostile"), targetOf(server, dir.filePath("ca.pem")));
    const QSqlDatabase &db = connection.db;
    QVERIFY(!db.isOpen());
    // Not even the user name: the refusal comes before the login.
    QCOMPARE(server.received(), QByteArray());
}

void TestSsuLinkHostile::certificateOfTheRightCaForAnotherHostIsRefused()
{
    TlsDatabaseServer other(rvktest::testDatabaseHost().name, QStringLiteral("another-host.plant.example"));
    QString error;
    QVERIFY2(other.start(&error), qPrintable(error));
    SsuTarget target;
    target.hosts = QStringLiteral("%1:%2").arg(rvktest::testDatabaseHost().name).arg(other.port());
    target.caFile = other.caFile();
    target.password = QStringLiteral("rvk-test-password");
    const OpenedConnection connection(QStringLiteral("other-host"), target);
    const QSqlDatabase &db = connection.db;
    QVERIFY(!db.isOpen());
    QVERIFY2(db.lastError().text().contains(QLatin1String("certificate"), Qt::CaseInsensitive)
                 || db.lastError().text().contains(QLatin1String("Validation"), Qt::CaseInsensitive),
             qPrintable(db.lastError().text()));

    // The same server under its own name opens: the refusal above is the
    // name's, not the CA's or the server's.
    TlsDatabaseServer own(rvktest::testDatabaseHost().name);
    QVERIFY2(own.start(&error), qPrintable(error));
    target.hosts = QStringLiteral("%1:%2").arg(rvktest::testDatabaseHost().name).arg(own.port());
    target.caFile = own.caFile();
    QVERIFY(OpenedConnection(QStringLiteral("own-host"), target).db.isOpen());
}

void TestSsuLinkHostile::tricklingGreetingEndsAtTheConnectDeadline()
{
    HostileDatabaseServer::Script script;
    // About 90 bytes at 200 ms each: 18 s if every byte counted as progress.
    const rvktest::ShortSsuTimings shortWaits;
    script.greetingTrickleMs = 200;
    HostileDatabaseServer server(hostileAddress(), script);
    QElapsedTimer clock;
    clock.start();
    QVERIFY(!OpenedConnection(QStringLiteral("hostile"), targetOf(server)).db.isOpen());
    const qint64 elapsed = clock.elapsed();
    qInfo("a trickled greeting was given up after %lld ms", elapsed);
    QVERIFY2(elapsed < SsuTimings::current().connectMs + 1000, qPrintable(QString::number(elapsed)));
}

void TestSsuLinkHostile::tricklingResultEndsAtTheStatementDeadline()
{
    Answer trickle;
    trickle.kind = Answer::Trickle;
    HostileDatabaseServer::Script script;
    script.answer = answering("SELECT", trickle);
    HostileDatabaseServer server(hostileAddress(), script);
    SsuLinkPolicy policy;
    policy.statementMs = 1500;
    {
        QSqlDatabase db = openQuick(QStringLiteral("quick"), server, policy);
        QVERIFY(db.isOpen());
        QElapsedTimer clock;
        clock.start();
        QSqlQuery query(db);
        QVERIFY(!query.exec(QStringLiteral("SELECT 1")));
        QVERIFY2(clock.elapsed() < 2500, qPrintable(QString::number(clock.elapsed())));
        // The socket was closed: the connection is of no further use.
        QVERIFY(!db.isOpen());
    }
    QSqlDatabase::removeDatabase(QStringLiteral("quick"));
}

void TestSsuLinkHostile::closingWaitsAtMostTwoSecondsForAStuckStatement()
{
    Answer silence;
    silence.kind = Answer::Silence;
    HostileDatabaseServer::Script script;
    script.answer = answering("SELECT", silence);
    HostileDatabaseServer server(hostileAddress(), script);
    const SsuTarget target = targetOf(server);

    auto thread = std::make_unique<DatabaseThread>();
    QObject receiver;
    bool reported = false, succeeded = false;
    thread->post<bool>(
        [target] {
            const OpenedConnection connection(QStringLiteral("stuck"), target);
            QSqlQuery query(connection.db);
            return query.exec(QStringLiteral("SELECT COUNT(*) FROM rvkreport"));
        },
        &receiver, [&](bool ok) {
            reported = true;
            succeeded = ok;
        });
    // The statement is under way, and would wait 20 s for its deadline.
    QTRY_VERIFY(server.received().contains("SELECT COUNT(*)"));
    QElapsedTimer clock;
    clock.start();
    thread.reset();
    qInfo("closing with a stuck statement took %lld ms", clock.elapsed());
    QVERIFY(clock.elapsed() <= DatabaseThread::ExitWaitMs);
    // Given up, the statement may still report, as a failure.
    QCoreApplication::processEvents();
    QVERIFY(!(reported && succeeded));
}

void TestSsuLinkHostile::windowThreadKeepsRunningWhileAListingWaits()
{
    Answer silence;
    silence.kind = Answer::Silence;
    HostileDatabaseServer::Script script;
    script.answer = answering("SELECT sn", silence);
    HostileDatabaseServer server(hostileAddress(), script);
    DatabaseThread thread;
    SsuLinkPolicy policy;
    policy.statementMs = 3000;
    QVERIFY(rvktest::onDatabaseThread<bool>(
        &thread, [&server, policy] { return openQuick(QStringLiteral("listing"), server, policy).isOpen(); }));

    // A timer of the window's thread keeps its pace while the listing hangs.
    QElapsedTimer clock, sinceTick;
    qint64 longestGap = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        longestGap = qMax(longestGap, sinceTick.restart());
    });
    ticker.start(20);
    clock.start();
    sinceTick.start();
    MySqlQueryModel model;
    model.setSearch(ReportFilter::all(), {&thread, QStringLiteral("listing"), targetOf(server)});
    // The search returns at once and the listing reads as loading until the
    // statement's deadline; then it says the SSU did not answer, and the
    // connection the driver gave up on is not opened again for it.
    QVERIFY(clock.elapsed() < 500);
    QVERIFY(model.isLoading());
    QTRY_VERIFY_WITH_TIMEOUT(!model.isLoading(), 10000);
    const qint64 waited = clock.elapsed();
    qInfo("a hanging listing: answered after %lld ms, the window thread's longest pause %lld ms", waited, longestGap);
    QVERIFY(waited >= 2500);
    QVERIFY2(longestGap < 500, qPrintable(QString::number(longestGap)));
    QVERIFY(model.readFailed());
    QCOMPARE(model.rowCount(), 0);
    rvktest::onDatabaseThread<bool>(&thread, [] {
        SsuConnection::remove(QStringLiteral("listing"));
        return true;
    });
}

void TestSsuLinkHostile::localFileRequestsGetNoFileOnAnyConnection()
{
    QTemporaryDir dir;
    QFile secret(dir.filePath(QStringLiteral("station-secret.txt")));
    QVERIFY(secret.open(QIODevice::WriteOnly));
    secret.write("secret-of-the-station-4d2a");
    secret.close();
    Answer fileRequest;
    fileRequest.kind = Answer::LocalFile;
    fileRequest.fileName = QFile::encodeName(secret.fileName());
    HostileDatabaseServer::Script script;
    script.answer = answering("SELECT COUNT", fileRequest);
    HostileDatabaseServer server(hostileAddress(), script);

    // The session's connection.
    {
        const OpenedConnection connection(QStringLiteral("hostile"), targetOf(server));
        QVERIFY(connection.db.isOpen());
        QSqlQuery query(connection.db);
        query.exec(QStringLiteral("SELECT COUNT(*) FROM rvkreport"));
    }
    // The row counter's, on its own thread.
    RowCounter counter;
    QSignalSpy counted(&counter, &RowCounter::counted);
    counter.request(1, targetOf(server), ListingQuery());
    QVERIFY(counted.wait(10000));
    QCOMPARE(counted.first().at(1).toInt(), -1);

    QCOMPARE(server.received().count("SELECT COUNT(*)"), 3);
    QVERIFY(!server.received().contains("secret-of-the-station"));
}

void TestSsuLinkHostile::moreRowsThanAWindowAskedForAreRefused()
{
    Answer flood;
    flood.columns = {"sn", "date", "release_date", "firmware_version", "total_time", "repair_time"};
    flood.rows = 2000000;
    HostileDatabaseServer::Script script;
    script.answer = answering("SELECT sn", flood);
    HostileDatabaseServer server(hostileAddress(), script);
    const OpenedConnection connection(QStringLiteral("hostile"), targetOf(server));
    const QSqlDatabase &db = connection.db;
    QVERIFY(db.isOpen());
    QElapsedTimer clock;
    clock.start();
    ListingReader::Rows rows;
    QVERIFY(!ListingReader::readWindow(db, ListingQuery(), 0, 256, false, &rows));
    qInfo("two million rows sent for a window of 256 refused after %lld ms", clock.elapsed());
    QCOMPARE(rows.size(), 0);
}

void TestSsuLinkHostile::countBeyondWhatAListCanHoldLeavesTheListOpenEnded()
{
    Answer window;
    window.columns = {"sn", "date", "release_date", "firmware_version", "total_time", "repair_time"};
    window.rows = 16;
    Answer count;
    count.columns = {"COUNT(*)"};
    count.rows = 1;
    count.cellText = "2147483647";
    HostileDatabaseServer::Script script;
    script.answer = [window, count](const QByteArray &statement) {
        if (statement.startsWith("SELECT sn"))
            return window;
        return statement.startsWith("SELECT COUNT") ? count : Answer();
    };
    HostileDatabaseServer server(hostileAddress(), script);
    DatabaseThread thread;
    const SsuTarget target = targetOf(server);
    QVERIFY(rvktest::onDatabaseThread<bool>(
        &thread, [target] { return SsuConnection::open(QStringLiteral("listing"), target).isOpen(); }));

    MySqlQueryModel model;
    model.setWindowSize(16);
    model.setSearch(ReportFilter::all(), {&thread, QStringLiteral("listing"), target});
    QTRY_COMPARE(model.rowCount(), 16);
    QTRY_VERIFY(!model.isCounting());
    QCOMPARE(model.rowCount(), 16);
    QVERIFY(!model.isTotalKnown());
    rvktest::onDatabaseThread<bool>(&thread, [] {
        SsuConnection::remove(QStringLiteral("listing"));
        return true;
    });
}

void TestSsuLinkHostile::valueLongerThanItsColumnReadsAsDamaged()
{
    Answer oversized;
    oversized.columns = {"total_time"};
    oversized.rows = 1;
    oversized.cellLength = 32;
    oversized.cellText = QByteArray(100000, '7');
    Answer fitting = oversized;
    fitting.cellText = "123456:07";
    HostileDatabaseServer::Script script;
    script.answer = [oversized, fitting](const QByteArray &statement) {
        if (statement.startsWith("SELECT total_time FROM long"))
            return oversized;
        return statement.startsWith("SELECT total_time") ? fitting : Answer();
    };
    HostileDatabaseServer server(hostileAddress(), script);
    const OpenedConnection connection(QStringLiteral("hostile"), targetOf(server));
    const QSqlDatabase &db = connection.db;
    QVERIFY(db.isOpen());
    {
        QSqlQuery query(db);
        QVERIFY(query.exec(QStringLiteral("SELECT total_time FROM long")) && query.next());
        QVERIFY(query.value(0).isNull());
        QVERIFY(query.exec(QStringLiteral("SELECT total_time FROM rvkreport")) && query.next());
        QCOMPARE(query.value(0).toString(), QStringLiteral("123456:07"));
    }
}

// A typed column whose text is no value of its type reads as unreadable
// (null), never as the 0 or the invalid-looking-valid value a careless
// conversion would show as if it were stored.
void TestSsuLinkHostile::valueThatIsNoneOfItsTypeReadsAsDamaged_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QByteArray>("cell");
    QTest::addColumn<QVariant>("read");
    const QVariant damaged;
    QTest::newRow("integer, letters") << 0x03 << QByteArray("abc") << damaged;
    QTest::newRow("integer, trailing letters") << 0x03 << QByteArray("12abc") << damaged;
    QTest::newRow("integer, beyond 32 bits") << 0x03 << QByteArray("4294967296") << damaged;
    QTest::newRow("integer, as stored") << 0x03 << QByteArray("1234") << QVariant(1234);
    QTest::newRow("big integer, beyond 64 bits") << 0x08 << QByteArray("99999999999999999999") << damaged;
    QTest::newRow("big integer, as stored") << 0x08 << QByteArray("-5") << QVariant(qlonglong(-5));
    QTest::newRow("double, letters") << 0x05 << QByteArray("1.5x") << damaged;
    QTest::newRow("double, overflow") << 0x05 << QByteArray("1e999") << damaged;
    QTest::newRow("double, as stored") << 0x05 << QByteArray("2.25") << QVariant(2.25);
    QTest::newRow("date, no such day") << 0x0a << QByteArray("2026-02-30") << QVariant(QDate());
    QTest::newRow("date, as stored") << 0x0a << QByteArray("2026-02-28") << QVariant(QDate(2026, 2, 28));
    QTest::newRow("date-time, no such month")
        << 0x0c << QByteArray("2026-13-01 10:00:00") << QVariant(QDateTime());
    QTest::newRow("date-time, cut short") << 0x0c << QByteArray("2026-12-01 10:0") << QVariant(QDateTime());
    QTest::newRow("date-time, as stored")
        << 0x0c << QByteArray("2026-12-01 10:05:00") << QVariant(QDateTime(QDate(2026, 12, 1), QTime(10, 5), Qt::UTC));
}

void TestSsuLinkHostile::valueThatIsNoneOfItsTypeReadsAsDamaged()
{
    QFETCH(int, type);
    QFETCH(QByteArray, cell);
    QFETCH(QVariant, read);
    Answer forged;
    forged.columns = {"value"};
    forged.rows = 1;
    forged.cellText = cell;
    forged.columnType = quint8(type);
    HostileDatabaseServer::Script script;
    script.answer = [forged](const QByteArray &statement) {
        return statement.startsWith("SELECT value") ? forged : Answer();
    };
    HostileDatabaseServer server(hostileAddress(), script);
    const OpenedConnection connection(QStringLiteral("hostile"), targetOf(server));
    QVERIFY(connection.db.isOpen());
    QSqlQuery query(connection.db);
    QVERIFY(query.exec(QStringLiteral("SELECT value FROM rvkreport")) && query.next());
    const QVariant value = query.value(0);
    if (!read.isValid()) {
        QVERIFY2(value.isNull(), qPrintable(value.toString()));
        return;
    }
    if (read.type() == QVariant::Date || read.type() == QVariant::DateTime) {
        QCOMPARE(value.type(), read.type());
        QCOMPARE(value, read);
        return;
    }
    QVERIFY(!value.isNull());
    QCOMPARE(value, read);
}

void TestSsuLinkHostile::rowBeyondThePacketBoundFailsTheStatement()
{
    Answer huge;
    huge.columns = {"rotation"};
    huge.rows = 1;
    huge.cellLength = 0xffffffffu;
    huge.cellText = QByteArray(4 * 1024 * 1024, 'x');
    HostileDatabaseServer::Script script;
    script.answer = answering("SELECT rotation", huge);
    HostileDatabaseServer server(hostileAddress(), script);
    const OpenedConnection connection(QStringLiteral("hostile"), targetOf(server));
    const QSqlDatabase &db = connection.db;
    QVERIFY(db.isOpen());
    {
        QSqlQuery query(db);
        QVERIFY(!query.exec(QStringLiteral("SELECT rotation FROM rvkreport")));
    }
}

QTEST_GUILESS_MAIN(TestSsuLinkHostile)
#include "tst_ssulink_hostile_db.moc"
