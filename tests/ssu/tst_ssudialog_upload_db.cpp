// The database dialog's download, connection and report upload against the
// test MariaDB. The table is shared with tests running at the same time, so
// this file owns serial numbers 71000..71099 and looks only at those rows.
#include "testmain.h"

#include "httpfileserver.h"
#include "ssudialog.h"
#include "ssutestsupport.h"
#include "tokenencoder.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QSqlDatabase>
#include <QSqlQuery>

#include <memory>

using rvktest::reportRecordWith;
using rvktest::rowsForSerial;

namespace {
constexpr quint32 FirstSn = 71000;
constexpr quint32 LastSn = 71099;

// Total section 100 s, inter-repair section 200 s; bins chosen so that every
// histogram column gets a distinguishable list.
QByteArray sampleRecord(quint32 sn, qint32 totalSeconds = 100, qint32 repairSeconds = 200)
{
    return reportRecordWith({{0, totalSeconds}, {1, 10}, {2, 20}, {3, 30}, {4, 40}, {7, 100},
                             {33, 17}, {34, repairSeconds}, {35, 200}, {66, 100}, {67, 4},
                             {69, qint32(sn)}, {70, 5032024}, {71, 322}, {72, 9}});
}

QByteArray recordWithUnsetFactoryTexts(quint32 sn)
{
    QByteArray record = sampleRecord(sn);
    rvktest::setReportWord(record, 70, -1);
    rvktest::setReportWord(record, 71, -1);
    return record;
}

// Waits for the dialog's network manager to deliver one reply; the dialog's
// own slot has run by then because it was connected first.
bool waitForDownload(SSUDialog &dialog)
{
    auto *manager = dialog.findChild<QNetworkAccessManager *>();
    if (!manager)
        return false;
    QSignalSpy finished(manager, SIGNAL(finished(QNetworkReply *)));
    dialog.startDownload();
    return finished.wait(10000);
}
} // namespace

class TstSSUDialogUpload : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanupTestCase();

    void failedDownloadsLeaveThePasswordEmpty_data();
    void failedDownloadsLeaveThePasswordEmpty();
    void downloadConnectsAndCreatesTheTable();

    void storesEveryColumn();
    void sameRecordTwiceKeepsOneRowDatedBySecondUpload();
    void sameTimesAnotherDateReplaces();
    void anotherInterRepairTimeAddsARow();
    void emptyRecordStoresNothingAndSucceeds();
    void unsetFactoryWordsAreStoredAsUnknown();
    void releaseDateWordThatIsNoDateIsStoredAsUnknown_data();
    void releaseDateWordThatIsNoDateIsStoredAsUnknown();
    void failedInsertKeepsTheRowItWouldReplace();
    void uploadWithoutConnectionFails();
    void connectionTriedBeforeThePasswordArrivedConnectsLater();

private:
    HttpFileServer server;
    std::unique_ptr<SSUDialog> online;
};

void TstSSUDialogUpload::initTestCase()
{
    qRegisterMetaType<QNetworkReply *>();
    QVERIFY2(rvktest::databaseReachable(), "start the test database: scripts/test-db start");
}

void TstSSUDialogUpload::init()
{
    QList<quint32> serials;
    for (quint32 sn = FirstSn; sn <= LastSn; ++sn)
        serials << sn;
    rvktest::deleteSerials(serials);
}

void TstSSUDialogUpload::cleanupTestCase()
{
    init();
}

void TstSSUDialogUpload::failedDownloadsLeaveThePasswordEmpty_data()
{
    QTest::addColumn<bool>("serverDown");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<bool>("indicatorRed");
    QTest::newRow("server down") << true << QByteArray() << true;
    QTest::newRow("garbage body") << false << QByteArray("<html>maintenance</html>") << false;
    QTest::newRow("empty body") << false << QByteArray() << false;
    QTest::newRow("wrong key") << false
                               << (TokenEncoder(Deployment::key() ^ 0x10u).encryptText(rvktest::testDatabasePassword()))
                                      .toLatin1()
                               << false;
}

