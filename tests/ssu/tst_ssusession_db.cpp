// The database session's download, connection, report upload, searches and
// stored-report lookups against the test MariaDB, without any window: the
// program links only the widget-free SSU library and runs on a
// QCoreApplication. The table is shared with tests running at the same time,
// so this file owns serial numbers 71000..71099 and looks only at those rows.
#include "report/reportfields.h"
#include "ssu/ssusession.h"
#include "ssu/tokenencoder.h"
#include "tests/support/sessioncalls.h"
#include "tests/support/databasetest.h"

#include <QCoreApplication>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>

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

// The key of a stored report as the list remembers it, read from the row
// of that module and date (and total time, where several share the minute).
StoredReportKey storedKey(quint32 sn, const QDateTime &date, const QString &totalTime = QString())
{
    StoredReportKey key;
    key.sn = sn;
    key.date = date;
    QSqlQuery query(rvktest::adminConnection());
    query.prepare(QStringLiteral("SELECT id, total_time, repair_time FROM rvkreport WHERE sn = ? AND date = ?"));
    query.addBindValue(sn);
    query.addBindValue(date);
    query.exec();
    while (query.next()) {
        if (totalTime.isEmpty() || query.value(1).toString() == totalTime) {
            key.rowId = query.value(0);
            key.totalTime = query.value(1).toString();
            key.repairTime = query.value(2).toString();
        }
    }
    return key;
}

QByteArray recordWithUnsetFactoryTexts(quint32 sn)
{
    QByteArray record = sampleRecord(sn);
    rvktest::setReportWord(record, 70, -1);
    rvktest::setReportWord(record, 71, -1);
    return record;
}

// Waits for the session's network manager to deliver one reply; the
// session's own slot has run by then because it was connected first.
bool waitForDownload(SsuSession &session)
{
    auto *manager = session.findChild<QNetworkAccessManager *>();
    if (!manager)
        return false;
    QSignalSpy finished(manager, SIGNAL(finished(QNetworkReply *)));
    session.startDownload();
    return finished.wait(10000);
}

// Whether the first window of the listing's latest search has been read
// (a search returns at once and its rows arrive later).
bool listingArrived(const MySqlQueryModel *model)
{
    return model && QTest::qWaitFor([model] { return !model->isLoading(); }, 20000) && !model->readFailed();
}

// The serial numbers a listing shows, in its order; the whole listing is
// read once its length is known, each row once its window has arrived.
QList<quint32> listedSerials(SsuSession &session)
{
    MySqlQueryModel *model = session.model();
    QList<quint32> serials;
    if (!listingArrived(model) || !QTest::qWaitFor([model] { return !model->isCounting(); }, 20000))
        return serials;
    for (int row = 0; row < model->rowCount(); ++row) {
        const QModelIndex cell = model->index(row, 0);
        if (!QTest::qWaitFor(
                [model, cell] {
                    cell.data();
                    return model->isRowLoaded(cell.row());
                },
                20000))
            return {};
        const quint32 sn = cell.data().toUInt();
        if (sn >= FirstSn && sn <= LastSn)
            serials << sn;
    }
    return serials;
}
} // namespace

class TestSsuSession : public rvktest::DatabaseTestCase
{
    Q_OBJECT
public:
    TestSsuSession()
        : DatabaseTestCase(FirstSn, LastSn)
    {
    }

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

    void searchesListTheirRowsInTheirOrder();
    void searchesWithoutAModelDoNothing();
    void openReadsTheStoredReport();
    void openOfNoStoredReportFails();
    void deleteRemovesOnlyTheNamedReport();

private:
    // Stores the three reports the search and lookup cases look at.
    void storeSearchRows();

    std::unique_ptr<SsuSession> online;
};

void TestSsuSession::initTestCase()
{
    qRegisterMetaType<QNetworkReply *>();
    QVERIFY2(databaseReady(), DatabaseMissing);
}

void TestSsuSession::init()
{
    deleteOwnRows();
}

