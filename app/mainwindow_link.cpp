// Link set-up, guard and supervision.
#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "ftdi.h"
#include "ktxdriver.h"

void MainWindow::fillDeviceList() {}

bool MainWindow::openCANChannel(const QString &) { return false; }

bool MainWindow::checkCANResult(qint32 result, const QString &)
{
    if (result >= -6 && result <= -1) {
        ktxCANClose();
        return true;
    }
    return false;
}

bool MainWindow::linkGuardFailed()
{
    return checkCANResult(ktxCANInfo(), QStringLiteral("ktxCANInfo()"));
}

void MainWindow::setIndicatorKIVO(bool) {}

void MainWindow::checkCANError() {}

void MainWindow::on_comboBox_InfoDevice_activated(int) {}
