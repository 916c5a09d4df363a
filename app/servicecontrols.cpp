#include "app/servicecontrols.h"
#include "ui_mainwindow.h"

#include "app/modulenotice.h"
#include "app/stylesheets.h"
#include "protocol/programidentity.h"
#include "ssu/gui/fleetwindow.h"
#include "ssu/gui/plainmessagebox.h"
#include "station/factoryjournal.h"
#include "station/timing.h"

#include <QAction>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>

ServiceControls::ServiceControls(QWidget *window, Ui::MainWindow *ui, Station *station, ModuleNotice *notice)
    : QObject(window)
    , window(window)
    , ui(ui)
    , station(station)
    , notice(notice)
{
    // The value edits stay in sight, disabled; the buttons and the monitor
    // switches are hidden until service mode.
    const QList<QWidget *> valueEdits{ui->spinBox_SNValue, ui->dateEdit, ui->spinBox_HitValue};
    const QList<QWidget *> commandButtons{ui->pushButton_SetSN, ui->pushButton_SetDate, ui->pushButton_SetHit,
                                          ui->pushButton_IRTClear, ui->pushButton_EEPROMClear};
    for (QWidget *widget : valueEdits + commandButtons)
        widget->setEnabled(false);
    revealedWidgets = valueEdits;
    for (QWidget *widget : commandButtons + QList<QWidget *>{ui->pushButton_MonitorOff, ui->pushButton_MonitorOn,
                                                             ui->checkBox_WriteToFile})
        reveal(widget);
    reveal(ui->actionSSU);

    fleetAction = new QAction(window);
    fleetAction->setObjectName(QStringLiteral("actionFleet"));
    ui->toolBar->addAction(fleetAction);
    connect(fleetAction, &QAction::triggered, this, &ServiceControls::openFleetWindow);
    reveal(fleetAction);
    retranslate();

    auto *shortcut = new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S), window);
    connect(shortcut, &QShortcut::activated, this, &ServiceControls::enterServiceMode);

    factoryJournal = new FactoryJournal(station, this);
    connect(factoryJournal, &FactoryJournal::logFailed, this, [this](const QString &error) {
        PlainMessageBox::warning(this->window, tr("Внимание"),
                                 tr("Не могу записать журнал заводских значений %1:\n%2")
                                     .arg(QLatin1String(FactoryValueLog::FileName), error));
    });
    connect(station, &Station::commandAcknowledged, this, &ServiceControls::showAcknowledgement);
}

void ServiceControls::reveal(QWidget *widget)
{
    widget->hide();
    revealedWidgets << widget;
}

void ServiceControls::reveal(QAction *action)
{
    action->setVisible(false);
    revealedActions << action;
}

void ServiceControls::retranslate()
{
    fleetAction->setText(tr("Парк модулей"));
    fleetAction->setToolTip(tr("Сравнение групп модулей по их последним отчётам в ССУ"));
}

// Staff who know the access code reveal the controls for the rest of the
// run. Nothing is stored, so the next start is an ordinary one again.
void ServiceControls::enterServiceMode()
{
    if (serviceMode)
        return;
    bool accepted = false;
    const QString code = QInputDialog::getText(window, tr("Сервисный режим"), tr("Код доступа:"), QLineEdit::Password,
                                               QString(), &accepted);
    if (!accepted)
        return;
    if (code != QString::number(ProgramIdentity::ServiceAccessCode)) {
        QMessageBox::warning(window, tr("Внимание"), tr("Неверный код доступа"), QMessageBox::Ok);
        return;
    }
    serviceMode = true;
    for (QWidget *widget : qAsConst(revealedWidgets)) {
        widget->setEnabled(true);
        widget->show();
    }
    for (QAction *action : qAsConst(revealedActions))
        action->setVisible(true);
    armWipeButtons();
}

// The controls appear under the pointer that just answered the access code;
// a second, hasty click there must not start a wipe, so the two wipe buttons
// take clicks only a moment after they appear.
void ServiceControls::armWipeButtons()
{
    ui->pushButton_IRTClear->setEnabled(false);
    ui->pushButton_EEPROMClear->setEnabled(false);
    QTimer::singleShot(StationTimings::current().wipeArmingMs, this, [this] {
        ui->pushButton_IRTClear->setEnabled(true);
        ui->pushButton_EEPROMClear->setEnabled(true);
    });
}

