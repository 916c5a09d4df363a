// The read-out as the window shows it: the request, the key values, the
// document opened and what became of the report.
#include "app/mainwindow.h"
#include "app/comparisonline.h"
#include "ui_mainwindow.h"

#include "ssu/gui/plainmessagebox.h"

#include "app/stylesheets.h"
#include "station/station.h"

#include <QDate>
#include <QDesktopServices>
#include <QMessageBox>
#include <QUrl>

void MainWindow::on_pushButton_ReadData_clicked()
{
    clearModuleNotice();
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

// Inside the key values' frame, under them: the line speaks of those values.
void MainWindow::createComparisonLine()
{
    comparisonLine = new ComparisonLine(ui->frame);
    ui->gridLayout_2->addWidget(comparisonLine, ui->gridLayout_2->rowCount(), 0, 1, ui->gridLayout_2->columnCount());
    connect(core->keeper(), &ReportKeeper::compared, comparisonLine, &ComparisonLine::showSummary);
    connect(comparisonLine, &ComparisonLine::openRequested, this, &MainWindow::openDocument);
}

void MainWindow::reportDocumentFailure(const QString &path, const QString &error)
{
    PlainMessageBox::warning(this, tr("Внимание"), tr("Не могу сохранить файл отчёта\n") + error + QLatin1Char('\n') + path);
}

// When the report could not even be archived it exists nowhere any more,
// so the user is told.
void MainWindow::reportStorage(const ReportStore::Result &result)
{
    if (result.outcome != ReportStore::Outcome::Lost)
        return;
    // The error may be the server's own text: shown as it stands.
    PlainMessageBox::warning(this, tr("Внимание"),
                             tr("Отчёт не передан в ССУ и не может быть сохранён в архив:\n%1\n%2")
                                 .arg(result.archivePath, result.error));
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
