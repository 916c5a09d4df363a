#pragma once

#include "report/reportrecord.h"
#include "ssu/modulehistory.h"
#include "ssu/mysqlquerymodel.h"
#include "ssu/ssuconnection.h"

#include <QByteArray>
#include <QDate>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>

class DatabaseThread;
class QNetworkAccessManager;
class QNetworkReply;

// The program's session with the SSU database, without any window: password
// download, connection, the shared table, report uploads, the searches the
// listing model runs and the lookups that open and delete stored reports.
// The search dialog owns one and shows its model; tests and benchmarks drive
// it on its own.
//
// Every statement runs on the session's database thread. The members that
// return a statement's outcome wait for it the way a dialog's exec() waits:
// the calling thread goes on handling its events (the window repaints, CAN
// frames are taken, the user may act), so other calls may run meanwhile;
// they are carried out in the order they were made.
class SsuSession : public QObject
{
    Q_OBJECT
public:
    explicit SsuSession(QObject *parent = nullptr);

    // --- password and connection ---
    void startDownload();
    bool connectDatabase();
    bool connectAndCreateTable();
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
    // waits for the download under way), processing events meanwhile and
    // within the download's own bounds. True when a password is known.
    bool fetchPasswordIfMissing();

    // --- uploads ---
    // Stores the record as the current report under the report date. An
    // empty record stores nothing and succeeds.
    bool uploadReport(const QByteArray &record);
    // The same under the date given ("dd.MM.yyyy HH:mm"), or the date an
    // archive file's name carries: a caller's report keeps its own date
    // whatever other uploads run between.
    bool uploadReport(const QByteArray &record, const QString &date);
    bool uploadArchivedReport(const QByteArray &record, const QString &archiveFileName);
    void setReportDate(const QString &date);
    void setReportDateFromFileName(const QString &fileName);
    // The report last uploaded, identified or opened (the columns' values).
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
    // Reads the report the key names into currentReport(). NotFound: the
    // statement ran and no such report is stored (any more).
    StoredReportResult openReport(const StoredReportKey &key);
    // Deletes the report the key names, and no other: a report of the same
    // module and minute stays.
    StoredReportResult deleteReport(const StoredReportKey &key);
    // The module's latest stored report, the one a new read-out is compared
    // with. NotFound: the module has none stored.
    StoredReportResult latestReport(quint32 sn, ReportValues *values);
    // Every stored report of the module, oldest first; false when the
    // statement did not run.
    bool moduleHistory(quint32 sn, QVector<ModuleReport> *reports);
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
    bool search(const ReportFilter &filter, bool deferred = false);
    void identify(const StoredReportKey &key);
    // CREATE TABLE, and what the table has of its keys, once per session.
    bool createTable();
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
    QString databasePassword;
    PasswordState passwordFetch = PasswordState::NotFetched;
    QPointer<QNetworkReply> pendingDownload;
};
