#pragma once

#include <QByteArray>
#include <QDialog>
#include <QString>

// The statistical accounting system: password download, connection, uploads,
// and the search window of stored reports.
class SSUDialog : public QDialog
{
    Q_OBJECT
public:
    explicit SSUDialog(QWidget *parent = nullptr);
    ~SSUDialog() override;

    void startDownload();
    bool connectDatabase();
    bool connectAndCreateTable();
    QString dbPassword() const { return m_dbPassword; }

    bool uploadReport(const QByteArray &record);
    void setReportDate(const QString &date);
    void setReportDateFromFileName(const QString &fileName);

    void setLanguage(uchar code);
    // The serial-number search with the field's current value (0 lists all).
    void searchBySerialNumber();

signals:
    void signalIndicator(bool on);
    void signalWaitDialog(bool on);

private:
    QString m_dbPassword;
};
