// The password download tried again when the start-up one gave none.
#include "ssu/ssusession.h"

#include <QNetworkReply>

void SsuSession::fetchPasswordIfMissing(QObject *context, Done<bool> done)
{
    passwordWaiters.append({QPointer<QObject>(context ? context : this), std::move(done)});
    if (!databasePassword.isEmpty()) {
        // Answered from the event loop all the same, so the caller's next
        // step never runs inside its own call.
        QMetaObject::invokeMethod(this, &SsuSession::notifyPasswordWaiters, Qt::QueuedConnection);
        return;
    }
    // The download bounds itself (time and size), so every waiter is
    // answered; a download under way is joined rather than started again.
    if (!pendingDownload || pendingDownload->isFinished())
        startDownload();
}

void SsuSession::notifyPasswordWaiters()
{
    const auto waiters = std::exchange(passwordWaiters, {});
    const bool known = !databasePassword.isEmpty();
    for (const auto &waiter : waiters)
        if (waiter.first && waiter.second)
            waiter.second(known);
}
