// The SSU link's bounds against servers that send more than was asked for
// or take their time, grouped by attack: an answer announcing millions of
// columns, a fleet read fed full pages without end, readiness checks that
// stall an open, and a server parsing statements in another character set.
// Everything goes through the program's own opener, driver, fleet read and
// fleet window.
#include "tests/support/shortssutimings.h"
#include "ssu/driver/databasehosts.h"
#include "ssu/driver/ssuconnection.h"
#include "ssu/driver/ssudriver.h"
#include "ssu/fleetquery.h"
#include "ssu/gui/fleetwindow.h"
#include "ssu/ssusession.h"
#include "tests/support/databasetest.h"
#include "tests/support/streamingdatabaseserver.h"
#include "tests/support/testaddresses.h"
#include "tests/support/testmain.h"

#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QSignalSpy>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>

#include <memory>

namespace {
using Reply = StreamingDatabaseServer::Reply;

QHostAddress fakeAddress()
{
    return QHostAddress(rvktest::testDatabaseHost().name);
}

SsuTarget targetOf(const StreamingDatabaseServer &server)
{
    SsuTarget target;
    target.hosts = server.hosts();
    target.password = QStringLiteral("any");
    return target;
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

// The process's resident memory in bytes, now or at its peak since
// resetPeakMemory(); -1 where the system does not say.
qint64 memoryLine(const QByteArray &key)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(key))
            return line.mid(key.size()).trimmed().split(' ').value(0).toLongLong() * 1024;
    }
    return -1;
}

bool resetPeakMemory()
{
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    return clear.open(QIODevice::WriteOnly) && clear.write("5") == 1;
}

constexpr qint64 MiB = 1024 * 1024;
} // namespace

class TestSsuLinkBounds : public QObject
{
    Q_OBJECT

private slots:
    // --- columns ---
    void columnFloodFailsTheStatementAndLeavesTheMemory_data();
    void columnFloodFailsTheStatementAndLeavesTheMemory();

    // --- endless pages ---
    void fleetPagesBeyondTheCountedModulesEndInAnError();
    void closingTheFleetWindowDuringAReadTakesAtMostTwoSeconds();
    void fleetWindowShowsAServersErrorAsPlainText();

    // --- slow readiness ---
    void slowReadinessEndsWithinTheOpenDeadline_data();
    void slowReadinessEndsWithinTheOpenDeadline();

    // --- character set ---
    void boundTextStaysOneLiteralWhateverTheServerParsesIn();
};

void TestSsuLinkBounds::columnFloodFailsTheStatementAndLeavesTheMemory_data()
{
    QTest::addColumn<quint64>("columns");
    QTest::addColumn<int>("nameBytes");
    // 1.4 GB of one-letter definitions, refused on its count.
    QTest::newRow("3,000,000 columns") << quint64(3000000) << 1;
    // A count that passes, with definitions far beyond the bytes an
    // answer's head may bring.
    QTest::newRow("1,000 columns of 60 kB names") << quint64(1000) << 60000;
}

void TestSsuLinkBounds::columnFloodFailsTheStatementAndLeavesTheMemory()
{
    QFETCH(quint64, columns);
    QFETCH(int, nameBytes);
    const QByteArray name(nameBytes, 'c');
    StreamingDatabaseServer server(fakeAddress(), [&](const QByteArray &statement, Reply &reply) {
        if (!statement.startsWith("SELECT c"))
            return;
        if (!reply.resultHead(columns))
            return;
        for (quint64 i = 0; i < columns; ++i) {
            if (!reply.column(name))
                return;
        }
        reply.endOfColumns() && reply.row({"1"}) && reply.endOfRows();
    });
    const OpenedConnection connection(QStringLiteral("flood"), targetOf(server));
    QVERIFY(connection.db.isOpen());

    const qint64 idle = memoryLine("VmRSS:");
    const bool peakKnown = resetPeakMemory();
    QElapsedTimer clock;
    clock.start();
    {
        QSqlQuery query(connection.db);
        QVERIFY(!query.exec(QStringLiteral("SELECT c FROM flood")));
        QVERIFY2(query.lastError().text().contains(QLatin1String("refused")), qPrintable(query.lastError().text()));
    }
    const qint64 peak = memoryLine("VmHWM:");
    qInfo("%llu columns announced: refused after %lld ms, %lld bytes sent by then, peak %.1f MB over idle",
          columns, clock.elapsed(), server.bytesSent(), double(peak - idle) / MiB);
    // Dropped, and not given to the next statement to try again.
    QVERIFY(!connection.db.isOpen());
    const auto *driver = qobject_cast<const SsuDriver *>(connection.db.driver());
    QVERIFY(driver && driver->wasGivenUp());
    if (peakKnown && idle > 0 && peak > 0)
        QVERIFY2(peak - idle < 64 * MiB, qPrintable(QString::number(peak - idle)));
}

