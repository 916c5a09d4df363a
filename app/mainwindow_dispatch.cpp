// Frames reach the window only as what the station made of them; these
// slots keep the receiving names as glue.
#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "app/stylesheets.h"
#include "station/station.h"

#include <QMessageBox>

void MainWindow::isNewMsgKIVOStatus()
{
    if (core->link()->hasFrame())
        emit readyRead();
}

void MainWindow::messageHandlerKIVO()
{
    core->dispatchPendingFrames();
}

// Acknowledgement boxes run a nested event loop in which further frames are
// handled; what follows a box uses only the fixed widget.
void MainWindow::showAcknowledgement(FrameKind kind)
{
    const auto acknowledge = [this](const QString &text) {
        QMessageBox::information(this, tr("Успех"), text, QMessageBox::Ok);
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
        on_pushButton_ReadData_clicked();
        break;
    case FrameKind::AckEEPROMClear:
        acknowledge(tr("EEPROM очищен!"));
        on_pushButton_ReadData_clicked();
        break;
    default:
        break;
    }
}