void TestSsuSession::cleanupTestCase()
{
    init();
}

void TestSsuSession::failedDownloadsLeaveThePasswordEmpty_data()
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

void TestSsuSession::failedDownloadsLeaveThePasswordEmpty()
{
    QFETCH(bool, serverDown);
    QFETCH(QByteArray, body);
    QFETCH(bool, indicatorRed);
    SsuSession session;
    HttpFileServer local;
    local.serve(QLatin1String(rvktest::passwordPath()), body);
    session.setDownloadUrl(serverDown ? HttpFileServer::unreachableUrl(QLatin1String(rvktest::passwordPath()))
                                     : local.url(QLatin1String(rvktest::passwordPath())));
    QSignalSpy indicator(&session, SIGNAL(signalIndicator(bool)));
    QSignalSpy wait(&session, SIGNAL(signalWaitDialog(bool)));
    QSignalSpy received(&session, SIGNAL(passwordReceived()));
    QVERIFY(waitForDownload(session));
    QCOMPARE(session.dbPassword(), QString());
    QCOMPARE(received.count(), 0);
    // A download that does not decrypt leaves everything as it was: no
    // connection attempt, no indicator change.
    QCOMPARE(wait.count(), 0);
    QCOMPARE(indicator.count(), indicatorRed ? 1 : 0);
    if (indicatorRed)
        QCOMPARE(indicator.first().first().toBool(), false);
}

void TestSsuSession::downloadConnectsAndCreatesTheTable()
{
    online = std::make_unique<SsuSession>();
    QSignalSpy wait(online.get(), SIGNAL(signalWaitDialog(bool)));
    QSignalSpy received(online.get(), SIGNAL(passwordReceived()));
    QVERIFY(bringOnline(*online));
    QCOMPARE(received.count(), 1);
    QCOMPARE(server.requestedPaths, QStringList{QStringLiteral("/downloads/ssu.pas")});
    QCOMPARE(online->dbPassword(), rvktest::testDatabasePassword());
    QCOMPARE(wait.count(), 2);
    QCOMPARE(wait.at(0).first().toBool(), true);
    QCOMPARE(wait.at(1).first().toBool(), false);

    QCOMPARE(online->connectedHost(), rvktest::testDatabaseHost().name);
    const QVariantList account
        = rvktest::onSessionConnection(online.get(), QStringLiteral("SELECT DATABASE(), CURRENT_USER(), @@port"));
    QCOMPARE(account.value(0).toString(), QStringLiteral("RVKSSUdb"));
    QVERIFY(account.value(1).toString().startsWith(QStringLiteral("RVKuser@")));
    QCOMPARE(account.value(2).toInt(), rvktest::testDatabaseHost().port);
    // The created table's visible columns are the field table's, in order:
    // what the upload binds and the opening reads back is every column.
    QSqlQuery columns(rvktest::adminConnection());
    QVERIFY(columns.exec(QStringLiteral("SELECT column_name FROM information_schema.columns WHERE table_schema = "
                                        "'RVKSSUdb' AND table_name = 'rvkreport' AND extra NOT LIKE '%INVISIBLE%' "
                                        "ORDER BY ordinal_position")));
    QStringList created, described;
    while (columns.next())
        created << columns.value(0).toString();
    for (const ReportField &field : reportFields())
        described << field.column;
    QCOMPARE(created, described);

    QVERIFY(rvktest::Sync::connectAndCreateTable(&*online));
}

void TestSsuSession::storesEveryColumn()
{
    QVERIFY(online);
    online->setReportDate(QStringLiteral("05.03.2024 14:07"));
    QVERIFY(rvktest::Sync::upload(&*online, sampleRecord(71001)));

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

void TestSsuSession::sameRecordTwiceKeepsOneRowDatedBySecondUpload()
{
    QVERIFY(online);
    online->setReportDate(QStringLiteral("05.03.2024 14:07"));
    QCOMPARE(rvktest::Sync::store(&*online, sampleRecord(71002)).value, UploadOutcome::Inserted);
    // The second copy says that the SSU held the report already.
    online->setReportDate(QStringLiteral("06.03.2024 09:30"));
    QCOMPARE(rvktest::Sync::store(&*online, sampleRecord(71002)).value, UploadOutcome::Replaced);
    const QList<QVariantMap> rows = rowsForSerial(71002);
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows.first().value("date").toDateTime(), QDateTime(QDate(2024, 3, 6), QTime(9, 30)));
}