void TestSsuLinkBounds::fleetPagesBeyondTheCountedModulesEndInAnError()
{
    // The groups count 12,000 modules; every page is full, with modules
    // never seen before, for ever.
    std::atomic<int> pages{0};
    std::atomic<qint64> nextSerial{1};
    StreamingDatabaseServer server(fakeAddress(), [&](const QByteArray &statement, Reply &reply) {
        if (statement.startsWith("SELECT l.g")) {
            reply.resultHead(2) && reply.column("g") && reply.column("n") && reply.endOfColumns()
                && reply.row({"3.2.2", "12000"}) && reply.endOfRows();
        } else if (statement.contains("r.sn")) {
            ++pages;
            if (!(reply.resultHead(4) && reply.column("sn") && reply.column("g") && reply.column("m")
                  && reply.column("a") && reply.endOfColumns()))
                return;
            for (int i = 0; i < 5000; ++i) {
                if (!reply.row({QByteArray::number(nextSerial++), "3.2.2", "600", "100"}))
                    return;
            }
            reply.endOfRows();
        }
    });
    const OpenedConnection connection(QStringLiteral("fleet"), targetOf(server));
    QVERIFY(connection.db.isOpen());
    QElapsedTimer clock;
    clock.start();
    const Attempt<FleetSummary> summary = readFleet(connection.db, FleetGrouping::FirmwareVersion);
    qInfo("endless full pages: given up after %d pages, %lld ms", pages.load(), clock.elapsed());
    QVERIFY(!summary.ok);
    QVERIFY(summary.value.groups.isEmpty());
    QVERIFY(summary.error.contains(QLatin1String("12000")));
    // Two full pages hold 10,000 of the counted modules; the third brings
    // more than were counted.
    QCOMPARE(pages.load(), 3);
}

void TestSsuLinkBounds::closingTheFleetWindowDuringAReadTakesAtMostTwoSeconds()
{
    StreamingDatabaseServer server(fakeAddress(), [](const QByteArray &statement, Reply &reply) {
        if (statement.startsWith("SELECT l.g"))
            reply.pause(60000);
    });
    SsuSession session;
    session.setDatabaseHosts(server.hosts());
    auto window = std::make_unique<FleetWindow>(&session);
    window->show();
    QTRY_VERIFY_WITH_TIMEOUT(
        [&server] {
            for (const QByteArray &statement : server.statements()) {
                if (statement.startsWith("SELECT l.g"))
                    return true;
            }
            return false;
        }(),
        10000);
    QVERIFY(window->isReading());
    QElapsedTimer clock;
    clock.start();
    window.reset();
    const qint64 closing = clock.elapsed();
    qInfo("closing the fleet window during a read took %lld ms", closing);
    QVERIFY2(closing <= 2000, qPrintable(QString::number(closing)));
}

void TestSsuLinkBounds::fleetWindowShowsAServersErrorAsPlainText()
{
    const QByteArray markup = "<h1 style=\"color:red\">Call 555-0100 now</h1>";
    StreamingDatabaseServer server(fakeAddress(), [markup](const QByteArray &statement, Reply &reply) {
        if (statement.startsWith("SELECT l.g"))
            reply.error(markup);
    });
    SsuSession session;
    session.setDatabaseHosts(server.hosts());
    FleetWindow window(&session);
    window.show();
    QSignalSpy shown(&window, &FleetWindow::summaryShown);
    QVERIFY(shown.wait(10000));
    QVERIFY(!window.summary().ok);
    const auto *status = window.findChild<QLabel *>(QStringLiteral("label_Status"));
    QVERIFY(status);
    // The tags are shown as the characters they are.
    QVERIFY2(status->text().contains(QString::fromLatin1(markup)), qPrintable(status->text()));
    QCOMPARE(status->textFormat(), Qt::PlainText);
}

