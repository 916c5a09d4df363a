// Link set-up, guard and supervision.
#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "ftdi.h"
#include "ktxdriver.h"

#include <QLabel>
#include <QMessageBox>

namespace {
const char *const indicatorOn = "QLabel { border-radius: 10px; background-color: green; color: white;}";
const char *const indicatorOff = "QLabel { border-radius: 10px; background-color: red; color: white;}";
const char *const readButtonOn = "background-color:DarkGreen; color:white;";
const char *const readButtonOff = "background-color:white; color:Gray;";
} // namespace

void MainWindow::fillDeviceList()
{
    // Pulses RTS and sets DTR on the last chosen adapter before the driver
    // takes it.
    adapter->open();
    adapter->close();

    deviceCount = adapter->countDevices();
    if (deviceCount == 0)
        return;

    ui->comboBox_InfoDevice->clear();
    ui->comboBox_InfoDevice->setCurrentIndex(0);
    for (int i = 0; i < deviceCount; ++i) {
        ui->comboBox_InfoDevice->addItem(adapter->deviceDescription(i));
        if (adapter->deviceDescription(i) == adapter->description())
            ui->comboBox_InfoDevice->setCurrentIndex(i);
    }
    if (deviceCount == 1)
        adapter->setDescription(adapter->deviceDescription(0));
}

bool MainWindow::openCANChannel(const QString &description)
{
    const QByteArray utf8 = description.toUtf8();
    quint32 output1 = 0;
    quint32 output2 = 0;
    const qint32 opened = ktxCANOpen(utf8.constData(), &output1, &output2, 19200, 500);
    if (opened == 1 || (opened >= 16 && opened <= 19)) {
        ktxCANClose();
        return false;
    }

    const KtxCANSetupRecord setupRecord;
    if (checkCANResult(ktxCANSetup(&setupRecord), QStringLiteral("ktxCANSetup()")))
        return false;

    QByteArray deviceInfo(2048, '\0');
    ktxCANDeviceInfo(deviceInfo.data());

    if (checkCANResult(ktxCANInfo(), QStringLiteral("ktxCANInfo()")))
        return false;
    return true;
}

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

void MainWindow::setIndicatorKIVO(bool on)
{
    kivoIndicator->setStyleSheet(QLatin1String(on ? indicatorOn : indicatorOff));
    ui->pushButton_ReadData->setStyleSheet(QLatin1String(on ? readButtonOn : readButtonOff));
}

void MainWindow::checkCANError()
{
    // The bounded wait inside the driver's open runs a nested event loop in
    // which this timer fires again; a second reconnection would tear down
    // the channel the first one is still opening.
    if (reconnectingLink)
        return;

    if (ktxCANInfo() == 0) {
        ignoreLinkLoss = false;
        return;
    }

    if (!ignoreLinkLoss) {
        const QMessageBox::StandardButton answer = QMessageBox::critical(
            this, tr("Ошибка"),
            tr("Отсутствует связь с модулем RVK\nПроверьте подключение адаптера KIVO и модуля RVK"),
            QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore, QMessageBox::NoButton);
        if (answer == QMessageBox::Abort)
            close();
        else if (answer == QMessageBox::Ignore)
            ignoreLinkLoss = true;
    }

    reconnectingLink = true;
    setIndicatorKIVO(false);
    ui->pushButton_ReadData->setEnabled(false);
    ktxCANClose();
    fillDeviceList();
    if (openCANChannel(adapter->description())) {
        setIndicatorKIVO(true);
        ui->pushButton_ReadData->setEnabled(true);
    }
    reconnectingLink = false;
}

void MainWindow::on_comboBox_InfoDevice_activated(int)
{
    ktxCANClose();
    adapter->setDescription(ui->comboBox_InfoDevice->currentText());
}
