// Read-outs taken while the ones before them are still being stored, through
// the window, against the test MariaDB behind a proxy that holds every answer
// of the server: each report is compared with the one read just before it,
// every comparison keeps a file of its own, and the station's own copy ends
// with the latest read-out. Serial numbers 76100..76199 belong to this file.
#include "protocol/archivefile.h"
#include "station/localhistory.h"
#include "tests/support/httpfileserver.h"
#include "tests/support/mainwindowfixture.h"
#include "tests/support/recordbuilder.h"
#include "tests/support/sessioncalls.h"
#include "tests/support/ssutestsupport.h"
#include "tests/support/stallingproxy.h"
#include "tests/support/testfiles.h"
#include "tests/support/testmain.h"
#include "tests/support/urlcatcher.h"

#include <QDir>

#include <algorithm>
#include <QSignalSpy>

namespace {
constexpr quint32 FirstSn = 76100;
constexpr quint32 LastSn = 76199;
// Each answer of the SSU is held this long: the first storage, a connection
// of several answers, is still under way when the second read-out ends.
constexpr int HeldMs = 120;

const QString FirstReportText = QStringLiteral("Это первый отчёт модуля: сравнивать не с чем.");
const QString UnreachableText = QStringLiteral("Предыдущий отчёт модуля здесь не известен: ССУ не ответила");
const QString BackwardsText = QStringLiteral("Полная наработка уменьшилась");
const QString EarlierText = QStringLiteral("Этот отчёт датирован раньше предыдущего");

// The comparisons written for the module, in the order of their names: the
// first of a minute has the plain name, the next ones a suffix.
QStringList comparisons(quint32 sn)
{
    QStringList names = QDir(QStringLiteral("Reports"))
                            .entryList({QStringLiteral("RVKChanges_sn%1*.html").arg(sn)}, QDir::Files, QDir::Name);
    // "-2" sorts before "_": the plain name (the shortest) goes first.
    std::stable_sort(names.begin(), names.end(),
                     [](const QString &a, const QString &b) { return a.size() < b.size(); });
    for (QString &name : names)
        name = QString::fromUtf8(rvktest::readFile(QStringLiteral("Reports/") + name));
    return names;
}

QStringList totalTimesStored(quint32 sn)
{
    QStringList times;
    for (const QVariantMap &row : rvktest::rowsForSerial(sn))
        times << row.value("total_time").toString();
    times.sort();
    return times;
}
} // namespace

class TestMainWindowOrder : public QObject, public rvktest::MainWindowFixture
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();

    void secondReadoutDuringTheFirstOnesStorage_data();
    void secondReadoutDuringTheFirstOnesStorage();
    void closingDuringTheStorageKeepsTheReport();

private:
    void deleteOwnRows();
    // Two read-outs of one module, the second taken as soon as the first
    // has been read, while its storage is still under way.
    void readTwice(const QByteArray &first, const QByteArray &second);

    HttpFileServer server;
    std::unique_ptr<StallingProxy> proxy;
};

void TestMainWindowOrder::initTestCase()
{
    QVERIFY2(rvktest::databaseReachable(), "start the test database: scripts/test-db start");
}

void TestMainWindowOrder::deleteOwnRows()
{
    QList<quint32> serials;
    for (quint32 sn = FirstSn; sn <= LastSn; ++sn)
        serials << sn;
    rvktest::deleteSerials(serials);
}

void TestMainWindowOrder::init()
{
    deleteOwnRows();
    rvktest::removeEntries({QStringLiteral("ssu"), QStringLiteral("Reports"), QStringLiteral("History")});
    UrlCatcher::instance().urls.clear();
    const DatabaseHost host = rvktest::testDatabaseHost();
    proxy = std::make_unique<StallingProxy>(QHostAddress(host.name), quint16(host.port));
    QVERIFY(proxy->port() != 0);
    startWindow();
    auto *dialog = window->findChild<SSUDialog *>();
    dialog->setDatabaseServer(proxy->address().toString(), proxy->port(), {});
    QVERIFY(rvktest::bringOnline(*dialog, server));
    proxy->holdAnswers(HeldMs);
}

void TestMainWindowOrder::cleanup()
{
    closeWindow();
    proxy.reset();
}

void TestMainWindowOrder::cleanupTestCase()
{
    deleteOwnRows();
}

void TestMainWindowOrder::readTwice(const QByteArray &first, const QByteArray &second)
{
    QSignalSpy stored(window->station()->keeper(), &ReportKeeper::reportStored);
    QVERIFY(requestReport());
    sendReport(first);
    QTRY_COMPARE(UrlCatcher::instance().reportDocuments().size(), 1);
    // The first report is not stored yet: its connection alone takes several
    // held answers.
    QCOMPARE(stored.size(), 0);
    QVERIFY(requestReport());
    sendReport(second);
    QTRY_COMPARE(UrlCatcher::instance().reportDocuments().size(), 2);
    QTRY_COMPARE_WITH_TIMEOUT(stored.size(), 2, 60000);
    // Both documents of the minute stay, each under a name of its own.
    const QList<QUrl> documents = UrlCatcher::instance().reportDocuments();
    QVERIFY(documents.first() != documents.last());
    QVERIFY(rvktest::readFile(documents.first().toLocalFile()).contains("10:00"));
    QVERIFY(rvktest::readFile(documents.last().toLocalFile()).contains("20:00"));
}