void TestSsuLinkBounds::slowReadinessEndsWithinTheOpenDeadline_data()
{
    QTest::addColumn<int>("firstCheckMs");
    QTest::addColumn<int>("secondCheckMs");
    // Against an open's bound of 1.5 s (shortened for the test).
    QTest::newRow("first check silent") << 60000 << 0;
    // Each check within the open's bound alone, not together.
    QTest::newRow("two checks of 0.9 s") << 900 << 900;
}

void TestSsuLinkBounds::slowReadinessEndsWithinTheOpenDeadline()
{
    QFETCH(int, firstCheckMs);
    QFETCH(int, secondCheckMs);
    const rvktest::ShortSsuTimings shortWaits;
    const int connectMs = SsuTimings::current().connectMs;
    // A cluster node: wsrep_on is ON, so wsrep_ready is asked too.
    StreamingDatabaseServer server(fakeAddress(), [=](const QByteArray &statement, Reply &reply) {
        const bool first = statement.startsWith("SHOW VARIABLES");
        if (!first && !statement.startsWith("SHOW STATUS"))
            return;
        if (!reply.pause(first ? firstCheckMs : secondCheckMs))
            return;
        reply.resultHead(2) && reply.column("Variable_name") && reply.column("Value") && reply.endOfColumns()
            && reply.row({first ? "wsrep_on" : "wsrep_ready", "ON"}) && reply.endOfRows();
    });
    QElapsedTimer clock;
    clock.start();
    const OpenedConnection connection(QStringLiteral("slow"), targetOf(server));
    const qint64 elapsed = clock.elapsed();
    qInfo("an open with slow readiness checks was given up after %lld ms", elapsed);
    QVERIFY(!connection.db.isOpen());
    QVERIFY2(elapsed < connectMs + 500, qPrintable(QString::number(elapsed)));
    QVERIFY(elapsed >= connectMs - 100);
}

void TestSsuLinkBounds::boundTextStaysOneLiteralWhateverTheServerParsesIn()
{
    // A server that ignores the character set the client asked for (started
    // with skip-character-set-client-handshake) parses as this connection
    // does after SET NAMES: GBK reads the escaping backslash after "¿" as
    // the second byte of a character, and the quote then ends the literal.
    SsuTarget target;
    const DatabaseHost host = rvktest::testDatabaseHost();
    target.hosts = QStringLiteral("%1:%2").arg(host.name).arg(host.port);
    target.password = rvktest::testDatabasePassword();
    const OpenedConnection connection(QStringLiteral("gbk"), target);
    QVERIFY2(connection.db.isOpen(), qPrintable(connection.db.lastError().text()));
    QSqlQuery query(connection.db);
    QVERIFY(query.exec(QStringLiteral("SET NAMES gbk")));
    const QString text = QStringLiteral("中¿' OR 1=1 -- ");

    QVERIFY(query.prepare(QStringLiteral(
        "SELECT COUNT(*) FROM (SELECT 'a' AS x UNION ALL SELECT 'b' UNION ALL SELECT 'c') t WHERE x = ?")));
    query.addBindValue(text);
    QVERIFY2(query.exec() && query.next(), qPrintable(query.lastError().text()));
    QCOMPARE(query.value(0).toInt(), 0);

    // The server holds the very characters bound.
    QVERIFY(query.prepare(QStringLiteral("SELECT HEX(CONVERT(? USING utf8mb4)), CHAR_LENGTH(?)")));
    query.addBindValue(text);
    query.addBindValue(text);
    QVERIFY2(query.exec() && query.next(), qPrintable(query.lastError().text()));
    QCOMPARE(query.value(0).toByteArray(), text.toUtf8().toHex().toUpper());
    QCOMPARE(query.value(1).toInt(), text.size());
}

RVK_TEST_MAIN(TestSsuLinkBounds)
#include "tst_ssulink_bounds_db.moc"