void ServiceControls::sendSetCommand(quint16 id, qint32 value, const QString &shown)
{
    showCommandResult(station->sendSetCommand(id, value), id, shown);
}

// Like the set commands, the wipes act only on the module whose whole report
// was read: the question names it, and nothing is asked before.
void ServiceControls::sendClearCommand(quint16 id, const QString &action)
{
    const Station::CommandResult allowed = station->checkCommand();
    if (allowed != Station::CommandResult::Sent) {
        showCommandResult(allowed, id, QString());
        return;
    }
    if (!confirmDataLoss(action))
        return;
    showCommandResult(station->sendClearCommand(id), id, QString());
}

// The question names what is about to be wiped and on which module, and
// Enter answers "Нет": a wipe is never the answer a stray key gives.
bool ServiceControls::confirmDataLoss(const QString &action)
{
    QMessageBox box(QMessageBox::Question, tr("Внимание!"), tr("Вы уверены?\nДанные будут безвозвратно утеряны!"),
                    QMessageBox::NoButton, window);
    box.setInformativeText(
        tr("%1: модуль с серийным номером %2.").arg(action).arg(station->lastReadout().values.serialNumber));
    // Action roles on both buttons leave the box without an escape button:
    // with a No role Qt would let Escape and the title-bar close answer
    // "Нет", and a destructive question must be answered deliberately.
    QPushButton *yes = box.addButton(tr("Да"), QMessageBox::ActionRole);
    QPushButton *no = box.addButton(tr("Нет"), QMessageBox::ActionRole);
    box.setDefaultButton(no);
    box.exec();
    return box.clickedButton() == yes;
}

// A command sent is journalled and ends what was said of the last one; a
// link that is down has already been reported by the supervision.
void ServiceControls::showCommandResult(Station::CommandResult result, quint16 id, const QString &shown)
{
    if (result == Station::CommandResult::Sent) {
        notice->withdraw();
        factoryJournal->noteSent(id, shown);
    }
    if (result == Station::CommandResult::ReadReportFirst)
        QMessageBox::warning(window, tr("Внимание"), tr("Сначала прочитайте отчёт"), QMessageBox::Ok);
}

// Acknowledgement boxes run a nested event loop in which further frames are
// handled; what follows a box uses only the fixed widget.
void ServiceControls::showAcknowledgement(FrameKind kind)
{
    const auto acknowledge = [this](const QString &text) {
        QMessageBox::information(window, tr("Успех"), text, QMessageBox::Ok);
    };
    switch (kind) {
    case FrameKind::AckSetSN:
        acknowledge(tr("Серийный номер успешно записан!"));
        ui->pushButton_SetSN->setStyleSheet(QLatin1String(StyleSheet::ValueSet));
        break;
    case FrameKind::AckSetDate:
        acknowledge(tr("Дата выпуска успешно записана!"));
        ui->pushButton_SetDate->setStyleSheet(QLatin1String(StyleSheet::ValueSet));
        break;
    case FrameKind::AckSetHit:
        acknowledge(tr("Уровень удара успешно записан!"));
        ui->pushButton_SetHit->setStyleSheet(QLatin1String(StyleSheet::ValueSet));
        break;
    case FrameKind::AckIRTClear:
        acknowledge(tr("Межремонтная наработка очищена!"));
        emit readAgainWanted();
        break;
    case FrameKind::AckEEPROMClear:
        acknowledge(tr("EEPROM очищен!"));
        emit readAgainWanted();
        break;
    default:
        break;
    }
}

// Made on first use and read at once; later openings keep the figures shown
// until the user refreshes them.
void ServiceControls::openFleetWindow()
{
    if (!fleetWindow) {
        fleetWindow = new FleetWindow(station->session(), window);
        fleetWindow->setWindowFlag(Qt::Window);
    }
    fleetWindow->show();
    fleetWindow->raise();
    fleetWindow->activateWindow();
}
