#pragma once

#include "report/reportrecord.h"
#include "ssu/modulehistory.h"
#include "ssu/mysqlquerymodel.h"
#include "ssu/reportupload.h"
#include "ssu/driver/ssuconnection.h"

#include <QByteArray>
#include <QDate>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>
#include <QVector>

#include <functional>

class DatabaseThread;
class QNetworkAccessManager;
class QNetworkReply;

// A stored report looked up, and what became of the lookup.
struct StoredReport
{
    StoredReportResult result = StoredReportResult::Failed;
    ReportValues values;
};

// A module's stored reports, oldest first; read is false when the statement
// did not run.
struct ModuleHistoryRead
{
    bool read = false;
    QVector<ModuleReport> reports;
};

// The program's session with the SSU database, without any window: password
// download, connection, the shared table, report uploads, the searches the
// listing model runs and the lookups that open and delete stored reports.
// The search dialog shows its model; the station keeps its reports through
// it; tests and benchmarks drive it on their own.
//
// Every call returns at once. Its statement runs on the session's database
// thread, in the order the calls were made, and its outcome comes back to
// done on the context's thread, in that order too; done is dropped when the
// context is gone by then (no context: the session itself). Nothing here
// waits, so a user's next act never runs inside the last one.
class SsuSession : public QObject
{
    Q_OBJECT
public:
    template <class Result>
    using Done = std::function<void(Result)>;

    explicit SsuSession(QObject *parent = nullptr);

    // --- password and connection ---
    void startDownload();
    // Opens the connection (the nodes of a cluster in the administrator's
    // order); true when one opened.
    void connectDatabase(QObject *context = nullptr, Done<bool> done = {});
    // The same, then the table created if missing; true only if both did.
    // signalIndicator follows the outcome, once the table is there, so the
    // archive pass that a connection starts never runs before it.
    void connectAndCreateTable(QObject *context = nullptr, Done<bool> done = {});
    QString dbPassword() const { return databasePassword; }
    // Where the password file is fetched from; SsuEndpoints::current() when
    // the session was made, unless a test points it elsewhere.
    void setDownloadUrl(const QUrl &url) { downloadUrl = url; }
    // Where the database is reached and the CA its certificate must come from
    // (empty: no TLS); the deployment values unless a test points elsewhere.
    void setDatabaseServer(const QString &host, int port, const QString &caFile);
    // The database hosts, tried in order ("host[:port],...").
    void setDatabaseHosts(const QString &hosts) { databaseHosts = hosts; }

    // --- the password fetched again (ssusession_password.cpp) ---
    // What became of the last password download.
    enum class PasswordState { NotFetched, Unreachable, Unreadable, Received };
    PasswordState passwordState() const { return passwordFetch; }
    // A web server started after the program would otherwise never be
    // asked again: when no password is known, downloads it once more (or
    // joins the download under way, which bounds itself in time and size).
    // True when a password is known.
    void fetchPasswordIfMissing(QObject *context, Done<bool> done);

    // --- uploads ---
    // Stores the record as the current report under the report date set
    // last (setReportDate), or under the date given ("dd.MM.yyyy HH:mm"), or
    // the date an archive file's name carries: each upload keeps the date it
    // was called with, whatever other uploads run between. done learns
    // whether the report was inserted, replaced a copy the SSU held already,
    // or failed (and why). An empty record stores nothing and counts as
    // inserted: nothing of it is left to keep.
    void uploadReport(const QByteArray &record, QObject *context = nullptr, Done<UploadResult> done = {});
    void uploadReport(const QByteArray &record, const QString &date, QObject *context, Done<UploadResult> done);
    void uploadArchivedReport(const QByteArray &record, const QString &archiveFileName, QObject *context,
                              Done<UploadResult> done);
    void setReportDate(const QString &date);
    void setReportDateFromFileName(const QString &fileName);
    // The report last handed to an upload, or last opened (the columns'
    // values).
    const ReportValues &currentReport() const { return report; }