void TstSSUDialogUpload::failedDownloadsLeaveThePasswordEmpty()
{
    QFETCH(bool, serverDown);
    QFETCH(QByteArray, body);
    QFETCH(bool, indicatorRed);
    SSUDialog dialog;
    HttpFileServer local;
    local.serve(QLatin1String(rvktest::passwordPath()), body);
    dialog.setDownloadUrl(serverDown ? HttpFileServer::unreachableUrl(QLatin1String(rvktest::passwordPath()))
                                     : local.url(QLatin1String(rvktest::passwordPath())));
    QSignalSpy indicator(&dialog, SIGNAL(signalIndicator(bool)));
    QSignalSpy wait(&dialog, SIGNAL(signalWaitDialog(bool)));
    QVERIFY(waitForDownload(dialog));
    QCOMPARE(dialog.dbPassword(), QString());
    // A download that does not decrypt leaves everything as it was: no
    // connection attempt, no indicator change.
    QCOMPARE(wait.count(), 0);
    QCOMPARE(indicator.count(), indicatorRed ? 1 : 0);
    if (indicatorRed)
        QCOMPARE(indicator.first().first().toBool(), false);
}

void TstSSUDialogUpload::downloadConnectsAndCreatesTheTable()
{
    online = std::make_unique<SSUDialog>();
    QSignalSpy wait(online.get(), SIGNAL(signalWaitDialog(bool)));
    QVERIFY(rvktest::bringOnline(*online, server));
    QCOMPARE(server.requestedPaths, QStringList{QStringLiteral("/downloads/ssu.pas")});
    QCOMPARE(online->dbPassword(), rvktest::testDatabasePassword());
    QCOMPARE(wait.count(), 2);
    QCOMPARE(wait.at(0).first().toBool(), true);
    QCOMPARE(wait.at(1).first().toBool(), false);

    const QSqlDatabase db = QSqlDatabase::database(QStringLiteral("RVKReport"), false);
    QVERIFY(db.isOpen());
    QCOMPARE(db.driverName(), QStringLiteral("QMYSQL"));
    QCOMPARE(db.databaseName(), QStringLiteral("RVKSSUdb"));
    QCOMPARE(db.port(), 3666);
    QCOMPARE(db.userName(), QStringLiteral("RVKuser"));
    QSqlQuery columns(db);
    QVERIFY(columns.exec(QStringLiteral("SELECT COUNT(*) FROM information_schema.columns WHERE table_schema = "
                                        "'RVKSSUdb' AND table_name = 'rvkreport' AND extra NOT LIKE '%INVISIBLE%'")));
    QVERIFY(columns.next());
    QCOMPARE(columns.value(0).toInt(), 21);

    QVERIFY(online->connectAndCreateTable());
}

void TstSSUDialogUpload::storesEveryColumn()
{
    QVERIFY(online);
    online->setReportDate(QStringLiteral("05.03.2024 14:07"));
    QVERIFY(online->uploadReport(sampleRecord(71001)));

    const QList<QVariantMap> rows = rowsForSerial(71001);
    QCOMPARE(rows.size(), 1);
    const QVariantMap row = rows.first();
    QCOMPARE(row.value("date").toDateTime(), QDateTime(QDate(2024, 3, 5), QTime(14, 7)));
    QCOMPARE(row.value("release_date").toDate(), QDate(2024, 3, 5));
    QCOMPARE(row.value("firmware_version").toString(), QStringLiteral("3.2.2"));
    QCOMPARE(row.value("impact_level").toUInt(), 9u);
    QCOMPARE(row.value("total_time").toString(), QStringLiteral("00:01"));
    QCOMPARE(row.value("repair_time").toString(), QStringLiteral("00:03"));
    QCOMPARE(row.value("rotation").toString(), QStringLiteral("10,20,30,40,0,0"));
    QCOMPARE(row.value("in_voltage").toString(), QStringLiteral("100,0,0,0"));
    QCOMPARE(row.value("vibration").toString(), QStringLiteral("0,0,0,0,0"));
    QCOMPARE(row.value("impacts").toUInt(), 17u);
    QCOMPARE(row.value("irt_rotation").toString(), QStringLiteral("100,0,0,0,0,0"));
    QCOMPARE(row.value("irt_in_voltage").toString(), QStringLiteral("0,0,0,0"));
    QCOMPARE(row.value("irt_vibration").toString(), QStringLiteral("0,0,0,0,50"));
    QCOMPARE(row.value("irt_impacts").toUInt(), 4u);
}

