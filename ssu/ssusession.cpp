#include "ssu/ssusession.h"

#include "ssu/archivedate.h"
#include "ssu/databasethread.h"
#include "ssu/databasehosts.h"
#include "ssu/downloadtls.h"
#include "ssu/reportschema.h"
#include "ssu/reportupload.h"
#include "ssu/ssuconnection.h"
#include "ssu/deployment.h"
#include "ssu/ssuendpoints.h"
#include "ssu/tokencipher.h"

#include <QDateTime>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QVariant>

namespace {
// The file holds one short token; anything much larger is not it, and is
// not kept in memory while it arrives.
constexpr qint64 MaximumDownloadBytes = 4 * 1024;
// A web server that accepts the request and then trickles or stalls must not
// hold the password (and the first upload) back indefinitely. This bounds the
// whole transfer, not only a silence, which a trickle would reset.
constexpr int DownloadTimeoutMs = 15000;
} // namespace

SsuSession::SsuSession(QObject *parent)
    : QObject(parent)
    , database(new DatabaseThread(this))
    , connection(QStringLiteral("%1-%2").arg(QLatin1String(ConnectionName)).arg(quintptr(this), 0, 16))
    , networkManager(new QNetworkAccessManager(this))
{
    const QString name = connection;
    database->atEnd([name] { SsuConnection::remove(name); });
    const SsuEndpoints endpoints = SsuEndpoints::current();
    downloadUrl = endpoints.passwordUrl;
    databaseHosts = endpoints.databaseHosts;
    databaseCaFile = endpoints.databaseCaFile;
    passwordCaFile = endpoints.passwordCaFile;
    report.total_time = QStringLiteral("0");
    report.repair_time = QStringLiteral("0");
    connect(networkManager, SIGNAL(finished(QNetworkReply *)), this, SLOT(downloadFinished(QNetworkReply *)));
}

void SsuSession::startDownload()
{
    QNetworkRequest request(downloadUrl);
    // A redirect could lead from https to plain http or to another host.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    if (!passwordCaFile.isEmpty()) {
        QString problem;
        const std::optional<QSslConfiguration> tls = DownloadTls::pinnedTo(passwordCaFile, downloadUrl, &problem);
        if (!tls) {
            qWarning().noquote() << "SSU password download not started:" << problem;
            passwordFetch = PasswordState::Unreachable;
            emit signalIndicator(false);
            return;
        }
        request.setSslConfiguration(*tls);
    }
    QNetworkReply *reply = networkManager->get(request);
    pendingDownload = reply;
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

void SsuSession::downloadFinished(QNetworkReply *reply)
{
    reply->deleteLater();
    const QByteArray body = reply->read(MaximumDownloadBytes + 1);
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (reply->error() != QNetworkReply::NoError || status != 200 || body.size() > MaximumDownloadBytes
        || reply->bytesAvailable() > 0) {
        passwordFetch = PasswordState::Unreachable;
        emit signalIndicator(false);
        return;
    }
    TokenCipher cipher;
    cipher.setKey(Deployment::key());
    databasePassword = cipher.decryptText(QString::fromUtf8(body));
    passwordFetch = databasePassword.isEmpty() ? PasswordState::Unreadable : PasswordState::Received;
    if (databasePassword.isEmpty())
        return;
    if (connectDatabase())
        createTable();
    emit passwordReceived();
}

void SsuSession::setDatabaseServer(const QString &host, int port, const QString &caFile)
{
    databaseHosts = QStringLiteral("%1:%2").arg(host).arg(port);
    databaseCaFile = caFile;
}

SsuTarget SsuSession::databaseTarget() const
{
    SsuTarget target;
    target.hosts = databaseHosts;
    target.caFile = databaseCaFile;
    // The password may have arrived after the first attempt (an upload tried
    // before the download finished); the current one is used every time.
    target.password = databasePassword;
    return target;
}

bool SsuSession::connectDatabase()
{
    emit signalWaitDialog(true);
    // The nodes of a cluster are tried in the administrator's order at every
    // attempt, so a failed node is skipped for the next report and the first
    // one is used again once it is back.
    const SsuTarget to = databaseTarget();
    const QString name = connection;
    host = database->wait<QString>([name, to] {
        const QSqlDatabase db = SsuConnection::open(name, to);
        return db.isOpen() ? db.hostName() : QString();
    });
    emit signalWaitDialog(false);
    emit signalIndicator(!host.isEmpty());
    return !host.isEmpty();
}

