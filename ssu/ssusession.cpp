#include "ssu/ssusession.h"

#include "ssu/archivedate.h"
#include "ssu/driver/databasethread.h"
#include "ssu/driver/databasehosts.h"
#include "ssu/driver/downloadtls.h"
#include "ssu/reportschema.h"
#include "ssu/reportupload.h"
#include "ssu/driver/ssuconnection.h"
#include "ssu/driver/ssutimings.h"
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
    if (useStationAccount())
        return;
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
            notifyPasswordWaiters();
            return;
        }
        request.setSslConfiguration(*tls);
    }
    QNetworkReply *reply = networkManager->get(request);
    pendingDownload = reply;
    if (!passwordCaFile.isEmpty()) {
        connect(reply, &QNetworkReply::sslErrors, reply, [reply](const QList<QSslError> &errors) {
            const QSslConfiguration tls = reply->sslConfiguration();
            if (DownloadTls::excusedOnWindows(errors, tls.peerCertificateChain(), tls.caCertificates()))
                reply->ignoreSslErrors(errors);
        });
    }
    // Aborting makes the reply finish with an error, which is the failed
    // download's path.
    connect(reply, &QNetworkReply::downloadProgress, reply, [reply](qint64 received, qint64 total) {
        if (received > MaximumDownloadBytes || total > MaximumDownloadBytes)
            reply->abort();
    });
    // A web server that accepts the request and then trickles or stalls must
    // not hold the password (and the first upload) back indefinitely. This
    // bounds the whole transfer, not only a silence, which a trickle resets.
    QTimer::singleShot(SsuTimings::current().passwordDownloadMs, reply, [reply] {
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
        // The indicator only turns red; why is for whoever looks into a
        // station's link (a certificate refused, a server not there).
        if (reply->error() != QNetworkReply::NoError)
            qWarning().noquote() << "SSU password download failed:" << reply->errorString();
        passwordFetch = PasswordState::Unreachable;
        emit signalIndicator(false);
        notifyPasswordWaiters();
        return;
    }
    TokenCipher cipher;
    cipher.setKey(Deployment::key());
    databasePassword = cipher.decryptText(QString::fromUtf8(body));
    passwordFetch = databasePassword.isEmpty() ? PasswordState::Unreadable : PasswordState::Received;
    if (databasePassword.isEmpty()) {
        notifyPasswordWaiters();
        return;
    }
    connectAndCreateTable(this, [this](bool) {
        emit passwordReceived();
        notifyPasswordWaiters();
    });
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
    target.user = databaseUser;
    // The password may have arrived after the first attempt (an upload tried
    // before the download finished); the current one is used every time.
    target.password = databasePassword;
    return target;
}

namespace {
// Hands a result to the caller's done on the caller's thread, unless the
// caller's context is gone by then; without a context, as long as the
// session lives.
template <class Result>
std::function<void(Result)> deliverTo(QObject *context, std::function<void(Result)> done)
{
    const bool hasContext = context != nullptr;
    QPointer<QObject> receiver(context);
    return [hasContext, receiver, done = std::move(done)](Result result) {
        if (done && (!hasContext || receiver))
            done(std::move(result));
    };
}
} // namespace

void SsuSession::connectDatabase(QObject *context, Done<bool> done)
{
    openConnection(false, context, std::move(done));
}

void SsuSession::connectAndCreateTable(QObject *context, Done<bool> done)
{
    openConnection(true, context, std::move(done));
}

void SsuSession::openConnection(bool createTable, QObject *context, Done<bool> done)
{
    emit signalWaitDialog(true);
    // The nodes of a cluster are tried in the administrator's order at every
    // attempt, so a failed node is skipped for the next report and the first
    // one is used again once it is back. What the table has is asked once
    // per session: keys, once added by the administrator, stay.
    const SsuTarget to = databaseTarget();
    const QString name = connection;
    const bool check = createTable && !schemaChecked;
    auto deliver = deliverTo(context, std::move(done));
    database->post<Opened>(
        [name, to, createTable, check] {
            Opened opened;
            const QSqlDatabase db = SsuConnection::open(name, to);
            if (!db.isOpen())
                return opened;
            opened.host = db.hostName();
            if (!createTable)
                return opened;
            QSqlQuery create(db);
            opened.tableCreated = create.exec(createReportTableStatement());
            if (opened.tableCreated && check) {
                opened.rowKey = reportTableHasRowKey(db);
                opened.missing = missingReportKeys(db);
            }
            return opened;
        },
        this,
        [this, createTable, check, deliver](const Opened &opened) {
            host = opened.host;
            if (opened.tableCreated && check && !schemaChecked) {
                schemaChecked = true;
                rowKey = opened.rowKey;
                keysMissing = opened.missing;
                if (listing)
                    listing->setRowKey(rowKey);
            }
            const bool ok = !host.isEmpty() && (!createTable || opened.tableCreated);
            emit signalWaitDialog(false);
            emit signalIndicator(!host.isEmpty());
            deliver(ok);
        });
}

