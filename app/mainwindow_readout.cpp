// The read-out as the window shows it: the request, the key values and the
// document opened.
#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "app/comparisonline.h"
#include "app/modulenotice.h"
#include "app/stylesheets.h"
#include "station/station.h"

#include <QDate>
#include <QDesktopServices>
#include <QMessageBox>
#include <QUrl>

void MainWindow::on_pushButton_ReadData_clicked()
{
    moduleNotice->withdraw();
    core->requestReport();
}

void MainWindow::showReadout(const Readout &readout)
{
    // The line belongs to the module read before; this read-out's follows
    // once its report is kept.
    comparisonLine->clear();
    showKeyValues();
    ui->pushButton_ReadData->setEnabled(true);
    if (!readout.silent && !readout.whole)
        QMessageBox::warning(this, tr("Внимание"),
                             tr("Отчёт прочитан не полностью (получено кадров: %1 из 37). Прочитайте отчёт ещё раз.")
                                 .arg(readout.frames),
                             QMessageBox::Ok);
}

// Unset values are unknown: the texts of the module read before must not
// appear on this module's form.
void MainWindow::showKeyValues()
{
    const KeyValues &values = core->lastReadout().values;
    ui->pushButton_SetSN->setStyleSheet(QLatin1String(StyleSheet::valueButton(values.serialNumberSet)));
    ui->pushButton_SetHit->setStyleSheet(QLatin1String(StyleSheet::valueButton(values.impactLevelSet)));
    if (!values.releaseDateSet) {
        ui->dateEdit->setDate(QDate::currentDate());
        ui->pushButton_SetDate->setStyleSheet(QLatin1String(StyleSheet::ValueUnset));
    } else {
        ui->pushButton_SetDate->setStyleSheet(QLatin1String(StyleSheet::ValueSet));
        // An impossible date leaves the edit as it was.
        ui->dateEdit->setDate(values.releaseDay);
    }
    restoreFormValues();
    ui->spinBox_HitValue->setValue(values.impactLevel);
}

void MainWindow::openDocument(const QString &path)
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

void MainWindow::slotWaitDialog(bool on)
{
    if (waitBox) {
        waitBox->close();
        delete waitBox;
        waitBox = nullptr;
    }
    if (!on)
        return;
    waitBox = new QMessageBox(QMessageBox::Information, tr("Внимание"), tr("Подождите..."), QMessageBox::NoButton, this);
    // QMessageBox adds an OK button to a box shown without any unless told so.
    waitBox->setStandardButtons(QMessageBox::NoButton);
    // Modeless, so frames keep being dispatched while the database works.
    waitBox->setWindowModality(Qt::NonModal);
    waitBox->setModal(false);
    waitBox->show();
}