void TstSSUDialogUpload::sameRecordTwiceKeepsOneRowDatedBySecondUpload()
{
    QVERIFY(online);
    online->setReportDate(QStringLiteral("05.03.2024 14:07"));
    QVERIFY(online->uploadReport(sampleRecord(71002)));
    online->setReportDate(QStringLiteral("06.03.2024 09:30"));
    QVERIFY(online->uploadReport(sampleRecord(71002)));
    const QList<QVariantMap> rows = rowsForSerial(71002);
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows.first().value("date").toDateTime(), QDateTime(QDate(2024, 3, 6), QTime(9, 30)));
}

void TstSSUDialogUpload::sameTimesAnotherDateReplaces()
{
    QVERIFY(online);
    // An earlier row with the same key but other contents, as another station
    // may have stored it.
    online->setReportDate(QStringLiteral("01.01.2025 08:00"));
    QByteArray earlier = sampleRecord(71003);
    rvktest::setReportWord(earlier, 72, 1); // other impact level
    QVERIFY(online->uploadReport(earlier));
    online->setReportDate(QStringLiteral("02.02.2025 10:15"));
    QVERIFY(online->uploadReport(sampleRecord(71003)));

    const QList<QVariantMap> rows = rowsForSerial(71003);
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows.first().value("date").toDateTime(), QDateTime(QDate(2025, 2, 2), QTime(10, 15)));
    QCOMPARE(rows.first().value("impact_level").toUInt(), 9u);
}

void TstSSUDialogUpload::anotherInterRepairTimeAddsARow()
{
    QVERIFY(online);
    online->setReportDate(QStringLiteral("01.01.2025 08:00"));
    QVERIFY(online->uploadReport(sampleRecord(71004, 7200, 3600)));
    // After clearing the inter-repair data the module reports another
    // inter-repair time: a new report, the old row stays.
    online->setReportDate(QStringLiteral("03.01.2025 08:00"));
    QVERIFY(online->uploadReport(sampleRecord(71004, 7200, 0)));
    // Same inter-repair time but another total: also a new report.
    online->setReportDate(QStringLiteral("04.01.2025 08:00"));
    QVERIFY(online->uploadReport(sampleRecord(71004, 10800, 0)));

    const QList<QVariantMap> rows = rowsForSerial(71004);
    QCOMPARE(rows.size(), 3);
    QCOMPARE(rows.at(0).value("repair_time").toString(), QStringLiteral("01:00"));
    QCOMPARE(rows.at(1).value("repair_time").toString(), QStringLiteral("00:00"));
    QCOMPARE(rows.at(2).value("total_time").toString(), QStringLiteral("03:00"));
}

void TstSSUDialogUpload::emptyRecordStoresNothingAndSucceeds()
{
    QVERIFY(online);
    online->setReportDate(QStringLiteral("01.02.2003 04:05"));
    QVERIFY(online->uploadReport(QByteArray()));
    QSqlQuery query(rvktest::adminConnection());
    QVERIFY(query.exec(QStringLiteral("SELECT COUNT(*) FROM rvkreport WHERE date = '2003-02-01 04:05:00'")));
    QVERIFY(query.next());
    QCOMPARE(query.value(0).toInt(), 0);
}

