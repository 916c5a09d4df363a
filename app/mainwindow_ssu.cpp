// Database login and the upload of archived reports.
#include "mainwindow.h"
#include "ui_mainwindow.h"

void MainWindow::on_actionSSU_triggered() {}
bool MainWindow::uploadArchivedReports() { return true; }
