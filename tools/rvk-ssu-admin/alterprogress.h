#pragma once

#include "ssu/driver/ssuconnection.h"

#include <QSemaphore>
#include <QThread>

// Reports on standard error, about once a second, how far the statement of
// another connection has come, as the server shows it in its process list.
// Runs on a connection of its own, opened in its own thread: the watched
// connection is busy with the statement and a Qt SQL connection belongs to
// the thread that opened it.
class AlterProgress : public QThread
{
public:
    AlterProgress(const SsuTarget &target, qint64 connectionId);
    ~AlterProgress() override;

    // Ends the reports and waits for the thread.
    void finish();
    // Asks the server to end the watched connection's statement, which
    // rolls the change back; used when the watched connection was lost, as
    // the server would otherwise go on with a statement nobody waits for.
    // Returns false when it could not be asked.
    bool killWatched();

protected:
    void run() override;

private:
    const SsuTarget target;
    const qint64 connectionId;
    QSemaphore stop;
};
