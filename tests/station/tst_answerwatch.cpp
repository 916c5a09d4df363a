// The watch that notices a module which stopped answering.
#include "station/answerwatch.h"
#include "protocol/frameclassification.h"
#include "tests/support/testmain.h"
#include "tests/support/testtimings.h"

#include <QElapsedTimer>
#include <QSignalSpy>

class TestAnswerWatch : public QObject
{
    Q_OBJECT

    // Qt may fire a coarse timer a twentieth of its interval early.
    static bool notBefore(const QElapsedTimer &clock, int limitMs) { return clock.elapsed() >= limitMs - limitMs / 20 - 1; }

private slots:
    void initTestCase()
    {
        // Frames keep a transfer alive only while they come within the
        // limit; a loaded machine may hold this process for tens of
        // milliseconds, so the limit here absorbs that and the frames come
        // at a tenth of it.
        StationTimings timings = rvktest::shortTimings();
        timings.answerTimeoutMs = 200;
        StationTimings::setCurrent(timings);
    }

    void unansweredRequestIsReportedWithNoFrames()
    {
        AnswerWatch watch;
        QCOMPARE(watch.timeoutMs(), StationTimings::current().answerTimeoutMs);
        QSignalSpy silent(&watch, &AnswerWatch::reportSilent);
        QElapsedTimer clock;
        clock.start();
        watch.reportRequested();
        QVERIFY(watch.isAwaitingReport());
        QVERIFY(silent.wait(watch.timeoutMs() + 3000));
        QVERIFY2(notBefore(clock, watch.timeoutMs()), qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(silent.size(), 1);
        QCOMPARE(silent.takeFirst().at(0).toInt(), 0);
        QVERIFY(!watch.isAwaitingReport());
    }

    // Frames keep a slow transfer alive; when they stop, the count says
    // how far it came, and a new request starts counting again.
    void stalledTransferIsReportedWithItsFrames()
    {
        AnswerWatch watch;
        QSignalSpy silent(&watch, &AnswerWatch::reportSilent);
        QElapsedTimer sinceLastFrame;
        watch.reportRequested();
        sinceLastFrame.start();
        // Twice the limit in all, each frame within a tenth of it.
        for (int frame = 0; frame < 20; ++frame) {
            QTest::qWait(watch.timeoutMs() / 10);
            watch.reportFrameArrived();
            sinceLastFrame.start();
        }
        QCOMPARE(silent.count(), 0);
        QVERIFY(silent.wait(watch.timeoutMs() + 3000));
        QVERIFY(notBefore(sinceLastFrame, watch.timeoutMs()));
        QCOMPARE(silent.takeFirst().at(0).toInt(), 20);

        watch.reportRequested();
        watch.reportFrameArrived();
        QVERIFY(silent.wait(watch.timeoutMs() + 3000));
        QCOMPARE(silent.takeFirst().at(0).toInt(), 1);
    }

    void endNoticeAndAcknowledgementEndTheWait()
    {
        AnswerWatch watch;
        QSignalSpy silent(&watch, &AnswerWatch::reportSilent);
        QSignalSpy unanswered(&watch, &AnswerWatch::commandUnanswered);
        watch.reportRequested();
        watch.reportFrameArrived();
        watch.reportEnded();
        watch.commandSent(CanIdSetSN);
        watch.commandAcknowledged(CanIdSetSN);
        QVERIFY(!watch.isAwaitingReport());
        QVERIFY(!watch.isAwaitingCommand());
        QVERIFY(rvktest::waitPastAnswerLimit());
        QCOMPARE(silent.count(), 0);
        QCOMPARE(unanswered.count(), 0);
    }

    void acknowledgementOfAnotherCommandLeavesTheWait()
    {
        AnswerWatch watch;
        QSignalSpy unanswered(&watch, &AnswerWatch::commandUnanswered);
        QElapsedTimer clock;
        clock.start();
        watch.commandSent(CanIdEEPROMClear);
        watch.commandAcknowledged(CanIdSetSN);
        watch.commandAcknowledged(CanIdReadData);
        QVERIFY(watch.isAwaitingCommand());
        QVERIFY(unanswered.wait(watch.timeoutMs() + 3000));
        QVERIFY(notBefore(clock, watch.timeoutMs()));
        QCOMPARE(unanswered.takeFirst().at(0).value<quint16>(), quint16(CanIdEEPROMClear));
    }
};

RVK_TEST_MAIN(TestAnswerWatch)
#include "tst_answerwatch.moc"
