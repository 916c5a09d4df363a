// The station without a window, over the scripted driver: frames told of or
// polled, whole and broken read-outs, the commands' guard and the monitor
// stream with its log.
#include "protocol/frameclassification.h"
#include "station/station.h"
#include "tests/support/fakektxdriver.h"
#include "tests/support/recordbuilder.h"
#include "tests/support/testmain.h"
#include "tests/support/testtimings.h"

#include <QDir>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

class TestStation : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void productionTimingsAreTheSpecifiedOnes();
    void wholeReportIsDocumentedAndArchived_data();
    void wholeReportIsDocumentedAndArchived();
    void brokenTransferIsShownButNeitherDocumentedNorStored();
    void setCommandsWriteOnlyOverAWholeReport();
    void failedLinkRefusesAndClosesTheChannel();
    void acknowledgementsAreTypedAndTimedOut();
    void monitorBlocksReachTheLogOnlyWhileWanted();
    void lostLinkIsReportedUntilIgnored();
    void busStillConnectingIsWaitedForWithinItsBound_data();
    void busStillConnectingIsWaitedForWithinItsBound();

private:
    void sendReport(const QByteArray &record, int frames = ReportFrameCount);
    // What a process that never sets them runs with.
    StationTimings programTimings;
    FakeKtxDriver *driver = nullptr;
};

void TestStation::initTestCase()
{
    programTimings = StationTimings::current();
    rvktest::useShortTimings();
}

// The tests shorten every wait; the program's own are these.
void TestStation::productionTimingsAreTheSpecifiedOnes()
{
    QCOMPARE(programTimings.supervisionMs, 1000);
    QCOMPARE(programTimings.answerTimeoutMs, 2000);
    QCOMPARE(programTimings.readoutStallMs, 1000);
    QCOMPARE(programTimings.logNamingWaitMs, 1000);
    QCOMPARE(programTimings.wipeArmingMs, 800);
    QCOMPARE(programTimings.connectWaitMs, 3000);

    StationTimings::setCurrent(programTimings);
    Station station;
    AnswerWatch watch;
    rvktest::useShortTimings();
    QCOMPARE(station.supervisor()->timer()->interval(), 1000);
    QCOMPARE(watch.timeoutMs(), 2000);
}

void TestStation::init()
{
    driver = FakeKtxDriver::install();
    for (const QString &folder : {QStringLiteral("Reports"), QStringLiteral("ssu"), QStringLiteral("Logs")})
        QDir(folder).removeRecursively();
}

void TestStation::sendReport(const QByteArray &record, int frames)
{
    for (int frame = 0; frame < frames; ++frame)
        driver->receiveData(CanIdReadData, record.mid(frame * 8, 8));
    driver->receiveRemote(CanIdReadData, 0);
}

void TestStation::wholeReportIsDocumentedAndArchived_data()
{
    QTest::addColumn<bool>("signalsFrames");
    QTest::newRow("backend tells of frames") << true;
    QTest::newRow("backend polled") << false;
}

void TestStation::wholeReportIsDocumentedAndArchived()
{
    QFETCH(bool, signalsFrames);
    driver->signalsFrames = signalsFrames;
    Station station;
    station.keeper()->setUploading(false);
    QCOMPARE(station.supervisor()->openAtStart(), AdapterLink::OpenResult::Opened);
    QCOMPARE(station.link()->isPolling(), !signalsFrames);
    QSignalSpy completed(&station, &Station::reportCompleted);
    QSignalSpy documents(station.keeper(), &ReportKeeper::documentWritten);
    QSignalSpy stored(station.keeper(), &ReportKeeper::reportStored);

    QVERIFY(station.requestReport());
    QCOMPARE(driver->writtenMessages().last().id, quint16(CanIdReadData));
    sendReport(rvktest::plausibleRecord(4321));
    QVERIFY(stored.wait(3000));

    QCOMPARE(completed.size(), 1);
    const Readout readout = completed.first().first().value<Readout>();
    QVERIFY(readout.whole);
    QCOMPARE(readout.values.serialNumber, 4321);
    QCOMPARE(station.checkCommand(), Station::CommandResult::Sent);
    QCOMPARE(documents.size(), 1);
    QVERIFY(QFile::exists(documents.first().first().toString()));
    const auto result = stored.first().first().value<ReportStore::Result>();
    QCOMPARE(int(result.outcome), int(ReportStore::Outcome::Archived));
    QVERIFY(QFile::exists(result.archivePath));
}

