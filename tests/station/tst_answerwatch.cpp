// The watch that notices a module which stopped answering.
#include "station/answerwatch.h"
#include "protocol/frameclassification.h"
#include "tests/support/testmain.h"

#include <QSignalSpy>

class TestAnswerWatch : public QObject
{
    Q_OBJECT

private slots:
    void unansweredRequestIsReportedWithNoFrames()
    {
        AnswerWatch watch;
        QSignalSpy silent(&watch, &AnswerWatch::reportSilent);
        watch.reportRequested();
        QTest::qWait(AnswerWatch::answerTimeoutMs / 2);
        QCOMPARE(silent.count(), 0);
        QVERIFY(silent.wait(AnswerWatch::answerTimeoutMs + 3000));
        QCOMPARE(silent.takeFirst().at(0).toInt(), 0);
        QVERIFY(!watch.isAwaitingReport());
    }

    // Frames keep a slow transfer alive; when they stop, the count says
    // how far it came, and a new request starts counting again.
    void stalledTransferIsReportedWithItsFrames()
    {
        AnswerWatch watch;
        QSignalSpy silent(&watch, &AnswerWatch::reportSilent);
        watch.reportRequested();
        for (int frame = 0; frame < 10; ++frame) {
            QTest::qWait(AnswerWatch::answerTimeoutMs / 5);
            watch.reportFrameArrived();
        }
        QCOMPARE(silent.count(), 0);
        QVERIFY(silent.wait(AnswerWatch::answerTimeoutMs + 3000));
        QCOMPARE(silent.takeFirst().at(0).toInt(), 10);

        watch.reportRequested();
        watch.reportFrameArrived();
        QVERIFY(silent.wait(AnswerWatch::answerTimeoutMs + 3000));
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
        QTest::qWait(AnswerWatch::answerTimeoutMs + 300);
        QCOMPARE(silent.count(), 0);
        QCOMPARE(unanswered.count(), 0);
    }

    void acknowledgementOfAnotherCommandLeavesTheWait()
    {
        AnswerWatch watch;
        QSignalSpy unanswered(&watch, &AnswerWatch::commandUnanswered);
        watch.commandSent(CanIdEEPROMClear);
        watch.commandAcknowledged(CanIdSetSN);
        watch.commandAcknowledged(CanIdReadData);
        QVERIFY(unanswered.wait(AnswerWatch::answerTimeoutMs + 3000));
        QCOMPARE(unanswered.takeFirst().at(0).value<quint16>(), quint16(CanIdEEPROMClear));
    }
};

RVK_TEST_MAIN(TestAnswerWatch)
#include "tst_answerwatch.moc"