void TestSsuSession::sameTimesAnotherDateReplaces()
{
    QVERIFY(online);
    // An earlier row with the same key but other contents, as another station
    // may have stored it.
    online->setReportDate(QStringLiteral("01.01.2025 08:00"));
    QByteArray earlier = sampleRecord(71003);
    rvktest::setReportWord(earlier, 72, 1); // other impact level
    QVERIFY(rvktest::Sync::upload(&*online, earlier));
    online->setReportDate(QStringLiteral("02.02.2025 10:15"));
    QVERIFY(rvktest::Sync::upload(&*online, sampleRecord(71003)));

    const QList<QVariantMap> rows = rowsForSerial(71003);
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows.first().value("date").toDateTime(), QDateTime(QDate(2025, 2, 2), QTime(10, 15)));
    QCOMPARE(rows.first().value("impact_level").toUInt(), 9u);
}

void TestSsuSession::anotherInterRepairTimeAddsARow()
{
    QVERIFY(online);
    online->setReportDate(QStringLiteral("01.01.2025 08:00"));
    QVERIFY(rvktest::Sync::upload(&*online, sampleRecord(71004, 7200, 3600)));
    // After clearing the inter-repair data the module reports another
    // inter-repair time: a new report, the old row stays.
    online->setReportDate(QStringLiteral("03.01.2025 08:00"));
    QVERIFY(rvktest::Sync::upload(&*online, sampleRecord(71004, 7200, 0)));
    // Same inter-repair time but another total: also a new report.
    online->setReportDate(QStringLiteral("04.01.2025 08:00"));
    QVERIFY(rvktest::Sync::upload(&*online, sampleRecord(71004, 10800, 0)));

    const QList<QVariantMap> rows = rowsForSerial(71004);
    QCOMPARE(rows.size(), 3);
    QCOMPARE(rows.at(0).value("repair_time").toString(), QStringLiteral("01:00"));
    QCOMPARE(rows.at(1).value("repair_time").toString(), QStringLiteral("00:00"));
    QCOMPARE(rows.at(2).value("total_time").toString(), QStringLiteral("03:00"));
}

void TestSsuSession::emptyRecordStoresNothingAndSucceeds()
{
    QVERIFY(online);
    online->setReportDate(QStringLiteral("01.02.2003 04:05"));
    QVERIFY(rvktest::Sync::upload(&*online, QByteArray()));
    QSqlQuery query(rvktest::adminConnection());
    QVERIFY(query.exec(QStringLiteral("SELECT COUNT(*) FROM rvkreport WHERE date = '2003-02-01 04:05:00'")));
    QVERIFY(query.next());
    QCOMPARE(query.value(0).toInt(), 0);
}

void TestSsuSession::unsetFactoryWordsAreStoredAsUnknown()
{
    QVERIFY(online);
    // The previous upload in the run had a release date and firmware; they
    // must not be credited to the next module.
    online->setReportDate(QStringLiteral("01.01.2025 08:00"));
    QVERIFY(rvktest::Sync::upload(&*online, sampleRecord(71005)));
    online->setReportDate(QStringLiteral("01.01.2025 09:00"));
    QVERIFY(rvktest::Sync::upload(&*online, recordWithUnsetFactoryTexts(71006)));

    const QList<QVariantMap> rows = rowsForSerial(71006);
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows.first().value("release_date").toDate(), QDate(1970, 1, 1));
    QCOMPARE(rows.first().value("firmware_version").toString(), QString());
    QCOMPARE(rows.first().value("impact_level").toUInt(), 9u);

    // Opened again, the unknown date prints empty, as the live report did.
    QCOMPARE(rvktest::Sync::open(&*online, storedKey(71006, QDateTime(QDate(2025, 1, 1), QTime(9, 0)))), StoredReportResult::Done);
    QCOMPARE(online->currentReport().release_date, QString());
    QCOMPARE(online->currentReport().firmware_version, QString());
}

