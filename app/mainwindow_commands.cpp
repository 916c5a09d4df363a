// Module commands: the three set commands and the two clear commands.
#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "ssu/gui/plainmessagebox.h"

#include "protocol/commandvalue.h"
#include "protocol/frameclassification.h"
#include "station/factoryjournal.h"
#include "station/station.h"

#include <QMessageBox>
#include <QPushButton>

void MainWindow::on_pushButton_SetSN_clicked()
{
    sendSetCommand(CanIdSetSN, decimalCommandValue(ui->spinBox_SNValue->text()), ui->spinBox_SNValue->text());
}

void MainWindow::on_pushButton_SetDate_clicked()
{
    sendSetCommand(CanIdSetDate, dateCommandValue(ui->dateEdit->text()), ui->dateEdit->text());
}

void MainWindow::on_pushButton_SetHit_clicked()
{
    sendSetCommand(CanIdSetHit, decimalCommandValue(ui->spinBox_HitValue->text()), ui->spinBox_HitValue->text());
}

void MainWindow::on_pushButton_IRTClear_clicked()
{
    sendClearCommand(CanIdIRTClear, tr("Сброс межремонтной наработки"));
}

void MainWindow::on_pushButton_EEPROMClear_clicked()
{
    sendClearCommand(CanIdEEPROMClear, tr("Удаление всех данных"));
}

// The question names what is about to be wiped and on which module, and
// Enter answers "Нет": a wipe is never the answer a stray key gives.
bool MainWindow::confirmDataLoss(const QString &action)
{
    QMessageBox box(QMessageBox::Question, tr("Внимание!"), tr("Вы уверены?\nДанные будут безвозвратно утеряны!"),
                    QMessageBox::NoButton, this);
    box.setInformativeText(
        tr("%1: модуль с серийным номером %2.").arg(action).arg(core->lastReadout().values.serialNumber));
    // Action roles on both buttons leave the box without an escape button:
    // with a No role Qt would let Escape and the title-bar close answer
    // "Нет", and a destructive question must be answered deliberately.
    QPushButton *yes = box.addButton(tr("Да"), QMessageBox::ActionRole);
    QPushButton *no = box.addButton(tr("Нет"), QMessageBox::ActionRole);
    box.setDefaultButton(no);
    box.exec();
    return box.clickedButton() == yes;
}

// Before a whole report, or after a broken one, the fields hold zeros and
// today's date rather than this module's values: the station refuses, and
// the window says why.
void MainWindow::sendSetCommand(quint16 id, qint32 value, const QString &shown)
{
    if (!core->hasWholeReport()) {
        showCommandResult(Station::CommandResult::ReadReportFirst);
        return;
    }
    clearModuleNotice();
    const Station::CommandResult result = core->sendSetCommand(id, value);
    if (result == Station::CommandResult::Sent)
        factoryJournal->noteSent(id, shown);
    showCommandResult(result);
}

// Like the set commands, the wipes act only on the module whose whole report
// was read: the question names it, and nothing is asked before.
void MainWindow::sendClearCommand(quint16 id, const QString &action)
{
    if (!core->hasWholeReport()) {
        showCommandResult(Station::CommandResult::ReadReportFirst);
        return;
    }
    if (!confirmDataLoss(action))
        return;
    clearModuleNotice();
    const Station::CommandResult result = core->sendClearCommand(id);
    if (result == Station::CommandResult::Sent)
        factoryJournal->noteSent(id, QString());
    showCommandResult(result);
}

// A link that is down has already been reported by the supervision.
void MainWindow::showCommandResult(Station::CommandResult result)
{
    if (result == Station::CommandResult::ReadReportFirst)
        QMessageBox::warning(this, tr("Внимание"), tr("Сначала прочитайте отчёт"), QMessageBox::Ok);
}

void MainWindow::createFactoryJournal()
{
    factoryJournal = new FactoryJournal(core, this);
    connect(factoryJournal, &FactoryJournal::logFailed, this, [this](const QString &error) {
        PlainMessageBox::warning(this, tr("Внимание"),
                                 tr("Не могу записать журнал заводских значений %1:\n%2")
                                     .arg(QLatin1String(FactoryValueLog::FileName), error));
    });
}

bool MainWindow::linkGuardFailed()
{
    return !core->link()->guard();
}