void TestMainWindowOrder::secondReadoutDuringTheFirstOnesStorage_data()
{
    QTest::addColumn<bool>("serverUp");
    QTest::addColumn<bool>("backlog");
    QTest::newRow("stored in the SSU") << true << false;
    QTest::newRow("during the archive pass") << true << true;
    QTest::newRow("server stopped") << false << false;
}

void TestMainWindowOrder::secondReadoutDuringTheFirstOnesStorage()
{
    QFETCH(bool, serverUp);
    QFETCH(bool, backlog);
    const quint32 sn = FirstSn + 1;
    // Older reports of another module wait in the archive: the connection
    // the first read-out makes uploads them first, one held answer after
    // another.
    QList<quint32> waiting;
    if (backlog) {
        for (quint32 other = FirstSn + 10; other < FirstSn + 14; ++other) {
            QVERIFY(ArchiveFile::write(ArchiveFile::path(other, QStringLiteral("01.02.2025 10:00")),
                                       rvktest::plausibleRecord(other, 3600)));
            waiting << other;
        }
    }
    if (!serverUp) {
        // The server went away: no new connection, and the open one dropped.
        proxy->refuseNewConnections(true);
        for (int connection = 0; connection < 8; ++connection)
            proxy->dropConnection(connection);
    }

    const QByteArray earlier = rvktest::plausibleRecord(sn, 10 * 3600);
    const QByteArray later = rvktest::plausibleRecord(sn, 20 * 3600);
    readTwice(earlier, later);

    // Each read-out has a comparison of its own: the first one's module had
    // no report before it, the second one's is the first, and nothing went
    // backwards.
    const QStringList written = comparisons(sn);
    QCOMPARE(written.size(), 2);
    // With the server gone, the first one's previous report is not known
    // here rather than none.
    QVERIFY2(written.at(0).contains(serverUp ? FirstReportText : UnreachableText), qPrintable(written.at(0)));
    QVERIFY(!written.at(1).contains(FirstReportText));
    QVERIFY2(written.at(1).contains(QStringLiteral("<td>10:00</td><td>20:00</td><td>+10:00</td>")),
             qPrintable(written.at(1)));
    for (const QString &comparison : written) {
        QVERIFY(!comparison.contains(BackwardsText));
        QVERIFY(!comparison.contains(EarlierText));
    }
    // Both reports are kept, once each; the station's copy is the later one.
    if (serverUp) {
        QCOMPARE(totalTimesStored(sn), (QStringList{QStringLiteral("10:00"), QStringLiteral("20:00")}));
        QCOMPARE(ArchiveFile::list(QStringLiteral("ssu")), QStringList());
        for (quint32 other : waiting)
            QCOMPARE(rvktest::rowsForSerial(other).size(), 1);
    } else {
        QCOMPARE(totalTimesStored(sn), QStringList());
        QCOMPARE(ArchiveFile::list(QStringLiteral("ssu")).size(), 2);
        // The window says that they wait.
        QTRY_COMPARE(widget<QLabel>("label_Storage")->text(), QStringLiteral("Отчётов ждут передачи в ССУ: 2"));
        QVERIFY(!widget<QLabel>("label_Storage")->isHidden());
    }
    ReportValues kept;
    QVERIFY(LocalHistory().latest(sn, &kept));
    QCOMPARE(kept.total_time, QStringLiteral("20:00"));
}

// The window closed while a read-out waits for the slow SSU: the report goes
// to the archive, to be uploaded at the next start.
void TestMainWindowOrder::closingDuringTheStorageKeepsTheReport()
{
    const quint32 sn = FirstSn + 2;
    const QByteArray record = rvktest::plausibleRecord(sn, 5 * 3600);
    QSignalSpy stored(window->station()->keeper(), &ReportKeeper::reportStored);
    QVERIFY(requestReport());
    sendReport(record);
    QTRY_COMPARE(UrlCatcher::instance().reportDocuments().size(), 1);
    QCOMPARE(stored.size(), 0);
    closeWindow();

    const QStringList archived = ArchiveFile::list(QStringLiteral("ssu"));
    QCOMPARE(archived.size(), 1);
    QCOMPARE(rvktest::readFile(QStringLiteral("ssu/") + archived.first()), record);
}

RVK_TEST_MAIN(TestMainWindowOrder)
#include "tst_mainwindow_order_db.moc"