void TstSSUDialogUpload::unsetFactoryWordsAreStoredAsUnknown()
{
    QVERIFY(online);
    // The previous upload in the run had a release date and firmware; they
    // must not be credited to the next module.
    online->setReportDate(QStringLiteral("01.01.2025 08:00"));
    QVERIFY(online->uploadReport(sampleRecord(71005)));
    online->setReportDate(QStringLiteral("01.01.2025 09:00"));
    QVERIFY(online->uploadReport(recordWithUnsetFactoryTexts(71006)));

    const QList<QVariantMap> rows = rowsForSerial(71006);
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows.first().value("release_date").toDate(), QDate(1970, 1, 1));
    QCOMPARE(rows.first().value("firmware_version").toString(), QString());
    QCOMPARE(rows.first().value("impact_level").toUInt(), 9u);
}

void TstSSUDialogUpload::releaseDateWordThatIsNoDateIsStoredAsUnknown_data()
{
    QTest::addColumn<qint32>("word");
    QTest::newRow("zero from a short read-out") << 0;
    QTest::newRow("month 13") << 1132024;
    QTest::newRow("too many digits") << 999999999;
}

void TstSSUDialogUpload::releaseDateWordThatIsNoDateIsStoredAsUnknown()
{
    QFETCH(qint32, word);
    QVERIFY(online);
    QByteArray record = sampleRecord(71050);
    rvktest::setReportWord(record, 70, word);
    online->setReportDate(QStringLiteral("01.01.2025 10:00"));
    QVERIFY(online->uploadReport(record));

    const QList<QVariantMap> rows = rowsForSerial(71050);
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows.first().value("release_date").toDate(), QDate(1970, 1, 1));
}

void TstSSUDialogUpload::failedInsertKeepsTheRowItWouldReplace()
{
    QVERIFY(online);
    online->setReportDate(QStringLiteral("05.03.2024 14:07"));
    QVERIFY(online->uploadReport(sampleRecord(71007)));
    // A report date that does not parse is bound as NULL, which the NOT NULL
    // column refuses after the duplicate rule has already removed the row.
    online->setReportDate(QStringLiteral("not a date"));
    QVERIFY(!online->uploadReport(sampleRecord(71007)));

    const QList<QVariantMap> rows = rowsForSerial(71007);
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows.first().value("date").toDateTime(), QDateTime(QDate(2024, 3, 5), QTime(14, 7)));

    // The connection is still usable for the next report.
    online->setReportDate(QStringLiteral("06.03.2024 14:07"));
    QVERIFY(online->uploadReport(sampleRecord(71007)));
    QCOMPARE(rowsForSerial(71007).first().value("date").toDateTime(), QDateTime(QDate(2024, 3, 6), QTime(14, 7)));
}

void TstSSUDialogUpload::uploadWithoutConnectionFails()
{
    SSUDialog neverConnected;
    neverConnected.setReportDate(QStringLiteral("05.03.2024 14:07"));
    QVERIFY(!neverConnected.uploadReport(sampleRecord(71008)));
    QVERIFY(neverConnected.uploadReport(QByteArray()));
    QCOMPARE(rowsForSerial(71008).size(), 0);
}

RVK_TEST_MAIN(TstSSUDialogUpload)
#include "tst_ssudialog_upload_db.moc"

void TstSSUDialogUpload::connectionTriedBeforeThePasswordArrivedConnectsLater()
{
    // A read-out completed before the download has finished adds the
    // program's connection with no password; the password that arrives
    // afterwards must be used from then on.
    online.reset();
    rvktest::dropProgramConnection();
    SSUDialog dialog;
    QVERIFY(!dialog.connectDatabase());
    HttpFileServer server;
    QVERIFY(rvktest::bringOnline(dialog, server));
    dialog.setReportDate(QStringLiteral("02.02.2025 10:00"));
    QVERIFY(dialog.uploadReport(sampleRecord(71060)));
    QCOMPARE(rowsForSerial(71060).size(), 1);
}
