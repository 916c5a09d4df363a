// The password download tried again when the start-up one gave none.
#include "ssu/ssusession.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>

bool SsuSession::fetchPasswordIfMissing()
{
    if (!databasePassword.isEmpty())
        return true;
    emit signalWaitDialog(true);
    if (!pendingDownload || pendingDownload->isFinished())
        startDownload();
    // The download bounds itself (time and size), so the wait ends. Its
    // finished() reaches downloadFinished first, which was connected first.
    QEventLoop loop;
    connect(networkManager, &QNetworkAccessManager::finished, &loop, &QEventLoop::quit);
    if (pendingDownload && !pendingDownload->isFinished())
        loop.exec();
    emit signalWaitDialog(false);
    return !databasePassword.isEmpty();
}
