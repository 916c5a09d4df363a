#include "ssudialog.h"

void SSUDialog::openReport(const QModelIndex &) {}
void SSUDialog::on_pushButton_Open_clicked() {}
void SSUDialog::on_pushButton_Save_clicked() {}
void SSUDialog::on_pushButton_Delete_clicked() {}
void SSUDialog::writeHtmlReport(bool) {}
void SSUDialog::identifyCurrentRow(const QModelIndex &) {}
