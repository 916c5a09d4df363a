// The database link against servers that misbehave, through the main
// window's live read-out: a server that stops answering in the middle of an
// upload, and TLS servers whose certificate comes from the configured CA or
// from another. Each failure must end with the report archived and the
// indicator red, and the archived report must land once the link is good.
// Serial numbers 74500..74599 belong to this file.
#include "tests/support/shortssutimings.h"
#include "protocol/archivefile.h"
#include "ssu/driver/ssuconnection.h"
#include "ssu/gui/ssudialog.h"
#include "tests/support/sessioncalls.h"
#include "tests/support/httpfileserver.h"
#include "tests/support/mainwindowfixture.h"
#include "tests/support/modalanswerer.h"
#include "tests/support/recordbuilder.h"
#include "tests/support/ssutestsupport.h"
#include "tests/support/stallingproxy.h"
#include "tests/support/testfiles.h"
#include "tests/support/testmain.h"
#include "tests/support/tlsdatabaseserver.h"

#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QSqlQuery>

namespace {
QStringList archiveNames()
{
    return rvktest::filesIn(QStringLiteral("ssu"));
}

QString databaseHost()
{
    return rvktest::testDatabaseHost().name;
}

// A connection of the test's own to the TLS server, for looking at its rows.
int tlsRowCount(int port, quint32 sn)
{
    const QString name = QStringLiteral("rvktest-tls");
    QSqlDatabase db = QSqlDatabase::contains(name) ? QSqlDatabase::database(name, false)
                                                   : QSqlDatabase::addDatabase(QStringLiteral("QMYSQL"), name);
    db.setDatabaseName(QStringLiteral("RVKSSUdb"));
    db.setHostName(databaseHost());
    db.setPort(port);
    db.setUserName(QStringLiteral("RVKuser"));
    db.setPassword(rvktest::testDatabasePassword());
    if (!db.isOpen() && !db.open())
        return -1;
    QSqlQuery query(db);
    query.prepare(QStringLiteral("SELECT COUNT(*) FROM rvkreport WHERE sn = ?"));
    query.addBindValue(sn);
    return query.exec() && query.next() ? query.value(0).toInt() : -1;
}
} // namespace

class TestMainWindowDbLink : public QObject, public rvktest::MainWindowFixture
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();

    void serverSilentAfterAStatementArchivesWithinTheBound();
    void tlsServerOfTheConfiguredCaIsUsedEncrypted();
    void tlsServerOfAnotherCaIsRefusedAndTheReportArchived();
    void plainServerIsRefusedWhenTlsIsConfigured();

private:
    void readOut(quint32 sn);
    // Serves the password and starts the download: whether the connection it
    // opens succeeded.
    bool downloadAndConnect();

    HttpFileServer server;
    SSUDialog *dialog = nullptr;
    std::unique_ptr<TlsDatabaseServer> tls;
};

void TestMainWindowDbLink::initTestCase()
{
    QVERIFY2(rvktest::databaseReachable(), "start the test database: scripts/test-db start");
    tls = std::make_unique<TlsDatabaseServer>(databaseHost());
    QString error;
    QVERIFY2(tls->start(&error), qPrintable(error));
}

void TestMainWindowDbLink::init()
{
    QList<quint32> serials;
    for (quint32 sn = 74500; sn < 74600; ++sn)
        serials << sn;
    rvktest::deleteSerials(serials);
    rvktest::removeEntries({QStringLiteral("ssu")});
    startWindow();
    dialog = window->findChild<SSUDialog *>();
    QVERIFY(dialog);
}

void TestMainWindowDbLink::cleanup()
{
    closeWindow();
}

void TestMainWindowDbLink::cleanupTestCase()
{
    QSqlDatabase::removeDatabase(QStringLiteral("rvktest-tls"));
    tls.reset();
}

void TestMainWindowDbLink::readOut(quint32 sn)
{
    sendReport(rvktest::plausibleRecord(sn));
}