void TestStation::brokenTransferIsShownButNeitherDocumentedNorStored()
{
    Station station;
    QCOMPARE(station.supervisor()->openAtStart(), AdapterLink::OpenResult::Opened);
    QSignalSpy completed(&station, &Station::reportCompleted);
    QSignalSpy documents(station.keeper(), &ReportKeeper::documentWritten);
    QSignalSpy stored(station.keeper(), &ReportKeeper::reportStored);
    QVERIFY(station.requestReport());
    sendReport(rvktest::plausibleRecord(4321), ReportFrameCount - 1);
    QVERIFY(completed.wait(3000));
    const Readout readout = completed.first().first().value<Readout>();
    QVERIFY(!readout.whole);
    QCOMPARE(readout.frames, ReportFrameCount - 1);
    QCOMPARE(station.checkCommand(), Station::CommandResult::ReadReportFirst);
    QCOMPARE(documents.size(), 0);
    QCOMPARE(stored.size(), 0);
    QVERIFY(!QDir(QStringLiteral("ssu")).exists() || QDir(QStringLiteral("ssu")).isEmpty());
}

void TestStation::setCommandsWriteOnlyOverAWholeReport()
{
    Station station;
    station.keeper()->setUploading(false);
    QCOMPARE(station.supervisor()->openAtStart(), AdapterLink::OpenResult::Opened);
    driver->written.clear();
    QCOMPARE(station.sendSetCommand(CanIdSetSN, 99), Station::CommandResult::ReadReportFirst);
    QVERIFY(driver->written.isEmpty());

    QSignalSpy stored(station.keeper(), &ReportKeeper::reportStored);
    QVERIFY(station.requestReport());
    sendReport(rvktest::plausibleRecord(4321));
    QVERIFY(stored.wait(3000));
    driver->written.clear();
    QCOMPARE(station.sendSetCommand(CanIdSetSN, 99), Station::CommandResult::Sent);
    const CanMessage sent = driver->writtenMessages().value(0);
    QCOMPARE(sent.id, quint16(CanIdSetSN));
    QCOMPARE(int(sent.rtr), 0);
    QCOMPARE(int(sent.dlc), 4);
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(sent.data), 4), QByteArray::fromHex("63000000"));
}

void TestStation::failedLinkRefusesAndClosesTheChannel()
{
    Station station;
    QCOMPARE(station.supervisor()->openAtStart(), AdapterLink::OpenResult::Opened);
    driver->infoResult = -3;
    const int closesBefore = driver->channelsClosed;
    const int writesBefore = driver->callCount(QStringLiteral("write"));
    QVERIFY(!station.requestReport());
    // Without a whole report a wipe is refused before the link is asked.
    QCOMPARE(station.sendClearCommand(CanIdIRTClear), Station::CommandResult::ReadReportFirst);
    QVERIFY(!station.switchMonitor(true));
    QVERIFY(driver->channelsClosed > closesBefore);
    QCOMPARE(driver->callCount(QStringLiteral("write")), writesBefore);
}

void TestStation::acknowledgementsAreTypedAndTimedOut()
{
    Station station;
    QCOMPARE(station.supervisor()->openAtStart(), AdapterLink::OpenResult::Opened);
    QSignalSpy acknowledged(&station, &Station::commandAcknowledged);
    QSignalSpy unanswered(&station, &Station::commandUnanswered);
    station.keeper()->setUploading(false);
    // A wipe, like a set command, waits for the module's whole report.
    QCOMPARE(station.sendClearCommand(CanIdEEPROMClear), Station::CommandResult::ReadReportFirst);
    QSignalSpy completed(&station, &Station::reportCompleted);
    QVERIFY(station.requestReport());
    sendReport(rvktest::plausibleRecord(4321));
    QTRY_COMPARE(completed.size(), 1);
    QCOMPARE(station.sendClearCommand(CanIdEEPROMClear), Station::CommandResult::Sent);
    driver->receiveRemote(CanIdEEPROMClear);
    QVERIFY(acknowledged.wait(3000));
    QCOMPARE(acknowledged.first().first().value<FrameKind>(), FrameKind::AckEEPROMClear);

    QCOMPARE(station.sendClearCommand(CanIdIRTClear), Station::CommandResult::Sent);
    QVERIFY(unanswered.wait(StationTimings::current().answerTimeoutMs + 2000));
    QCOMPARE(unanswered.first().first().value<quint16>(), quint16(CanIdIRTClear));
}

