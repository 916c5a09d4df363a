// Receiving: one frame per poll tick, dispatched by identifier.
#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "app/stylesheets.h"
#include "diagnostics/dbgtextedit.h"
#include "link/ktxcanfunctions.h"
#include "protocol/frameclassification.h"

#include <QMessageBox>
#include <QTextCursor>

void MainWindow::isNewMsgKIVOStatus()
{
    if (ktxCANIsNewMsg() & 0xFF)
        emit readyRead();
}

void MainWindow::showAcknowledgement(const QString &text)
{
    QMessageBox::information(this, tr("Успех"), text, QMessageBox::Ok);
}

void MainWindow::messageHandlerKIVO()
{
    ktxCANRead(&canMessage);
    // Before the acknowledgement's box, whose nested loop outlasts the wait.
    if (canMessage.rtr)
        answerWatch.commandAcknowledged(canMessage.id);

    // Acknowledgement boxes run a nested event loop that re-enters this
    // handler; what follows a box uses only the fixed widget and identifier.
    switch (classifyFrame(canMessage)) {
    case FrameKind::AckSetSN:
        showAcknowledgement(tr("Серийный номер успешно записан!"));
        ui->pushButton_SetSN->setStyleSheet(QLatin1String(StyleSheet::ValueSet));
        break;
    case FrameKind::AckSetDate:
        showAcknowledgement(tr("Дата выпуска успешно записана!"));
        ui->pushButton_SetDate->setStyleSheet(QLatin1String(StyleSheet::ValueSet));
        break;
    case FrameKind::AckSetHit:
        showAcknowledgement(tr("Уровень удара успешно записан!"));
        ui->pushButton_SetHit->setStyleSheet(QLatin1String(StyleSheet::ValueSet));
        break;
    case FrameKind::AckIRTClear:
        showAcknowledgement(tr("Межремонтная наработка очищена!"));
        on_pushButton_ReadData_clicked();
        break;
    case FrameKind::AckEEPROMClear:
        showAcknowledgement(tr("EEPROM очищен!"));
        on_pushButton_ReadData_clicked();
        break;
    case FrameKind::ReportEnd:
        completeReadout();
        break;
    case FrameKind::ReportData:
        appendReportFrame();
        break;
    case FrameKind::MonitorText:
        handleMonitorFrame();
        break;
    case FrameKind::Ignored:
        break;
    }
}