bool TestMainWindowDbLink::downloadAndConnect()
{
    server.serve(QLatin1String(rvktest::passwordPath()), rvktest::passwordFile());
    dialog->setDownloadUrl(server.url(QLatin1String(rvktest::passwordPath())));
    // The window's own download at start (from the deployment address) may
    // still fail late; the answer wanted is the first one given once the
    // password is known, which the download's connection attempt gives.
    int result = -1;
    const QMetaObject::Connection connection
        = QObject::connect(dialog, &SSUDialog::signalIndicator, dialog, [this, &result](bool on) {
              if (result < 0 && !dialog->dbPassword().isEmpty())
                  result = on ? 1 : 0;
          });
    dialog->startDownload();
    QElapsedTimer clock;
    clock.start();
    while (result < 0 && clock.elapsed() < 20000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    QObject::disconnect(connection);
    return result == 1;
}

void TestMainWindowDbLink::serverSilentAfterAStatementArchivesWithinTheBound()
{
    const rvktest::ShortSsuTimings shortWaits;
    const int statementMs = SsuTimings::current().statementMs;
    StallingProxy proxy(QHostAddress(databaseHost()), rvktest::testDatabaseHost().port);
    QVERIFY(proxy.port() != 0);
    dialog->setDatabaseServer(databaseHost(), proxy.port(), QString());
    QVERIFY(downloadAndConnect());

    // The server receives the insert and then nothing more comes back.
    proxy.stallAfter("INSERT INTO rvkreport");
    ModalAnswerer answerer;
    QElapsedTimer clock;
    clock.start();
    readOut(74501);
    QTRY_VERIFY_WITH_TIMEOUT(!archiveNames().isEmpty(), 3 * statementMs + 10000);
    const qint64 elapsed = clock.elapsed();
    qInfo("upload to the silent server gave up after %lld ms", elapsed);
    QCOMPARE(proxy.stalledConnections(), 1);
    QVERIFY2(elapsed < statementMs + 10000, qPrintable(QString::number(elapsed)));
    QCOMPARE(archiveNames().size(), 1);
    QVERIFY(archiveNames().first().startsWith(QStringLiteral("ssu_sn74501_")));
    QVERIFY(rvktest::rowsForSerial(74501).isEmpty());

    // The next connection uploads the archived report: one row, no file.
    proxy.forwardEverything();
    QVERIFY(rvktest::Sync::connectAndCreateTable(dialog->databaseSession()));
    QTRY_COMPARE_WITH_TIMEOUT(rvktest::rowsForSerial(74501).size(), 1, 10000);
    // The file goes once the upload's answer is back, just after the row.
    QTRY_COMPARE(archiveNames(), QStringList());
    QVERIFY(answerer.seen.isEmpty());
}

void TestMainWindowDbLink::tlsServerOfTheConfiguredCaIsUsedEncrypted()
{
    dialog->setDatabaseServer(databaseHost(), tls->port(), tls->caFile());
    QVERIFY(downloadAndConnect());
    QVERIFY(ssuLight()->styleSheet().contains(QLatin1String("background-color: green")));

    // Encrypted as the server sees it, too.
    const QVariantList cipher
        = rvktest::onSessionConnection(dialog->databaseSession(), QStringLiteral("SHOW SESSION STATUS LIKE 'Ssl_cipher'"));
    QVERIFY2(!cipher.value(1).toString().isEmpty(), "the connection is not encrypted");

    readOut(74511);
    QTRY_COMPARE_WITH_TIMEOUT(tlsRowCount(tls->port(), 74511), 1, 15000);
    QCOMPARE(archiveNames(), QStringList());
}

void TestMainWindowDbLink::tlsServerOfAnotherCaIsRefusedAndTheReportArchived()
{
    dialog->setDatabaseServer(databaseHost(), tls->port(), tls->otherCaFile());
    QVERIFY(!downloadAndConnect());
    QVERIFY(ssuLight()->styleSheet().contains(QLatin1String("background-color: red")));

    ModalAnswerer answerer;
    readOut(74521);
    QTRY_COMPARE_WITH_TIMEOUT(archiveNames().size(), 1, 15000);
    QVERIFY(archiveNames().first().startsWith(QStringLiteral("ssu_sn74521_")));
    QVERIFY(ssuLight()->styleSheet().contains(QLatin1String("background-color: red")));
    QCOMPARE(tlsRowCount(tls->port(), 74521), 0);

    // With the right CA the archived report lands on the next connection.
    dialog->setDatabaseServer(databaseHost(), tls->port(), tls->caFile());
    QVERIFY(rvktest::Sync::connectAndCreateTable(dialog->databaseSession()));
    QTRY_COMPARE_WITH_TIMEOUT(tlsRowCount(tls->port(), 74521), 1, 10000);
    // The file goes once the upload's answer is back, just after the row.
    QTRY_COMPARE(archiveNames(), QStringList());
    QVERIFY(answerer.seen.isEmpty());
}

void TestMainWindowDbLink::plainServerIsRefusedWhenTlsIsConfigured()
{
    // The test database speaks no TLS; the client library would fall back to
    // plain text by itself.
    dialog->setDatabaseServer(databaseHost(), rvktest::testDatabaseHost().port, tls->caFile());
    QVERIFY(!downloadAndConnect());
    QVERIFY(ssuLight()->styleSheet().contains(QLatin1String("background-color: red")));
    QVERIFY(!rvktest::Sync::connectAndCreateTable(dialog->databaseSession()));
}

RVK_TEST_MAIN(TestMainWindowDbLink)
#include "tst_mainwindow_dblink_db.moc"
