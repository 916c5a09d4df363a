// The password download over https with the web server's CA pinned: only a
// certificate that CA issued for the server's address opens the download,
// whatever else the station's store trusts, and a CA file that cannot be
// used means no download at all. Servers listen on 127.0.0.42; the database
// is looked for where nothing answers, so no password reaches a server.
#include "tests/support/testmain.h"

#include "ssu/deployment.h"
#include "ssu/ssuendpoints.h"
#include "ssu/ssusession.h"
#include "ssu/tokenencoder.h"
#include "tests/support/httpsfileserver.h"
#include "tests/support/testcertificates.h"

#include <QFile>
#include <QRegularExpression>
#include <QSslConfiguration>
#include <QTcpServer>

namespace {
const QHostAddress ServerAddress(QStringLiteral("127.0.0.42"));
const QString Password = QStringLiteral("pinned-password");

// An address on the server's host where nothing listens.
QString closedAddress()
{
    QTcpServer probe;
    probe.listen(ServerAddress, 0);
    return QStringLiteral("%1:%2").arg(ServerAddress.toString()).arg(probe.serverPort());
}
} // namespace

class TestPasswordDownloadTls : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void downloads_data();
    void downloads();

private:
    TestCertificates m_certificates;
    QString m_pinnedCa;
};

void TestPasswordDownloadTls::initTestCase()
{
    QString error;
    QVERIFY2(m_certificates.makeCa(QStringLiteral("pinned-ca"), &error), qPrintable(error));
    QVERIFY2(m_certificates.makeCa(QStringLiteral("store-ca"), &error), qPrintable(error));
    QVERIFY2(m_certificates.issue(QStringLiteral("pinned-ca"), QStringLiteral("server"), ServerAddress.toString(),
                                  &error),
             qPrintable(error));
    QVERIFY2(m_certificates.issue(QStringLiteral("pinned-ca"), QStringLiteral("other-host"),
                                  QStringLiteral("127.0.0.43"), &error),
             qPrintable(error));
    QVERIFY2(m_certificates.issue(QStringLiteral("store-ca"), QStringLiteral("store-server"),
                                  ServerAddress.toString(), &error),
             qPrintable(error));
    m_pinnedCa = m_certificates.certificate(QStringLiteral("pinned-ca"));

    // The station's store trusts the other CA, as a system store trusts many
    // a CA the SSU never chose: a download that fell back to the store would
    // accept that CA's certificate for the server.
    QSslConfiguration store = QSslConfiguration::defaultConfiguration();
    store.setCaCertificates(QSslCertificate::fromPath(m_certificates.certificate(QStringLiteral("store-ca"))));
    QSslConfiguration::setDefaultConfiguration(store);

    QFile empty(m_certificates.path(QStringLiteral("empty.pem")));
    QVERIFY(empty.open(QIODevice::WriteOnly));
    QFile garbage(m_certificates.path(QStringLiteral("garbage.pem")));
    QVERIFY(garbage.open(QIODevice::WriteOnly));
    garbage.write("-----BEGIN CERTIFICATE-----\nnot base64 at all\n-----END CERTIFICATE-----\n");
}

void TestPasswordDownloadTls::downloads_data()
{
    QTest::addColumn<QString>("serverCertificate"); // empty: plain http
    QTest::addColumn<QString>("caFile");            // empty: no CA pinned
    QTest::addColumn<bool>("received");
    // What the log must say when the download is refused before it starts.
    QTest::addColumn<QString>("reason");

    const QString pinned = QStringLiteral("pinned-ca.pem");
    QTest::newRow("the pinned CA's certificate for the server") << "server" << pinned << true << QString();
    QTest::newRow("the pinned CA's certificate for another host") << "other-host" << pinned << false << QString();
    QTest::newRow("another CA the store trusts") << "store-server" << pinned << false << QString();
    // The store's CA does open a download that pins nothing, so the case
    // above is refused for the pinning and nothing else.
    QTest::newRow("another CA the store trusts, no CA pinned") << "store-server" << QString() << true << QString();
    QTest::newRow("CA file missing") << "store-server" << QStringLiteral("missing.pem") << false
                                     << QStringLiteral("cannot read .*missing.pem");
    QTest::newRow("CA file empty") << "store-server" << QStringLiteral("empty.pem") << false
                                   << QStringLiteral("empty.pem holds no PEM certificate");
    QTest::newRow("CA file without a certificate") << "store-server" << QStringLiteral("garbage.pem") << false
                                                   << QStringLiteral("garbage.pem holds no PEM certificate");
    QTest::newRow("CA pinned, plain http") << QString() << pinned << false << QStringLiteral("not an https address");
}

void TestPasswordDownloadTls::downloads()
{
    QFETCH(QString, serverCertificate);
    QFETCH(QString, caFile);
    QFETCH(bool, received);
    QFETCH(QString, reason);

    HttpsFileServer server(ServerAddress);
    QVERIFY(server.start(serverCertificate.isEmpty() ? QString() : m_certificates.certificate(serverCertificate),
                         serverCertificate.isEmpty() ? QString() : m_certificates.key(serverCertificate)));
    server.serve(QStringLiteral("/downloads/ssu.pas"),
                 TokenEncoder(Deployment::key()).encryptText(Password).toLatin1() + '\n');
    SsuEndpoints::replace({closedAddress(), QString(), server.url(),
                           caFile.isEmpty() ? QString() : m_certificates.path(caFile)});
    SsuSession session;
    if (!reason.isEmpty()) {
        QTest::ignoreMessage(QtWarningMsg,
                             QRegularExpression(QStringLiteral("^SSU password download not started: .*") + reason));
    }
    session.startDownload();

    QTRY_VERIFY_WITH_TIMEOUT(session.passwordState() != SsuSession::PasswordState::NotFetched, 20000);
    if (received) {
        QCOMPARE(session.passwordState(), SsuSession::PasswordState::Received);
        QCOMPARE(session.dbPassword(), Password);
        QCOMPARE(server.requests, 1);
    } else {
        QCOMPARE(session.passwordState(), SsuSession::PasswordState::Unreachable);
        QVERIFY(session.dbPassword().isEmpty());
        // Refused in the handshake or before connecting: the request itself
        // never reached the server.
        QCOMPARE(server.requests, 0);
    }
}

RVK_TEST_MAIN(TestPasswordDownloadTls)
#include "tst_passworddownload_tls.moc"