void SsuSession::uploadReport(const QByteArray &record, QObject *context, Done<UploadResult> done)
{
    auto deliver = deliverTo(context, std::move(done));
    if (record.isEmpty()) {
        // Asynchronous all the same: a caller's next step never runs inside
        // its own call.
        QMetaObject::invokeMethod(
            this, [deliver] { deliver(UploadResult::done(UploadOutcome::Inserted)); }, Qt::QueuedConnection);
        return;
    }
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
    database->post<UploadResult>(
        [name, values] {
            // A closed connection cannot store anything; the caller archives.
            QSqlDatabase db = QSqlDatabase::database(name, false);
            if (!db.isOpen())
                return UploadResult::failed(tr("Нет подключения к ССУ"));
            QSqlQuery query(db);
            return storeReportRow(db, query, values);
        },
        this,
        [this, deliver](const UploadResult &result) {
            if (result.ok)
                emit reportUploaded();
            deliver(result);
        });
}

void SsuSession::uploadReport(const QByteArray &record, const QString &date, QObject *context,
                              Done<UploadResult> done)
{
    setReportDate(date);
    uploadReport(record, context, std::move(done));
}

void SsuSession::uploadArchivedReport(const QByteArray &record, const QString &archiveFileName, QObject *context,
                                      Done<UploadResult> done)
{
    setReportDateFromFileName(archiveFileName);
    uploadReport(record, context, std::move(done));
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
    report.date = key.date.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss"));
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
        // Without a zone, as the column holds it.
        terms.append({QStringLiteral("date"), key.date.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))});
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

} // namespace

void SsuSession::openReport(const StoredReportKey &key, QObject *context, Done<StoredReport> done)
{
    identify(key);
    const QString name = connection;
    const SsuTarget to = databaseTarget();
    const ReportValues known = report;
    auto deliver = deliverTo(context, std::move(done));
    database->post<StoredReport>(
        [name, to, key, known] {
            StoredReport lookup;
            lookup.values = known;
            SsuConnection::readWithReopen(name, to, [&lookup, &key](QSqlDatabase db) {
                QSqlQuery query(db);
                if (!runOnReport(query, QStringLiteral("SELECT * FROM rvkreport"), key))
                    return false;
                if (!query.next()) {
                    lookup.result = StoredReportResult::NotFound;
                    return true;
                }
                readReportRow(query.record(), lookup.values);
                lookup.result = StoredReportResult::Done;
                return true;
            });
            return lookup;
        },
        this,
        [this, deliver](const StoredReport &found) {
            if (found.result == StoredReportResult::Done)
                report = found.values;
            deliver(found);
        });
}

void SsuSession::deleteReport(const StoredReportKey &key, QObject *context, Done<StoredReportResult> done)
{
    identify(key);
    const QString name = connection;
    database->post<StoredReportResult>(
        [name, key] {
            // Not repeated on a fresh connection: whether a delete that lost
            // its connection ran is not known, and the user is told it failed.
            QSqlDatabase db = QSqlDatabase::database(name, false);
            QSqlQuery query(db);
            if (!db.isOpen() || !runOnReport(query, QStringLiteral("DELETE FROM rvkreport"), key))
                return StoredReportResult::Failed;
            return query.numRowsAffected() > 0 ? StoredReportResult::Done : StoredReportResult::NotFound;
        },
        this, deliverTo(context, std::move(done)));
}

void SsuSession::latestReport(quint32 sn, QObject *context, Done<StoredReport> done)
{
    const QString name = connection;
    const SsuTarget to = databaseTarget();
    const bool keyed = rowKey;
    database->post<StoredReport>(
        [name, to, sn, keyed] {
            StoredReport lookup;
            SsuConnection::readWithReopen(name, to, [&](QSqlDatabase db) {
                lookup.result = readLatestReport(db, sn, keyed, &lookup.values);
                return lookup.result != StoredReportResult::Failed;
            });
            return lookup;
        },
        this, deliverTo(context, std::move(done)));
}

void SsuSession::moduleHistory(quint32 sn, QObject *context, Done<ModuleHistoryRead> done)
{
    const QString name = connection;
    const SsuTarget to = databaseTarget();
    const bool keyed = rowKey;
    database->post<ModuleHistoryRead>(
        [name, to, sn, keyed] {
            ModuleHistoryRead history;
            history.read = SsuConnection::readWithReopen(name, to, [&](QSqlDatabase db) {
                history.reports.clear();
                return readModuleHistory(db, sn, keyed, &history.reports);
            });
            return history;
        },
        this, deliverTo(context, std::move(done)));
}
