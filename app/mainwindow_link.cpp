// Link set-up, guard and supervision.
#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "app/popupwatcher.h"
#include "app/stylesheets.h"
#include "link/ftdi.h"
#include "link/ktxcanfunctions.h"
#include "protocol/programidentity.h"

#include <QLabel>
#include <QMessageBox>
#include <QSettings>
#include <QTimer>

namespace {
const char *const adapterKey = "Settings/Adapter";
// Matches no interface, so without a remembered choice the adapter is the
// one interface present, or the user's pick among several.
const char *const defaultAdapter = "VXA";
} // namespace

QString MainWindow::rememberedAdapter()
{
    const QString remembered = ProgramIdentity::nativeSettings().value(QLatin1String(adapterKey)).toString();
    return remembered.isEmpty() ? QString::fromLatin1(defaultAdapter) : remembered;
}

void MainWindow::openLinkAtStart(QTimer *supervisionTimer)
{
    // Interfaces come and go (a USB adapter unplugged and back); the list
    // is read again whenever the user opens it.
    connect(new PopupWatcher(ui->comboBox_InfoDevice), &PopupWatcher::aboutToShowPopup, this,
            [this] { refreshAdapterList(); });

    fillDeviceList();
    const bool opened = openCANChannel(adapter->description());
    adapterSettled = opened;
    setIndicatorKIVO(opened);
    ui->pushButton_ReadData->setEnabled(opened);

    // Supervision starts only now: the open may run the event loop for
    // longer than a tick (a network bus connecting), and a tick inside it
    // would close the half-open channel and ask before the window exists,
    // where an Abort closes nothing.
    supervisionTimer->start(1000);
}

void MainWindow::warnAtStart(const QString &title, const QString &text)
{
    startNoticeOpen = true;
    QMessageBox::warning(this, title, text);
    startNoticeOpen = false;
}

void MainWindow::fillDeviceList()
{
    // Pulses RTS and sets DTR on the last chosen adapter before the driver
    // takes it.
    adapter->open();
    adapter->close();
    refreshAdapterList();
}

void MainWindow::refreshAdapterList()
{
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
    if (deviceCount == 1 && !adapterSettled)
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
    kivoIndicator->setStyleSheet(QLatin1String(on ? StyleSheet::IndicatorOn : StyleSheet::IndicatorOff));
    ui->pushButton_ReadData->setStyleSheet(QLatin1String(on ? StyleSheet::ReadButtonOn : StyleSheet::ReadButtonOff));
}

void MainWindow::checkCANError()
{
    // A choice of adapter made while a reconnection waits in the driver's
    // open runs in that open's nested event loop, and so may this timer;
    // the reconnection under way takes care of the link.
    if (reconnectingLink || startNoticeOpen)
        return;

    if (ktxCANInfo() == 0) {
        ignoreLinkLoss = false;
        return;
    }

    // The light shows the loss while the box asks about it. Qt delivers
    // this timer again only once this slot has returned, so no further box
    // or attempt comes while the box is open; the poll timer keeps reading
    // whatever frames still arrive.
    setIndicatorKIVO(false);
    ui->pushButton_ReadData->setEnabled(false);
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
    reopenCANChannel();
}

void MainWindow::reopenCANChannel()
{
    reconnectingLink = true;
    bool opened = false;
    quint32 choice = 0;
    do {
        choice = adapterChoices;
        setIndicatorKIVO(false);
        ui->pushButton_ReadData->setEnabled(false);
        ktxCANClose();
        fillDeviceList();
        opened = openCANChannel(adapter->description());
        // An adapter chosen while the open waited has closed that open;
        // go on with the chosen one.
    } while (!opened && choice != adapterChoices);
    if (opened) {
        adapterSettled = true;
        setIndicatorKIVO(true);
        ui->pushButton_ReadData->setEnabled(true);
    }
    reconnectingLink = false;
}

void MainWindow::on_comboBox_InfoDevice_activated(int)
{
    const QString chosen = ui->comboBox_InfoDevice->currentText();
    adapter->setDescription(chosen);
    adapterSettled = true;
    ++adapterChoices;
    ProgramIdentity::nativeSettings().setValue(QLatin1String(adapterKey), chosen);
    // Connect now: the user has just said which adapter to use, and closing
    // here would have the next tick report a lost link. A reconnection that
    // waits in the driver's open is abandoned by the close and then goes on
    // with the chosen adapter itself.
    if (reconnectingLink)
        ktxCANClose();
    else
        reopenCANChannel();
}
