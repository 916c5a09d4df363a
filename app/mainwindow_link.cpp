// The link as the window shows it: the adapter list, the light and the
// question when the link is lost. The station keeps and supervises the link.
#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "app/stylesheets.h"
#include "station/station.h"

#include <QLabel>
#include <QMessageBox>

void MainWindow::warnAtStart(const QString &title, const QString &text)
{
    // The supervision waits until the notice is answered, so its own box
    // never covers it.
    core->supervisor()->setPaused(true);
    QMessageBox::warning(this, title, text);
    core->supervisor()->setPaused(false);
}

void MainWindow::showAdapters(const QStringList &adapters, int current)
{
    ui->comboBox_InfoDevice->clear();
    ui->comboBox_InfoDevice->addItems(adapters);
    ui->comboBox_InfoDevice->setCurrentIndex(current);
}

void MainWindow::showLinkState(bool up)
{
    setIndicatorKIVO(up);
    ui->pushButton_ReadData->setEnabled(up);
}

void MainWindow::setIndicatorKIVO(bool on)
{
    kivoIndicator->setStyleSheet(QLatin1String(on ? StyleSheet::IndicatorOn : StyleSheet::IndicatorOff));
    ui->pushButton_ReadData->setStyleSheet(QLatin1String(on ? StyleSheet::ReadButtonOn : StyleSheet::ReadButtonOff));
}

// The light already shows the loss while the box asks about it; the station
// reconnects once it is answered, and meanwhile keeps taking frames.
void MainWindow::askAboutLostLink()
{
    const QMessageBox::StandardButton answer = QMessageBox::critical(
        this, tr("Ошибка"), tr("Отсутствует связь с модулем RVK\nПроверьте подключение адаптера KIVO и модуля RVK"),
        QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore, QMessageBox::NoButton);
    if (answer == QMessageBox::Abort)
        close();
    else if (answer == QMessageBox::Ignore)
        core->supervisor()->ignoreLinkLoss();
}

void MainWindow::checkCANError()
{
    core->supervisor()->superviseLink();
}

void MainWindow::on_comboBox_InfoDevice_activated(int)
{
    core->supervisor()->chooseAdapter(ui->comboBox_InfoDevice->currentText());
}
