#pragma once

#include <QObject>
#include <QTimer>
#include <QtGlobal>

// Notices a module that has stopped answering. The protocol itself has no
// time-out: a report request is answered by a stream of frames and a command
// by one acknowledgement, and a dead module, a pulled cable or a transfer
// that broke off all look the same, as nothing at all. The watch only tells;
// the window decides what the user is shown.
class AnswerWatch : public QObject
{
    Q_OBJECT
public:
    // Waits StationTimings::answerTimeoutMs as it is when the watch is made.
    explicit AnswerWatch(QObject *parent = nullptr);
    int timeoutMs() const { return reportTimer.interval(); }

    // A report request went out: its first frame is awaited.
    void reportRequested();
    // A report data frame arrived: the next one is awaited.
    void reportFrameArrived();
    // The end notice arrived: nothing more is awaited for the report.
    void reportEnded();
    bool isAwaitingReport() const { return reportTimer.isActive(); }

    // A command with this identifier went out; its acknowledgement, a
    // remote frame with the same identifier, is awaited. Only the latest
    // command is: the module answers each at once, so by the time a person
    // sends the next one the previous answer has come or is long overdue.
    void commandSent(quint16 id);
    // An acknowledgement arrived; one for another command changes nothing.
    void commandAcknowledged(quint16 id);
    bool isAwaitingCommand() const { return commandTimer.isActive(); }

signals:
    // No report frame for timeoutMs(): none at all since the request
    // (framesReceived 0) or the transfer stalled after that many frames.
    void reportSilent(int framesReceived);
    // The command's acknowledgement did not come within timeoutMs().
    void commandUnanswered(quint16 id);

private:
    QTimer reportTimer;
    QTimer commandTimer;
    int frames = 0;
    quint16 command = 0;
};
