#include "ssudialog.h"

void SSUDialog::startDownload() {}
bool SSUDialog::connectDatabase() { return false; }
bool SSUDialog::connectAndCreateTable() { return false; }
bool SSUDialog::uploadReport(const QByteArray &) { return false; }
void SSUDialog::setReportDate(const QString &date) { reportDate = date; }
void SSUDialog::setReportDateFromFileName(const QString &) {}
void SSUDialog::downloadFinished(QNetworkReply *) {}
