// Module commands: the three set commands and the two clear commands.
#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "protocol/commandvalue.h"
#include "protocol/frameclassification.h"
#include "station/station.h"

#include <QMessageBox>
#include <QPushButton>

void MainWindow::on_pushButton_SetSN_clicked()
{
    sendSetCommand(CanIdSetSN, decimalCommandValue(ui->spinBox_SNValue->text()));
}

void MainWindow::on_pushButton_SetDate_clicked()
{
    sendSetCommand(CanIdSetDate, dateCommandValue(ui->dateEdit->text()));
}

void MainWindow::on_pushButton_SetHit_clicked()
{
    sendSetCommand(CanIdSetHit, decimalCommandValue(ui->spinBox_HitValue->text()));
}

void MainWindow::on_pushButton_IRTClear_clicked()
{
    if (!confirmDataLoss())
        return;
    sendClearCommand(CanIdIRTClear);
}

void MainWindow::on_pushButton_EEPROMClear_clicked()
{
    if (!confirmDataLoss())
        return;
    sendClearCommand(CanIdEEPROMClear);
}

bool MainWindow::confirmDataLoss()
{
    QMessageBox box(QMessageBox::Question, tr("Внимание!"), tr("Вы уверены?\nДанные будут безвозвратно утеряны!"),
                    QMessageBox::NoButton, this);
    // Action roles on both buttons leave the box without an escape button:
    // with a No role Qt would let Escape and the title-bar close answer
    // "Нет", and a destructive question must be answered deliberately.
    QPushButton *yes = box.addButton(tr("Да"), QMessageBox::ActionRole);
    box.addButton(tr("Нет"), QMessageBox::ActionRole);
    box.setDefaultButton(yes);
    box.exec();
    return box.clickedButton() == yes;
}

void MainWindow::sendSetCommand(quint16 id, qint32 value)
{
    // Before a whole report, or after a broken one, the fields hold zeros and
    // today's date rather than this module's values; the station refuses.
    if (!core->hasWholeReport()) {
        QMessageBox::warning(this, tr("Внимание"), tr("Сначала прочитайте отчёт"), QMessageBox::Ok);
        return;
    }
    clearModuleNotice();
    core->sendSetCommand(id, value);
}

void MainWindow::sendClearCommand(quint16 id)
{
    clearModuleNotice();
    core->sendClearCommand(id);
}

bool MainWindow::linkGuardFailed()
{
    return !core->link()->guard();
}
