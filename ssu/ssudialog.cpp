#include "ssudialog.h"

SSUDialog::SSUDialog(QWidget *parent)
    : QDialog(parent)
{
}

SSUDialog::~SSUDialog() = default;

void SSUDialog::startDownload() {}
bool SSUDialog::connectDatabase() { return false; }
bool SSUDialog::connectAndCreateTable() { return false; }
bool SSUDialog::uploadReport(const QByteArray &) { return false; }
void SSUDialog::setReportDate(const QString &) {}
void SSUDialog::setReportDateFromFileName(const QString &) {}
void SSUDialog::setLanguage(uchar) {}
void SSUDialog::searchBySerialNumber() {}
