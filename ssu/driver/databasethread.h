#pragma once

#include <QObject>
#include <QPointer>

#include <atomic>
#include <functional>
#include <memory>

class QThread;

// The thread every statement of one database session runs on, so that the
// window's thread never waits on the server: it goes on painting, taking CAN
// frames and the user's acts while a statement runs, and hears of each
// outcome as a queued call. Work runs there one
// piece at a time, in the order it was handed over; connections made there
// belong to it.
class DatabaseThread : public QObject
{
    Q_OBJECT
public:
    explicit DatabaseThread(QObject *parent = nullptr);
    // Whatever runs gives up at once (its connection is dropped); the thread
    // is waited for at most ExitWaitMs, and left to the process's end if a
    // name lookup of the system's resolver still holds it.
    ~DatabaseThread() override;

    static constexpr int ExitWaitMs = 2000;

    // Runs work on the database thread, then done(result) on the context's
    // thread, unless the context is gone by then.
    template <class Result>
    void post(std::function<Result()> work, QObject *context, std::function<void(Result)> done);

    // Runs cleanup on the database thread as it ends (its connections are
    // closed there).
    void atEnd(std::function<void()> cleanup);

private:
    QThread *thread = nullptr;
    QObject *worker = nullptr;
    std::shared_ptr<std::atomic<bool>> abandoned;
};

template <class Result>
void DatabaseThread::post(std::function<Result()> work, QObject *context, std::function<void(Result)> done)
{
    QPointer<QObject> receiver(context);
    QMetaObject::invokeMethod(
        worker,
        [work = std::move(work), receiver, done = std::move(done)]() {
            Result result = work();
            if (receiver)
                QMetaObject::invokeMethod(
                    receiver.data(), [done, result]() { done(result); }, Qt::QueuedConnection);
        },
        Qt::QueuedConnection);
}