void TestStation::monitorBlocksReachTheLogOnlyWhileWanted()
{
    Station station;
    QCOMPARE(station.supervisor()->openAtStart(), AdapterLink::OpenResult::Opened);
    QSignalSpy blocks(station.monitor(), &MonitorStream::monitorBlock);
    QString path;
    bool opened = false;
    station.monitor()->setLogWanted(true);
    station.openMonitorLog(&station, [&](bool ok, const QString &named) {
        opened = ok;
        path = named;
    });
    QTRY_VERIFY(opened);
    const auto sendBlock = [this](const QByteArray &text) {
        for (int at = 0; at < text.size(); at += 8)
            driver->receiveData(CanIdMonitor, text.mid(at, 8).leftJustified(8, '\0'));
    };
    sendBlock("RPM=2400\r\ndataAverage=1\r\n");
    QTRY_COMPARE(blocks.size(), 1);
    station.monitor()->setLogWanted(false);
    sendBlock("RPM=2500\r\ndataAverage=1\r\n");
    QTRY_COMPARE(blocks.size(), 2);
    station.monitor()->closeLog();

    QFile log(path);
    QVERIFY(log.open(QIODevice::ReadOnly));
    const QByteArray logged = log.readAll();
    QVERIFY(logged.contains("RPM=2400"));
    QVERIFY(!logged.contains("RPM=2500"));
    QVERIFY(!logged.contains('\r'));
}

void TestStation::lostLinkIsReportedUntilIgnored()
{
    Station station;
    QCOMPARE(station.supervisor()->openAtStart(), AdapterLink::OpenResult::Opened);
    QSignalSpy lost(station.supervisor(), &LinkSupervisor::linkLost);
    QSignalSpy state(station.supervisor(), &LinkSupervisor::linkStateChanged);
    driver->infoResult = -3;
    driver->openResult = 16;
    station.supervisor()->superviseLink();
    QCOMPARE(lost.size(), 1);
    QCOMPARE(state.last().first().toBool(), false);
    station.supervisor()->ignoreLinkLoss();
    station.supervisor()->superviseLink();
    QCOMPARE(lost.size(), 1);

    driver->infoResult = 0;
    driver->openResult = 0;
    station.supervisor()->superviseLink();
    driver->infoResult = -3;
    station.supervisor()->superviseLink();
    QCOMPARE(lost.size(), 2);
}

// A network bus reports "connecting" (-2) after its open: the station
// neither waits for it nor closes it, shows it up as soon as it is, and
// counts it lost only once the connection has had its time.
void TestStation::busStillConnectingIsWaitedForWithinItsBound_data()
{
    QTest::addColumn<bool>("comesUp");
    QTest::newRow("comes up") << true;
    QTest::newRow("never comes") << false;
}

void TestStation::busStillConnectingIsWaitedForWithinItsBound()
{
    QFETCH(bool, comesUp);
    driver->infoResult = -2;
    Station station;
    QSignalSpy lost(station.supervisor(), &LinkSupervisor::linkLost);
    QSignalSpy state(station.supervisor(), &LinkSupervisor::linkStateChanged);
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(station.supervisor()->openAtStart(), AdapterLink::OpenResult::Connecting);
    QCOMPARE(state.size(), 1);
    QCOMPARE(state.last().first().toBool(), false);
    // A request meanwhile is refused without closing the half-open channel.
    QVERIFY(!station.requestReport());
    QCOMPARE(driver->callCount(QStringLiteral("close")), 0);

    if (comesUp) {
        driver->infoResult = 0;
        // Well within one supervision period.
        QTRY_VERIFY_WITH_TIMEOUT(!state.isEmpty() && state.last().first().toBool(),
                                 StationTimings::current().supervisionMs);
        QVERIFY(station.requestReport());
        QCOMPARE(lost.size(), 0);
    } else {
        QTRY_COMPARE_WITH_TIMEOUT(lost.size(), 1, 20 * StationTimings::current().connectWaitMs);
        QVERIFY(clock.elapsed() >= StationTimings::current().connectWaitMs);
        QVERIFY(driver->callCount(QStringLiteral("close")) >= 1);
    }
}

RVK_TEST_MAIN(TestStation)
#include "tst_station.moc"
