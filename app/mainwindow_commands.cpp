// Module commands: the three set commands and the two clear commands.
#include "mainwindow.h"
#include "ui_mainwindow.h"

void MainWindow::on_pushButton_SetSN_clicked() {}
void MainWindow::on_pushButton_SetDate_clicked() {}
void MainWindow::on_pushButton_SetHit_clicked() {}
void MainWindow::on_pushButton_IRTClear_clicked() {}
void MainWindow::on_pushButton_EEPROMClear_clicked() {}
bool MainWindow::confirmDataLoss() { return false; }
void MainWindow::sendSetCommand(quint16, const QString &) {}
void MainWindow::sendClearCommand(quint16) {}
