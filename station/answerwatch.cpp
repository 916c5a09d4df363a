#include "station/answerwatch.h"

#include "station/timing.h"

AnswerWatch::AnswerWatch(QObject *parent)
    : QObject(parent)
{
    for (QTimer *timer : {&reportTimer, &commandTimer}) {
        timer->setSingleShot(true);
        timer->setInterval(StationTimings::current().answerTimeoutMs);
    }
    connect(&reportTimer, &QTimer::timeout, this, [this] { emit reportSilent(frames); });
    connect(&commandTimer, &QTimer::timeout, this, [this] { emit commandUnanswered(command); });
}

void AnswerWatch::reportRequested()
{
    frames = 0;
    reportTimer.start();
}

// Also for a transfer nobody asked for: once frames flow, a stop before the
// end notice is a broken report all the same.
void AnswerWatch::reportFrameArrived()
{
    ++frames;
    reportTimer.start();
}

void AnswerWatch::reportEnded()
{
    frames = 0;
    reportTimer.stop();
}

void AnswerWatch::commandSent(quint16 id)
{
    command = id;
    commandTimer.start();
}

void AnswerWatch::commandAcknowledged(quint16 id)
{
    if (commandTimer.isActive() && id == command)
        commandTimer.stop();
}