void TestSsuSession::releaseDateWordThatIsNoDateIsStoredAsUnknown_data()
{
    QTest::addColumn<qint32>("word");
    QTest::newRow("zero from a short read-out") << 0;
    QTest::newRow("month 13") << 1132024;
    QTest::newRow("too many digits") << 999999999;
}

void TestSsuSession::releaseDateWordThatIsNoDateIsStoredAsUnknown()
{
    QFETCH(qint32, word);
    QVERIFY(online);
    QByteArray record = sampleRecord(71050);
    rvktest::setReportWord(record, 70, word);
    online->setReportDate(QStringLiteral("01.01.2025 10:00"));
    QVERIFY(rvktest::Sync::upload(&*online, record));

    const QList<QVariantMap> rows = rowsForSerial(71050);
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows.first().value("release_date").toDate(), QDate(1970, 1, 1));
}

void TestSsuSession::failedInsertKeepsTheRowItWouldReplace()
{
    QVERIFY(online);
    online->setReportDate(QStringLiteral("05.03.2024 14:07"));
    QVERIFY(rvktest::Sync::upload(&*online, sampleRecord(71007)));
    // A report date that does not parse is bound as NULL, which the NOT NULL
    // column refuses after the duplicate rule has already removed the row.
    online->setReportDate(QStringLiteral("not a date"));
    const UploadResult refused = rvktest::Sync::store(&*online, sampleRecord(71007));
    QCOMPARE(refused.value, UploadOutcome::Failed);
    QVERIFY2(refused.error.contains(QLatin1String("date")), qPrintable(refused.error));

    const QList<QVariantMap> rows = rowsForSerial(71007);
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows.first().value("date").toDateTime(), QDateTime(QDate(2024, 3, 5), QTime(14, 7)));

    // The connection is still usable for the next report.
    online->setReportDate(QStringLiteral("06.03.2024 14:07"));
    QVERIFY(rvktest::Sync::upload(&*online, sampleRecord(71007)));
    QCOMPARE(rowsForSerial(71007).first().value("date").toDateTime(), QDateTime(QDate(2024, 3, 6), QTime(14, 7)));
}

void TestSsuSession::uploadWithoutConnectionFails()
{
    SsuSession neverConnected;
    neverConnected.setReportDate(QStringLiteral("05.03.2024 14:07"));
    const UploadResult unconnected = rvktest::Sync::store(&neverConnected, sampleRecord(71008));
    QCOMPARE(unconnected.value, UploadOutcome::Failed);
    QVERIFY(!unconnected.error.isEmpty());
    QVERIFY(rvktest::Sync::upload(&neverConnected, QByteArray()));
    QCOMPARE(rowsForSerial(71008).size(), 0);
}


void TestSsuSession::connectionTriedBeforeThePasswordArrivedConnectsLater()
{
    // A read-out completed before the download has finished adds the
    // program's connection with no password; the password that arrives
    // afterwards must be used from then on.
    online.reset();
    SsuSession session;
    QVERIFY(!rvktest::Sync::connect(&session));
    QVERIFY(bringOnline(session));
    session.setReportDate(QStringLiteral("02.02.2025 10:00"));
    QVERIFY(rvktest::Sync::upload(&session, sampleRecord(71060)));
    QCOMPARE(rowsForSerial(71060).size(), 1);
}

