// Debug monitor: switching, monitor text and the log file.
#include "mainwindow.h"
#include "ui_mainwindow.h"

void MainWindow::on_pushButton_MonitorOn_clicked() {}
void MainWindow::on_pushButton_MonitorOff_clicked() {}
void MainWindow::slotCloseMonitor() {}
void MainWindow::on_checkBox_WriteToFile_toggled(bool) {}
void MainWindow::handleMonitorFrame() {}
bool MainWindow::openLogFile() { return false; }
void MainWindow::switchMonitorOn() {}
void MainWindow::switchMonitorOff() {}
void MainWindow::closeLogFile() {}