bool SsuSession::connectAndCreateTable()
{
    if (!connectDatabase())
        return false;
    return createTable();
}

bool SsuSession::createTable()
{
    struct Schema
    {
        bool created = false;
        bool rowKey = false;
        int missing = -1;
    };
    const QString name = connection;
    // What the table has is asked once per session: keys, once added by the
    // administrator, stay.
    const bool check = !schemaChecked;
    const Schema schema = database->wait<Schema>([name, check] {
        Schema result;
        const QSqlDatabase db = QSqlDatabase::database(name, false);
        QSqlQuery create(db);
        result.created = db.isOpen() && create.exec(QLatin1String(CreateReportTableStatement));
        if (result.created && check) {
            result.rowKey = reportTableHasRowKey(db);
            result.missing = missingReportKeys(db);
        }
        return result;
    });
    if (schema.created && check) {
        schemaChecked = true;
        rowKey = schema.rowKey;
        keysMissing = schema.missing;
        if (listing)
            listing->setRowKey(rowKey);
    }
    return schema.created;
}

bool SsuSession::uploadReport(const QByteArray &record)
{
    if (record.isEmpty())
        return true;
    const ReportValues decoded = decodeReport(record);
    const QString reportDate = report.date;
    report = decoded;
    report.date = reportDate;
    // Unknown values are stored as such rather than as the previous report's,
    // which would credit this module with another's data. A set word that is
    // no date (a short read-out gives 0) is unknown too: bound as it is, the
    // server would refuse the row and its archive file would be retried for
    // ever.
    const bool releaseDateKnown = decoded.releaseDateSet
        && QDate::fromString(decoded.release_date, QStringLiteral("dd.MM.yyyy")).isValid();
    report.release_date = releaseDateKnown ? decoded.release_date : QLatin1String(UnknownReleaseDate);
    report.firmware_version = decoded.firmwareVersionSet ? decoded.firmware_version : QString();

    const QString name = connection;
    const ReportValues values = report;
    const bool stored = database->wait<bool>([name, values] {
        // A closed connection cannot store anything.
        QSqlDatabase db = QSqlDatabase::database(name, false);
        if (!db.isOpen())
            return false;
        QSqlQuery query(db);
        return storeReportRow(db, query, values);
    });
    if (stored)
        emit reportUploaded();
    return stored;
}

bool SsuSession::uploadReport(const QByteArray &record, const QString &date)
{
    setReportDate(date);
    return uploadReport(record);
}

bool SsuSession::uploadArchivedReport(const QByteArray &record, const QString &archiveFileName)
{
    setReportDateFromFileName(archiveFileName);
    return uploadReport(record);
}

void SsuSession::setReportDate(const QString &date)
{
    report.date = date;
}

void SsuSession::setReportDateFromFileName(const QString &fileName)
{
    report.date = reportDateFromArchiveName(fileName);
}

void SsuSession::createModel()
{
    if (listing)
        return;
    listing = new MySqlQueryModel(this);
    listing->setRowKey(rowKey);
    listing->setWindowSize(fetchWindowSize);
}

void SsuSession::setFetchWindowSize(int rows)
{
    fetchWindowSize = rows;
    if (listing)
        listing->setWindowSize(rows);
}

void SsuSession::listAllReports(bool deferred)
{
    search(ReportFilter::all(), deferred);
}

bool SsuSession::search(const ReportFilter &filter, bool deferred)
{
    if (!listing)
        return false;
    // Not opened on demand: a search must not stall on an unreachable server;
    // a closed connection simply lists nothing.
    listing->setSearch(filter, {database, connection, databaseTarget()}, deferred);
    return true;
}

bool SsuSession::searchSerialNumber(int serialNumber)
{
    if (serialNumber == 0)
        return search(ReportFilter::all());
    return search(ReportFilter::equal(ReportFilter::Column::SerialNumber, serialNumber));
}

bool SsuSession::searchSerialRange(int first, int last)
{
    return search(ReportFilter::between(ReportFilter::Column::SerialNumber, first, last));
}

// Days are compared with a DATETIME column: the upper bound is midnight at
// the start of that day.
bool SsuSession::searchReportDates(const QDate &first, const QDate &last)
{
    return search(ReportFilter::between(ReportFilter::Column::ReportDate, first, last));
}

