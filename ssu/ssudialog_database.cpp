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
#include "tokencipher.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

namespace {
constexpr int DatabasePort = 3666;
// Without a bound an unreachable host blocks the whole window for the client
// library's default of several minutes.
const char *const ConnectOptions = "MYSQL_OPT_CONNECT_TIMEOUT=5";
} // namespace

void SSUDialog::startDownload()
{
    if (!networkManager) {
        networkManager = new QNetworkAccessManager(this);
        connect(networkManager, SIGNAL(finished(QNetworkReply *)), this, SLOT(downloadFinished(QNetworkReply *)));
    }
    if (downloadUrl.isEmpty())
        downloadUrl = QUrl(QStringLiteral("http://%1/downloads/ssu.pas").arg(QLatin1String(Deployment::webServer)));
    networkManager->get(QNetworkRequest(downloadUrl));
}

void SSUDialog::downloadFinished(QNetworkReply *reply)
{
    reply->deleteLater();
    if (reply->error() != QNetworkReply::NoError) {
        emit signalIndicator(false);
        return;
    }
    TokenCipher cipher;
    cipher.setKey(Deployment::key());
    m_dbPassword = cipher.decryptText(QString::fromUtf8(reply->readAll()));
    if (m_dbPassword.isEmpty())
        return;
    if (connectDatabase()) {
        query.exec(QLatin1String(CreateReportTableStatement));
        ensureRowKey(db);
        ensureReportKey(db);
        ensureSerialNumberIndex(db);
    }
    createModel();
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
        db.setConnectOptions(QLatin1String(ConnectOptions));
    }
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
        if (db.open()) {
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
    if (created) {
        ensureRowKey(db);
        ensureReportKey(db);
        ensureSerialNumberIndex(db);
    }
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
    // Only the rows change; the view keeps its set-up. The statement lists
    // the whole table, so a hidden dialog is not refreshed: with a large table
    // it would dominate every upload of an archive backlog, nobody sees the
    // list, and the login runs a search before it shows the dialog.
    if (model && isVisible())
        model->setQuery(QLatin1String(AllReportsStatement), QSqlDatabase::database(QLatin1String(ConnectionName), false));
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
