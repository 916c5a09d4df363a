#include "ssu/driver/databasethread.h"

#include "ssu/driver/deadlinewait.h"

#include <QThread>

DatabaseThread::DatabaseThread(QObject *parent)
    : QObject(parent)
    , thread(new QThread)
    , worker(new QObject)
    , abandoned(std::make_shared<std::atomic<bool>>(false))
{
    thread->setObjectName(QStringLiteral("RVKReport database"));
    worker->moveToThread(thread);
    QObject::connect(thread, &QThread::finished, worker, &QObject::deleteLater);
    thread->start();
    auto flag = abandoned;
    QMetaObject::invokeMethod(worker, [flag] { DeadlineWait::watch(flag); }, Qt::QueuedConnection);
}

DatabaseThread::~DatabaseThread()
{
    *abandoned = true;
    thread->quit();
    if (thread->wait(ExitWaitMs)) {
        delete thread;
        return;
    }
    // Only a blocking name lookup ignores the flag; the thread ends with it
    // or with the process.
    QObject::connect(thread, &QThread::finished, thread, &QObject::deleteLater);
}

void DatabaseThread::atEnd(std::function<void()> cleanup)
{
    QObject::connect(thread, &QThread::finished, worker, std::move(cleanup), Qt::DirectConnection);
}
