// What a hostile server can get out of the dialog's link: a file of the
// station's user through LOAD DATA LOCAL INFILE, or a window held up by a
// password download that is too large or never ends. Serial numbers
// 74600..74699 belong to this file.
#include "tests/support/shortssutimings.h"
#include "tests/support/sessioncalls.h"
#include "tests/support/testmain.h"

#include "ssu/reportschema.h"
#include "ssu/gui/ssudialog.h"
#include "tests/support/httpfileserver.h"
#include "tests/support/ssutestsupport.h"

#include <QElapsedTimer>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>

namespace {
// One row of rvkreport as LOAD DATA reads it (tab-separated columns).
QByteArray rowFile(quint32 sn)
{
    QByteArrayList columns = {QByteArray::number(sn), "2025-01-01 10:00:00", "2024-03-05", "3.2.2", "9", "02:00",
                              "01:00"};
    for (int i = 0; i < 6; ++i)
        columns << "-";
    columns << "0";
    for (int i = 0; i < 6; ++i)
        columns << "-";
    columns << "0";
    return columns.join('\t') + '\n';
}

QString loadStatement(const QString &path)
{
    return QStringLiteral("LOAD DATA LOCAL INFILE '%1' INTO TABLE rvkreport").arg(path);
}
} // namespace

class TestSsuDialogLink : public rvktest::DatabaseTestCase
{
    Q_OBJECT
public:
    TestSsuDialogLink()
        : DatabaseTestCase(74601, 74603)
    {
    }

private slots:
    void initTestCase();
    void cleanup();

    void serverCannotReadLocalFilesThroughTheProgramsConnection();
    void oversizedPasswordFileIsAFailedDownload();
    void stalledPasswordDownloadFailsWithinItsBound();
    void redirectedPasswordDownloadIsNotFollowed();
};

void TestSsuDialogLink::initTestCase()
{
    QVERIFY2(databaseReady(), DatabaseMissing);
}

void TestSsuDialogLink::cleanup()
{
    deleteOwnRows();
}

void TestSsuDialogLink::serverCannotReadLocalFilesThroughTheProgramsConnection()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("private.tsv"));
    QFile secret(file);
    QVERIFY(secret.open(QIODevice::WriteOnly));
    secret.write(rowFile(74601) + rowFile(74602) + rowFile(74603));
    secret.close();

    // The server allows it, and so does the client library left to its
    // defaults (the test's own connection): the threat is real here.
    QSqlQuery check(rvktest::adminConnection());
    QVERIFY(check.exec(QStringLiteral("SELECT @@local_infile")) && check.next());
    QCOMPARE(check.value(0).toInt(), 1);
    QVERIFY2(check.exec(loadStatement(file)), "the client library should honour LOAD DATA LOCAL by default");
    QCOMPARE(rvktest::rowsForSerial(74601).size(), 1);
    deleteOwnRows();

    SSUDialog dialog;
    QVERIFY(bringOnline(dialog));
    for (int attempt = 0; attempt < 2; ++attempt) {
        QVERIFY(!rvktest::execOnSessionConnection(dialog.databaseSession(), loadStatement(file)));
        QVERIFY(rvktest::rowsForSerial(74601).isEmpty());
        // A reopened connection is just as closed.
        QVERIFY(rvktest::Sync::connectAndCreateTable(dialog.databaseSession()));
    }
}

void TestSsuDialogLink::oversizedPasswordFileIsAFailedDownload()
{
    // A valid password file padded past the bound: decryption would skip
    // the padding, so only the size cap refuses it.
    const QByteArray padded = rvktest::passwordFile() + QByteArray(5 * 1024, '\n');
    server.serve(QLatin1String(rvktest::passwordPath()), padded);
    SSUDialog dialog;
    dialog.setDownloadUrl(server.url(QLatin1String(rvktest::passwordPath())));
    QSignalSpy indicator(&dialog, SIGNAL(signalIndicator(bool)));
    dialog.startDownload();
    QTRY_COMPARE_WITH_TIMEOUT(indicator.count(), 1, 10000);
    QCOMPARE(indicator.first().first().toBool(), false);
    QCOMPARE(dialog.dbPassword(), QString());

    // The same file within the bound is a password.
    server.serve(QLatin1String(rvktest::passwordPath()), rvktest::passwordFile() + QByteArray(1024, '\n'));
    QVERIFY(bringOnline(dialog));
    QCOMPARE(dialog.dbPassword(), rvktest::testDatabasePassword());
}

void TestSsuDialogLink::stalledPasswordDownloadFailsWithinItsBound()
{
    const rvktest::ShortSsuTimings shortWaits;
    // Accepts the request and never answers.
    QTcpServer silent;
    QVERIFY(silent.listen(QHostAddress::LocalHost));
    SSUDialog dialog;
    dialog.setDownloadUrl(QUrl(QStringLiteral("http://127.0.0.1:%1/downloads/ssu.pas").arg(silent.serverPort())));
    QSignalSpy indicator(&dialog, SIGNAL(signalIndicator(bool)));
    QElapsedTimer clock;
    clock.start();
    dialog.startDownload();
    const int boundMs = SsuTimings::current().passwordDownloadMs;
    QTRY_COMPARE_WITH_TIMEOUT(indicator.count(), 1, 3 * boundMs + 10000);
    QVERIFY2(clock.elapsed() < boundMs + 10000, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(indicator.first().first().toBool(), false);
    QCOMPARE(dialog.dbPassword(), QString());
}

void TestSsuDialogLink::redirectedPasswordDownloadIsNotFollowed()
{
    // A redirect could lead an https address to plain http or to another
    // host; the real file is served, but only at the redirect's target.
    server.serve(QLatin1String(rvktest::passwordPath()), rvktest::passwordFile());
    server.requestedPaths.clear();
    const QByteArray target = server.url(QLatin1String(rvktest::passwordPath())).toEncoded();
    QTcpServer redirecting;
    QVERIFY(redirecting.listen(QHostAddress::LocalHost));
    connect(&redirecting, &QTcpServer::newConnection, &redirecting, [&redirecting, target] {
        QTcpSocket *socket = redirecting.nextPendingConnection();
        connect(socket, &QTcpSocket::readyRead, socket, [socket, target] {
            socket->readAll();
            socket->write("HTTP/1.0 302 Found\r\nLocation: " + target + "\r\nContent-Length: 0\r\n\r\n");
            socket->disconnectFromHost();
        });
    });
    SSUDialog dialog;
    dialog.setDownloadUrl(QUrl(QStringLiteral("http://127.0.0.1:%1/downloads/ssu.pas").arg(redirecting.serverPort())));
    QSignalSpy indicator(&dialog, SIGNAL(signalIndicator(bool)));
    dialog.startDownload();
    QTRY_COMPARE_WITH_TIMEOUT(indicator.count(), 1, 10000);
    QCOMPARE(indicator.first().first().toBool(), false);
    QCOMPARE(dialog.dbPassword(), QString());
    QVERIFY(server.requestedPaths.isEmpty());
}

RVK_TEST_MAIN(TestSsuDialogLink)
#include "tst_ssudialog_link_db.moc"
