#include "ssudialog.h"

SSUDialog::SSUDialog(QWidget *parent)
    : QDialog(parent)
{
}

SSUDialog::~SSUDialog() = default;

void SSUDialog::setLanguage(uchar code) { language = code; }
void SSUDialog::setupTableView() {}
void SSUDialog::createModel() {}
void SSUDialog::searchBySerialNumber() {}
void SSUDialog::on_pushButton_SN_clicked() {}
void SSUDialog::on_pushButton_SNrange_clicked() {}
void SSUDialog::on_pushButton_DATErange_clicked() {}
void SSUDialog::on_pushButton_RELrange_clicked() {}
void SSUDialog::slotSetModelIndex(const QModelIndex &index) { selectedIndex = index; }
void SSUDialog::showQuery(const QString &) {}
void SSUDialog::refreshAllReports() {}
