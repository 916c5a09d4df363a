// Debug monitor: its switches, as the monitor controller runs them.
#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "app/monitorcontroller.h"
#include "diagnostics/dbgtextedit.h"

void MainWindow::on_pushButton_MonitorOn_clicked()
{
    monitorControls->switchOn();
}

void MainWindow::on_pushButton_MonitorOff_clicked()
{
    // Closing the window raises DbgClosed(), which runs the off sequence.
    monitor->close();
}

void MainWindow::slotCloseMonitor()
{
    monitorControls->switchOff();
}

void MainWindow::on_checkBox_WriteToFile_toggled(bool checked)
{
    monitorControls->setLogging(checked);
}
