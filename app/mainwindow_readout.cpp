// Report read-out: request, assembly, completion and the archive file.
#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "ktxdriver.h"

#include <QMessageBox>

void MainWindow::on_pushButton_ReadData_clicked()
{
    if (linkGuardFailed())
        return;
    reportRecord.clear();
    canMessage.id = 0x7AA;
    canMessage.rtr = 1;
    canMessage.dlc = 1;
    ktxCANWrite(&canMessage);
}

void MainWindow::appendReportFrame() {}
void MainWindow::completeReadout() {}
bool MainWindow::writeArchiveFile() { return false; }
QStringList MainWindow::listArchiveFiles() const { return {}; }
void MainWindow::waitMs(int) {}
void MainWindow::writeHtmlReport() {}
void MainWindow::slotWaitDialog(bool) {}
