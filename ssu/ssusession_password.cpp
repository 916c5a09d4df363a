// The password download tried again when the start-up one gave none.
#include "ssu/ssusession.h"

#include "ssu/deployment.h"
#include "ssu/stationaccount.h"

#include <QDebug>
#include <QNetworkReply>

bool SsuSession::useStationAccount()
{
    const Attempt<std::optional<StationAccount>> read =
        StationAccount::read(StationAccount::defaultPath(), Deployment::key());
    if (!read.ok) {
        // The administrator chose this station's account; the shared one is
        // not taken in its place. Reports go to the archive until the file
        // is fixed.
        qWarning().noquote() << "SSU station file not used:" << read.error;
        passwordFetch = PasswordState::Unreadable;
        emit signalIndicator(false);
        notifyPasswordWaiters();
        return true;
    }
    if (!read.value)
        return false;
    databaseUser = read.value->user;
    databasePassword = read.value->password;
    passwordFetch = PasswordState::Received;
    // As after a download: the listing is set up and waiters are answered
    // once the connection has been tried.
    connectAndCreateTable(this, [this](bool) {
        emit passwordReceived();
        notifyPasswordWaiters();
    });
    return true;
}

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
