// Password download, connection and report uploads of the SSU database.
#include "ssudialog.h"

#include <QDate>

#include "archivedate.h"
#include "databasehosts.h"
#include "deployment.h"
#include "mysqlquerymodel.h"
#include "reportrecord.h"
#include "reportschema.h"
#include "reportupload.h"
#include "ssuconnection.h"
#include "tokencipher.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

namespace {
constexpr int DatabasePort = 3666;
// The file holds one short token; anything much larger is not it, and is
// not kept in memory while it arrives.
constexpr qint64 MaximumDownloadBytes = 4 * 1024;
// A web server that accepts the request and then trickles or stalls must not
// hold the password (and the first upload) back indefinitely. This bounds the
// whole transfer, not only a silence, which a trickle would reset.
constexpr int DownloadTimeoutMs = 15000;
} // namespace

void SSUDialog::startDownload()
{
    if (!networkManager) {
        networkManager = new QNetworkAccessManager(this);
        connect(networkManager, SIGNAL(finished(QNetworkReply *)), this, SLOT(downloadFinished(QNetworkReply *)));
    }
    if (downloadUrl.isEmpty())
        downloadUrl = QUrl(QStringLiteral("%1://%2/downloads/ssu.pas")
                               .arg(QLatin1String(Deployment::webScheme), QLatin1String(Deployment::webServer)));
    QNetworkRequest request(downloadUrl);
    // A redirect could lead from https to plain http or to another host.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    QNetworkReply *reply = networkManager->get(request);
    // Aborting makes the reply finish with an error, which is the failed
    // download's path.
    connect(reply, &QNetworkReply::downloadProgress, reply, [reply](qint64 received, qint64 total) {
        if (received > MaximumDownloadBytes || total > MaximumDownloadBytes)
            reply->abort();
    });
    QTimer::singleShot(DownloadTimeoutMs, reply, [reply] {
        if (reply->isRunning())
            reply->abort();
    });
}

void SSUDialog::downloadFinished(QNetworkReply *reply)
{
    reply->deleteLater();
    const QByteArray body = reply->read(MaximumDownloadBytes + 1);
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (reply->error() != QNetworkReply::NoError || status != 200 || body.size() > MaximumDownloadBytes
        || reply->bytesAvailable() > 0) {
        emit signalIndicator(false);
        return;
    }
    TokenCipher cipher;
    cipher.setKey(Deployment::key());
    m_dbPassword = cipher.decryptText(QString::fromUtf8(body));
    if (m_dbPassword.isEmpty())
        return;
    if (connectDatabase()) {
        query.exec(QLatin1String(CreateReportTableStatement));
        ensureReportIndexes(db);
    }
    createModel();
}

void SSUDialog::setDatabaseServer(const QString &host, int port, const QString &caFile)
{
    databaseHosts = QStringLiteral("%1:%2").arg(host).arg(port);
    databaseCaFile = caFile;
}

bool SSUDialog::connectDatabase()
{
    emit signalWaitDialog(true);
    const QString name = QLatin1String(ConnectionName);
    if (QSqlDatabase::contains(name)) {
        db = QSqlDatabase::database(name, false);
    } else {
        db = QSqlDatabase::addDatabase(QStringLiteral("QMYSQL"), name);
        db.setDatabaseName(QStringLiteral("RVKSSUdb"));
        db.setUserName(QStringLiteral("RVKuser"));
    }
    db.setConnectOptions(SsuConnection::connectOptions(databaseCaFile));
    // The password may have arrived after the connection was first added (an
    // upload tried before the download finished); keeping the empty one would
    // send every later report to the archive for the rest of the run.
    db.setPassword(m_dbPassword);
    // The nodes of a cluster are tried in the administrator's order at every
    // attempt, so a failed node is skipped for the next report and the first
    // one is used again once it is back.
    for (const DatabaseHost &host : parseDatabaseHosts(databaseHosts, DatabasePort)) {
        db.setHostName(host.name);
        db.setPort(host.port);
        if (db.open() && SsuConnection::secureOpenedConnection(db, !databaseCaFile.isEmpty())) {
            query = QSqlQuery(db);
            emit signalWaitDialog(false);
            emit signalIndicator(true);
            return true;
        }
    }
    emit signalWaitDialog(false);
    emit signalIndicator(false);
    return false;
}

bool SSUDialog::connectAndCreateTable()
{
    if (!connectDatabase())
        return false;
    const bool created = query.exec(QLatin1String(CreateReportTableStatement));
    if (created)
        ensureReportIndexes(db);
    return created;
}

bool SSUDialog::uploadReport(const QByteArray &record)
{
    if (!record.isEmpty()) {
        const ReportValues decoded = decodeReport(record);
        sn = decoded.sn;
        impact_level = decoded.impact_level;
        impacts = decoded.impacts;
        irt_impacts = decoded.irt_impacts;
        total_time = decoded.total_time;
        repair_time = decoded.repair_time;
        // Unknown values are stored as such rather than as the previous
        // report's, which would credit this module with another's data. A
        // set word that is no date (a short read-out gives 0) is unknown too:
        // bound as it is, the server would refuse the row and its archive
        // file would be retried for ever.
        const bool releaseDateKnown = decoded.releaseDateSet
            && QDate::fromString(decoded.release_date, QStringLiteral("dd.MM.yyyy")).isValid();
        release_date = releaseDateKnown ? decoded.release_date : QLatin1String(UnknownReleaseDate);
        firmware_version = decoded.firmwareVersionSet ? decoded.firmware_version : QString();
        totalPercents = decoded.totalPercents;
        repairPercents = decoded.repairPercents;

        ReportValues row = decoded;
        row.date = reportDate;
        row.release_date = release_date;
        row.firmware_version = firmware_version;
        // An invalid handle would make QSqlQuery fall back to the default
        // connection, which is not the SSU.
        if (!db.isValid())
            return false;
        query = QSqlQuery(db);
        if (!storeReportRow(db, query, row))
            return false;
    }
    // Only the rows change; the view keeps its set-up. A hidden dialog reads
    // nothing: the listing is read when the dialog is shown.
    listAllReports(!isVisible());
    return true;
}

void SSUDialog::setReportDate(const QString &date)
{
    reportDate = date;
}

void SSUDialog::setReportDateFromFileName(const QString &fileName)
{
    reportDate = reportDateFromArchiveName(fileName);
}