bool SsuSession::searchReleaseDates(const QDate &first, const QDate &last)
{
    return search(ReportFilter::between(ReportFilter::Column::ReleaseDate, first, last));
}

void SsuSession::identify(const StoredReportKey &key)
{
    report.sn = key.sn;
    // The ISO text, which the server compares with the DATETIME column.
    report.date = key.date.toString(Qt::ISODate);
}

namespace {
// The columns and values that name the one report the key stands for: two
// reports of one module made within the same minute share sn and date, so
// the row key, or the operating times, narrow them down. A date the program
// could not read cannot be compared and is left out.
QList<QPair<QString, QVariant>> keyTerms(const StoredReportKey &key)
{
    QList<QPair<QString, QVariant>> terms{{QStringLiteral("sn"), key.sn}};
    if (key.date.isValid())
        terms.append({QStringLiteral("date"), key.date.toString(Qt::ISODate)});
    if (!key.rowId.isNull()) {
        terms.append({QStringLiteral("id"), key.rowId});
    } else {
        terms.append({QStringLiteral("total_time"), key.totalTime});
        terms.append({QStringLiteral("repair_time"), key.repairTime});
    }
    return terms;
}
} // namespace

namespace {
// "<head> WHERE sn = :sn_w AND date = :date_w ...", bound to the key.
bool runOnReport(QSqlQuery &query, const QString &head, const StoredReportKey &key)
{
    const QList<QPair<QString, QVariant>> terms = keyTerms(key);
    QStringList conditions;
    for (const auto &term : terms)
        conditions << term.first + QLatin1String(" = :") + term.first + QLatin1String("_w");
    query.prepare(head + QLatin1String(" WHERE ") + conditions.join(QLatin1String(" AND ")) + QLatin1Char(';'));
    for (const auto &term : terms)
        query.bindValue(QLatin1Char(':') + term.first + QLatin1String("_w"), term.second);
    return query.exec();
}

struct Lookup
{
    StoredReportResult result = StoredReportResult::Failed;
    ReportValues values;
};
} // namespace

StoredReportResult SsuSession::openReport(const StoredReportKey &key)
{
    identify(key);
    const QString name = connection;
    ReportValues known = report;
    const Lookup found = database->wait<Lookup>([name, key, known] {
        Lookup lookup;
        lookup.values = known;
        QSqlDatabase db = QSqlDatabase::database(name, false);
        QSqlQuery query(db);
        if (!db.isOpen() || !runOnReport(query, QStringLiteral("SELECT * FROM rvkreport"), key))
            return lookup;
        if (!query.next()) {
            lookup.result = StoredReportResult::NotFound;
            return lookup;
        }
        readReportRow(query.record(), lookup.values);
        lookup.result = StoredReportResult::Done;
        return lookup;
    });
    if (found.result == StoredReportResult::Done)
        report = found.values;
    return found.result;
}

StoredReportResult SsuSession::deleteReport(const StoredReportKey &key)
{
    identify(key);
    const QString name = connection;
    return database->wait<StoredReportResult>([name, key] {
        QSqlDatabase db = QSqlDatabase::database(name, false);
        QSqlQuery query(db);
        if (!db.isOpen() || !runOnReport(query, QStringLiteral("DELETE FROM rvkreport"), key))
            return StoredReportResult::Failed;
        return query.numRowsAffected() > 0 ? StoredReportResult::Done : StoredReportResult::NotFound;
    }, StoredReportResult::Failed);
}

StoredReportResult SsuSession::latestReport(quint32 sn, ReportValues *values)
{
    const QString name = connection;
    const bool keyed = rowKey;
    const Lookup found = database->wait<Lookup>([name, sn, keyed] {
        Lookup lookup;
        lookup.result = readLatestReport(QSqlDatabase::database(name, false), sn, keyed, &lookup.values);
        return lookup;
    });
    if (found.result == StoredReportResult::Done)
        *values = found.values;
    return found.result;
}

bool SsuSession::moduleHistory(quint32 sn, QVector<ModuleReport> *reports)
{
    const QString name = connection;
    const bool keyed = rowKey;
    struct History
    {
        bool read = false;
        QVector<ModuleReport> reports;
    };
    History history = database->wait<History>([name, sn, keyed] {
        History read;
        read.read = readModuleHistory(QSqlDatabase::database(name, false), sn, keyed, &read.reports);
        return read;
    });
    *reports = history.reports;
    return history.read;
}