void TestSsuSession::storeSearchRows()
{
    online->setReportDate(QStringLiteral("05.03.2024 14:07"));
    QVERIFY(rvktest::Sync::upload(&*online, sampleRecord(71020)));
    online->setReportDate(QStringLiteral("07.03.2024 09:00"));
    QByteArray later = sampleRecord(71021, 7200, 3600);
    rvktest::setReportWord(later, 70, 1012023); // released 01.01.2023
    QVERIFY(rvktest::Sync::upload(&*online, later));
    online->setReportDate(QStringLiteral("06.03.2024 10:30"));
    QVERIFY(rvktest::Sync::upload(&*online, sampleRecord(71020, 3600, 200)));
}

void TestSsuSession::searchesListTheirRowsInTheirOrder()
{
    if (!online) {
        online = std::make_unique<SsuSession>();
        QVERIFY(bringOnline(*online));
    }
    storeSearchRows();
    online->createModel();
    MySqlQueryModel *model = online->model();
    QVERIFY(model);
    QCOMPARE(model->windowSize(), 256);

    online->listAllReports(true);
    QVERIFY(model->isDeferred());
    QVERIFY(!model->isLoading());
    QCOMPARE(model->rowCount(), 0);
    // A search returns at once; its rows arrive later.
    online->listAllReports(false);
    QVERIFY(model->isLoading());
    QCOMPARE(listedSerials(*online), (QList<quint32>{71020, 71020, 71021}));

    // One module's reports by total operating time.
    QVERIFY(online->searchSerialNumber(71020));
    QVERIFY(listingArrived(model));
    QCOMPARE(model->rowCount(), 2);
    QCOMPARE(model->index(0, 4).data().toString(), QStringLiteral("00:01"));
    QCOMPARE(model->index(1, 4).data().toString(), QStringLiteral("01:00"));
    QVERIFY(online->searchSerialNumber(71099));
    QVERIFY(listingArrived(model));
    QCOMPARE(model->rowCount(), 0);

    QVERIFY(online->searchSerialRange(71021, 71030));
    QCOMPARE(listedSerials(*online), QList<quint32>{71021});

    // Report dates: the upper bound is the start of its day.
    QVERIFY(online->searchReportDates(QDate(2024, 3, 6), QDate(2024, 3, 7)));
    QCOMPARE(listedSerials(*online), QList<quint32>{71020});
    QCOMPARE(model->index(0, 1).data().toDateTime(), QDateTime(QDate(2024, 3, 6), QTime(10, 30)));

    QVERIFY(online->searchReleaseDates(QDate(2022, 12, 31), QDate(2023, 1, 2)));
    QCOMPARE(listedSerials(*online), QList<quint32>{71021});

    QVERIFY(online->searchSerialNumber(0));
    QCOMPARE(listedSerials(*online), (QList<quint32>{71020, 71020, 71021}));
}

void TestSsuSession::searchesWithoutAModelDoNothing()
{
    SsuSession session;
    QVERIFY(!session.model());
    QVERIFY(!session.searchSerialNumber(71020));
    QVERIFY(!session.searchSerialRange(71000, 71099));
    QVERIFY(!session.searchReportDates(QDate(2024, 1, 1), QDate(2025, 1, 1)));
    QVERIFY(!session.searchReleaseDates(QDate(2024, 1, 1), QDate(2025, 1, 1)));
    session.listAllReports(false);
    QVERIFY(!session.model());
}

void TestSsuSession::openReadsTheStoredReport()
{
    QVERIFY(online);
    storeSearchRows();
    // Another module's upload first, so nothing is left over from it.
    online->setReportDate(QStringLiteral("01.01.2025 08:00"));
    QVERIFY(rvktest::Sync::upload(&*online, sampleRecord(71022, 10800, 0)));

    QCOMPARE(rvktest::Sync::open(&*online, storedKey(71021, QDateTime(QDate(2024, 3, 7), QTime(9, 0)))), StoredReportResult::Done);
    const ReportValues &report = online->currentReport();
    QCOMPARE(report.sn, 71021u);
    QCOMPARE(report.date, QStringLiteral("07.03.2024 09:00"));
    QCOMPARE(report.release_date, QStringLiteral("01.01.2023"));
    QCOMPARE(report.firmware_version, QStringLiteral("3.2.2"));
    QCOMPARE(report.impact_level, 9u);
    QCOMPARE(report.total_time, QStringLiteral("02:00"));
    QCOMPARE(report.repair_time, QStringLiteral("01:00"));
    QCOMPARE(report.impacts, 17u);
    QCOMPARE(report.irt_impacts, 4u);
    QCOMPARE(report.totalPercents.size(), 6);
    QCOMPARE(report.totalPercents.first(), QStringLiteral("0,0,0,1,0,0"));
    QCOMPARE(report.repairPercents.size(), 6);
    QCOMPARE(report.repairPercents.first(), QStringLiteral("6,0,0,0,0,0"));
    QCOMPARE(report.repairPercents.last(), QStringLiteral("0,0,0,0,3"));
}

