// Window geometry, the language switch, the About box and the service mode.
#include "mainwindow.h"
#include "ui_mainwindow.h"

void MainWindow::loadWindowSettings() {}
void MainWindow::saveWindowSettings() {}
void MainWindow::restoreFormValues() {}
void MainWindow::installServiceModeShortcut() {}
void MainWindow::enterServiceMode() {}
void MainWindow::on_actionLangRus_triggered() {}
void MainWindow::on_actionLangEng_triggered() {}
void MainWindow::on_actionInfo_triggered() {}
