// Module commands: the three set commands and the two clear commands, as
// the service controls send them.
#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "app/servicecontrols.h"
#include "protocol/commandvalue.h"
#include "protocol/frameclassification.h"

void MainWindow::on_pushButton_SetSN_clicked()
{
    serviceControls->sendSetCommand(CanIdSetSN, decimalCommandValue(ui->spinBox_SNValue->text()), ui->spinBox_SNValue->text());
}

void MainWindow::on_pushButton_SetDate_clicked()
{
    serviceControls->sendSetCommand(CanIdSetDate, dateCommandValue(ui->dateEdit->text()), ui->dateEdit->text());
}

void MainWindow::on_pushButton_SetHit_clicked()
{
    serviceControls->sendSetCommand(CanIdSetHit, decimalCommandValue(ui->spinBox_HitValue->text()), ui->spinBox_HitValue->text());
}

void MainWindow::on_pushButton_IRTClear_clicked()
{
    serviceControls->sendClearCommand(CanIdIRTClear, tr("Сброс межремонтной наработки"));
}

void MainWindow::on_pushButton_EEPROMClear_clicked()
{
    serviceControls->sendClearCommand(CanIdEEPROMClear, tr("Удаление всех данных"));
}
