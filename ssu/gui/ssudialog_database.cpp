// The database members of the dialog: the main window and the tests reach the
// dialog's session through these names.
#include "ssu/gui/ssudialog.h"

void SSUDialog::startDownload()
{
    session->startDownload();
}

void SSUDialog::setDatabaseServer(const QString &host, int port, const QString &caFile)
{
    session->setDatabaseServer(host, port, caFile);
}

void SSUDialog::connectDatabase()
{
    session->connectDatabase();
}

void SSUDialog::connectAndCreateTable()
{
    session->connectAndCreateTable();
}

void SSUDialog::uploadReport(const QByteArray &record)
{
    session->uploadReport(record);
}

void SSUDialog::setReportDate(const QString &date)
{
    session->setReportDate(date);
}

void SSUDialog::setReportDateFromFileName(const QString &fileName)
{
    session->setReportDateFromFileName(fileName);
}