    // --- searches ---
    // The listing model, created on first use with the fetch window size.
    MySqlQueryModel *model() const { return listing; }
    void createModel();
    // How many rows the listing reads from the server at a time.
    void setFetchWindowSize(int rows);
    // Lists all reports; a deferred listing is read when the model loads.
    void listAllReports(bool deferred);
    // The searches return false when there is no model yet.
    // 0 lists all reports; another number that module's reports.
    bool searchSerialNumber(int serialNumber);
    bool searchSerialRange(int first, int last);
    bool searchReportDates(const QDate &first, const QDate &last);
    bool searchReleaseDates(const QDate &first, const QDate &last);

    // --- stored reports ---
    // The reads below reopen a connection the server dropped (idle limit,
    // restart, failover) once and try again.
    // Reads the report the key names (then also currentReport()). NotFound:
    // the statement ran and no such report is stored (any more).
    void openReport(const StoredReportKey &key, QObject *context, Done<StoredReport> done);
    // Deletes the report the key names, and no other: a report of the same
    // module and minute stays.
    void deleteReport(const StoredReportKey &key, QObject *context, Done<StoredReportResult> done);
    // The module's latest stored report, the one a new read-out is compared
    // with. NotFound: the module has none stored.
    void latestReport(quint32 sn, QObject *context, Done<StoredReport> done);
    // Every stored report of the module, oldest first.
    void moduleHistory(quint32 sn, QObject *context, Done<ModuleHistoryRead> done);
    // Whether the table has its invisible row key (known once the table has
    // been created or checked in this session).
    bool hasRowKey() const { return rowKey; }
    // How many of the table's keys and indexes are missing (known once the
    // table has been created or checked; -1 before). Stations do not add
    // them: that is the administrator's step (scripts/ssu-admin).
    int missingKeys() const { return keysMissing; }
    // The host of the connection last opened, empty when none is open.
    QString connectedHost() const { return host; }
    // The thread the session's statements run on, and the name of its
    // connection there.
    DatabaseThread *databaseThread() const { return database; }
    QString connectionName() const { return connection; }
    // Where and as whom the session connects, with the password known now:
    // what a caller needs to open a connection of its own through
    // SsuConnection::open(), e.g. for a long export beside the session.
    SsuTarget databaseTarget() const;

signals:
    void signalIndicator(bool on);
    void signalWaitDialog(bool on);
    // A password arrived and the connection was tried with it (the table is
    // created when it opened); the owner then sets up its listing.
    void passwordReceived();
    // A report was stored: listings of the table are out of date.
    void reportUploaded();

private slots:
    void downloadFinished(QNetworkReply *reply);

private:
    struct Opened
    {
        QString host;
        bool tableCreated = false;
        bool rowKey = false;
        int missing = -1;
    };
    void openConnection(bool createTable, QObject *context, Done<bool> done);
    bool search(const ReportFilter &filter, bool deferred = false);
    void identify(const StoredReportKey &key);
    void notifyPasswordWaiters();
    // With a station file (StationAccount), takes its account instead of
    // downloading the shared password; true when a file was there, usable
    // or not.
    bool useStationAccount();
    bool schemaChecked = false;
    bool rowKey = false;
    int keysMissing = -1;
    QString host;

    DatabaseThread *database = nullptr;
    // The session's connection on its database thread.
    QString connection;
    MySqlQueryModel *listing = nullptr;
    int fetchWindowSize = 256;
    ReportValues report;

    QNetworkAccessManager *networkManager = nullptr;
    QUrl downloadUrl;
    // The CA the password server's certificate must come from; empty: the
    // system's store.
    QString passwordCaFile;
    QString databaseHosts;
    QString databaseCaFile;
    QString databaseUser = QStringLiteral("RVKuser");
    QString databasePassword;
    PasswordState passwordFetch = PasswordState::NotFetched;
    QPointer<QNetworkReply> pendingDownload;
    // Callers of fetchPasswordIfMissing() waiting for the download under way.
    QVector<QPair<QPointer<QObject>, Done<bool>>> passwordWaiters;
};
