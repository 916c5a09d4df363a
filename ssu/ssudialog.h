#pragma once

#include "deployment.h"

#include <QByteArray>
#include <QDialog>
#include <QModelIndex>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QTranslator>
#include <QUrl>

class MySqlQueryModel;
class QNetworkAccessManager;
class QNetworkReply;
class QShowEvent;
class mDelegateDate;
class mDelegateDateTime;

namespace Ui {
class SSUDialog;
}

// The statistical accounting system: password download, connection, report
// uploads (ssudialog_database.cpp), and the search window of stored reports
// with opening, saving and deleting them (ssudialog.cpp, ssudialog_reports.cpp).
class SSUDialog : public QDialog
{
    Q_OBJECT
public:
    explicit SSUDialog(QWidget *parent = nullptr);
    ~SSUDialog() override;

    // --- database (ssudialog_database.cpp) ---
    void startDownload();
    bool connectDatabase();
    bool connectAndCreateTable();
    QString dbPassword() const { return m_dbPassword; }
    bool uploadReport(const QByteArray &record);
    void setReportDate(const QString &date);
    void setReportDateFromFileName(const QString &fileName);
    // Where the password file is fetched from; the deployment value unless a
    // test points it elsewhere.
    void setDownloadUrl(const QUrl &url) { downloadUrl = url; }
    // Where the database is reached and the CA its certificate must come from
    // (empty: no TLS); the deployment values unless a test points elsewhere.
    void setDatabaseServer(const QString &host, int port, const QString &caFile);
    // The database hosts, tried in order ("host[:port],..."); the deployment
    // value unless a test points the dialog at particular cluster nodes.
    void setDatabaseHosts(const QString &hosts) { databaseHosts = hosts; }

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

    // --- stored reports (ssudialog_reports.cpp) ---
    void openReport(const QModelIndex &index);
    void on_pushButton_Open_clicked();
    void on_pushButton_Save_clicked();
    void on_pushButton_Delete_clicked();

    // --- database (ssudialog_database.cpp) ---
    void downloadFinished(QNetworkReply *reply);

protected:
    void showEvent(QShowEvent *event) override;

private:
    // --- search window (ssudialog.cpp) ---
    void showSearch(const QString &where, const QString &order);
    void refreshAllReports();
    // Lists all reports again; while the dialog is hidden the listing is only
    // remembered and read when the dialog is shown.
    void listAllReports(bool deferred);
    void fitRowsAndColumns();

    // --- stored reports (ssudialog_reports.cpp) ---
    void writeHtmlReport(bool saveMode);
    // Serial number and date text of the current row, as the delete and the
    // open identify a stored report.
    void identifyCurrentRow(const QModelIndex &index);

    QTranslator translator;
    Ui::SSUDialog *ui = nullptr;
    QSqlDatabase db;
    QSqlQuery query;
    MySqlQueryModel *model = nullptr;
    mDelegateDate *delegateDate = nullptr;
    mDelegateDateTime *delegateDateTime = nullptr;
    QModelIndex selectedIndex;
    QStringList columnHeaders;
    bool defaultDatesSet = false;
    int fetchWindowSize = 256;

    // The report being uploaded or opened (the database columns' values).
    quint32 sn = 0;
    quint32 impact_level = 0;
    quint32 impacts = 0;
    quint32 irt_impacts = 0;
    QString total_time = QStringLiteral("0");
    QString repair_time = QStringLiteral("0");
    QString firmware_version;
    QString release_date;
    QString reportDate;
    QStringList totalPercents;
    QStringList repairPercents;

    uchar language = 1;
    bool saveMode = false;
    QNetworkAccessManager *networkManager = nullptr;
    QUrl downloadUrl;
    QString databaseHosts = QLatin1String(Deployment::databaseHost);
    QString databaseCaFile = QLatin1String(Deployment::databaseCaFile);
    QString m_dbPassword;
};