void TestSsuSession::openOfNoStoredReportFails()
{
    QVERIFY(online);
    storeSearchRows();
    StoredReportKey gone = storedKey(71021, QDateTime(QDate(2024, 3, 7), QTime(9, 0)));
    gone.date = gone.date.addSecs(60);
    QCOMPARE(rvktest::Sync::open(&*online, gone), StoredReportResult::NotFound);
    // The lookup's key stays as identified; nothing else is read.
    QCOMPARE(online->currentReport().sn, 71021u);
    QCOMPARE(online->currentReport().date, QStringLiteral("2024-03-07T09:01:00"));
    // Another report of that module and minute is not this one.
    StoredReportKey otherTimes = storedKey(71021, QDateTime(QDate(2024, 3, 7), QTime(9, 0)));
    otherTimes.rowId = QVariant();
    otherTimes.totalTime = QStringLiteral("99:00");
    QCOMPARE(rvktest::Sync::open(&*online, otherTimes), StoredReportResult::NotFound);

    SsuSession neverConnected;
    QCOMPARE(rvktest::Sync::open(&neverConnected, storedKey(71021, QDateTime(QDate(2024, 3, 7), QTime(9, 0)))),
             StoredReportResult::Failed);
}

void TestSsuSession::deleteRemovesOnlyTheNamedReport()
{
    QVERIFY(online);
    storeSearchRows();
    // A twin: the module read again within the same minute, other times.
    online->setReportDate(QStringLiteral("06.03.2024 10:30"));
    QVERIFY(rvktest::Sync::upload(&*online, sampleRecord(71020, 7200, 200)));
    QCOMPARE(rowsForSerial(71020).size(), 3);

    const StoredReportKey twin = storedKey(71020, QDateTime(QDate(2024, 3, 6), QTime(10, 30)), QStringLiteral("02:00"));
    QCOMPARE(rvktest::Sync::remove(&*online, twin), StoredReportResult::Done);
    QList<QVariantMap> rows = rowsForSerial(71020);
    QCOMPARE(rows.size(), 2);
    QCOMPARE(rows.at(1).value("date").toDateTime(), QDateTime(QDate(2024, 3, 6), QTime(10, 30)));
    QCOMPARE(rows.at(1).value("total_time").toString(), QStringLiteral("01:00"));
    // Gone already: nothing else is deleted in its place.
    QCOMPARE(rvktest::Sync::remove(&*online, twin), StoredReportResult::NotFound);
    QCOMPARE(rowsForSerial(71020).size(), 2);

    // Without the row key, the operating times tell the twins apart.
    StoredReportKey byTimes = storedKey(71020, QDateTime(QDate(2024, 3, 6), QTime(10, 30)));
    byTimes.rowId = QVariant();
    QCOMPARE(rvktest::Sync::remove(&*online, byTimes), StoredReportResult::Done);
    rows = rowsForSerial(71020);
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows.first().value("date").toDateTime(), QDateTime(QDate(2024, 3, 5), QTime(14, 7)));
    QCOMPARE(rowsForSerial(71021).size(), 1);
}

QTEST_GUILESS_MAIN(TestSsuSession)
#include "tst_ssusession_db.moc"
