#pragma once

#include "ssu/ssusession.h"

#include <QByteArray>
#include <QDialog>
#include <QModelIndex>
#include <QString>
#include <QStringList>
#include <QUrl>

class QShowEvent;
class mDelegateDate;
class mDelegateDateTime;

namespace Ui {
class SSUDialog;
}

// The statistical accounting system's window: the search of stored reports
// with opening, saving and deleting them (ssudialog.cpp, ssudialog_reports.cpp).
// The database session behind it (password download, connection, uploads,
// the search statements) is its SsuSession; the session's members are
// forwarded under the names the main window and the tests use
// (ssudialog_database.cpp).
class SSUDialog : public QDialog
{
    Q_OBJECT
public:
    explicit SSUDialog(QWidget *parent = nullptr);
    // Shows a session its owner keeps (the station's); without one the
    // dialog makes its own.
    SSUDialog(SsuSession *shared, QWidget *parent);
    ~SSUDialog() override;

    // --- database (ssudialog_database.cpp) ---
    // The session's calls under the dialog's names; each returns at once and
    // its outcome shows through signalIndicator and the listing.
    void startDownload();
    void connectDatabase();
    void connectAndCreateTable();
    QString dbPassword() const { return session->dbPassword(); }
    void uploadReport(const QByteArray &record);
    void setReportDate(const QString &date);
    void setReportDateFromFileName(const QString &fileName);
    // Where the password file is fetched from; the deployment value unless a
    // test points it elsewhere.
    void setDownloadUrl(const QUrl &url) { session->setDownloadUrl(url); }
    // Where the database is reached and the CA its certificate must come from
    // (empty: no TLS); the deployment values unless a test points elsewhere.
    void setDatabaseServer(const QString &host, int port, const QString &caFile);
    // The database hosts, tried in order ("host[:port],..."); the deployment
    // value unless a test points the dialog at particular cluster nodes.
    void setDatabaseHosts(const QString &hosts) { session->setDatabaseHosts(hosts); }
    // The database session the dialog shows.
    SsuSession *databaseSession() const { return session; }

    // --- search window (ssudialog.cpp) ---
    void setLanguage(uchar code);
    void setupTableView();
    // Creates the query model over all reports on the connection "RVKReport"
    // and binds the view to it (done once the password is known).
    void createModel();
    // The serial-number search with the field's current value (0 lists all).
    void searchBySerialNumber();
    // How many rows the list reads from the server at a time (tests make it
    // small to cross many window boundaries in a short table).
    void setFetchWindowSize(int rows);

signals:
    void signalIndicator(bool on);
    void signalWaitDialog(bool on);

private slots:
    // --- search window (ssudialog.cpp) ---
    void on_pushButton_SN_clicked();
    void on_pushButton_SNrange_clicked();
    void on_pushButton_DATErange_clicked();
    void on_pushButton_RELrange_clicked();
    void slotSetModelIndex(const QModelIndex &index);
    void rememberCurrentReport(const QModelIndex &current);
    void showListLength();
    // The current row's window arrived (or was dropped): its report is
    // known now, and the actions on it follow.
    void takeArrivedRows(const QModelIndex &first, const QModelIndex &last);
    // A new listing or order: the rows the view showed are gone, and so is
    // the report that was current.
    void forgetCurrentReport();

    // --- stored reports (ssudialog_reports.cpp) ---
    void openReport(const QModelIndex &index);
    void on_pushButton_Open_clicked();
    void on_pushButton_Save_clicked();
    void on_pushButton_Delete_clicked();
    void on_pushButton_History_clicked();

protected:
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    // --- search window (ssudialog.cpp) ---
    void refreshAllReports();
    void retranslate();
    // Lists all reports again; while the dialog is hidden the listing is only
    // remembered and read when the dialog is shown.
    void listAllReports(bool deferred);
    void fitRowsAndColumns();

    // --- stored reports (ssudialog_reports.cpp) ---
    // Writes the report opened for the key; saveMode travels with the
    // request, so an Open pressed while a Save is answered stays an Open.
    void writeHtmlReport(const ReportValues &report, const StoredReportKey &key, bool saveMode);
    // Opens (or saves) the report of the view's current row.
    void requestReport(bool saveMode);
    // The report of the view's current row, as its window brought it: the
    // list may since have read that row's place anew, and another station
    // may have stored or deleted reports before it. Invalid when no row is
    // current or its window is still being read.
    StoredReportKey currentReportKey() const;
    // Open, Save, Delete and Module history act on a known report only.
    void updateReportActions();
    // Tells the user that the report chosen is no longer stored.
    void reportGone(const StoredReportKey &key);
    // The document's name: by serial number and date, and for a stored date
    // that cannot be read, by the report's own key.
    static QString documentFileName(const ReportValues &report, const StoredReportKey &key);

    Ui::SSUDialog *ui = nullptr;
    SsuSession *session = nullptr;
    mDelegateDate *delegateDate = nullptr;
    mDelegateDateTime *delegateDateTime = nullptr;
    QModelIndex selectedIndex;
    StoredReportKey chosenReport;
    int chosenRow = -1;
    bool deleteUnlocked = false;
    QStringList columnHeaders;
    bool defaultDatesSet = false;
    uchar language = 1;
};
