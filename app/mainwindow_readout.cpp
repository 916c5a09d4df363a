// Report read-out: request, assembly, completion and the archive file.
#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "app/stylesheets.h"
#include "link/ktxcanfunctions.h"
#include "protocol/archivefile.h"
#include "protocol/frameclassification.h"
#include "protocol/readoutprogress.h"
#include "report/htmlreport.h"
#include "report/reportrecord.h"
#include "ssu/ssudialog.h"

#include <QCoreApplication>
#include <QDate>
#include <QDateTime>
#include <QDesktopServices>
#include <QDir>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QThread>
#include <QUrl>

void MainWindow::on_pushButton_ReadData_clicked()
{
    requestReport(false);
}

void MainWindow::requestReport(bool silent)
{
    clearModuleNotice();
    // The module starts over at every request, so a second one mid-stream
    // mixes the frames of two transfers. The transfer under way answers this
    // request too; the user's request makes it a full report.
    if (readoutTransfer.isArriving()) {
        if (!silent)
            silentReadout = false;
        return;
    }
    if (linkGuardFailed())
        return;
    // Set on every request, so a silent one that never completed cannot make
    // the user's next read-out silent too.
    silentReadout = silent;
    reportRecord.clear();
    readoutTransfer.requested();
    // The bar shows this request's transfer, not the last one's 100 %.
    ui->progressBar->setValue(0);
    canMessage.id = CanIdReadData;
    canMessage.rtr = 1;
    canMessage.dlc = 1;
    ktxCANWrite(&canMessage);
    answerWatch.reportRequested();
}

void MainWindow::appendReportFrame()
{
    // A transfer the module sends unasked after an end notice is a report of
    // its own, never the tail of the one already decoded.
    const int length = qBound(0, int(canMessage.dlc), int(sizeof canMessage.data));
    if (readoutTransfer.frameArrived(length))
        reportRecord.clear();
    answerWatch.reportFrameArrived();
    // A short frame keeps its place in the record, so the words after it
    // still line up on the form; its missing bytes read 0, never bytes left
    // over from the frame before.
    QByteArray bytes(reinterpret_cast<const char *>(canMessage.data), length);
    bytes.append(QByteArray(int(sizeof canMessage.data) - length, '\0'));
    reportRecord.append(bytes);
    const int progress = readoutProgressValue(readoutTransfer.frameCount());
    if (progress >= 0)
        ui->progressBar->setValue(progress);
}

void MainWindow::completeReadout()
{
    const int frames = readoutTransfer.ended();
    answerWatch.reportEnded();
    wholeReportRead = frames == ReportFrameCount && reportRecord.size() == ReportRecordSize;
    readoutTime = QDateTime::currentDateTime().toString(QStringLiteral("dd.MM.yyyy HH:mm"));
    takeKeyValues();
    showKeyValues();
    ui->pushButton_ReadData->setEnabled(true);

    if (silentReadout) {
        silentReadout = false;
        return;
    }
    if (!readoutWasWhole(frames))
        return;
    writeHtmlReport();
    storeReport();
}

// The words the form shows; unset ones become 0 and, for the release date
// and firmware, empty texts.
void MainWindow::takeKeyValues()
{
    total_time = readReportWord(reportRecord, WordTotalTime);
    repair_time = readReportWord(reportRecord, WordRepairTime);
    sn = readReportWord(reportRecord, WordSerialNumber);
    release_date = readReportWord(reportRecord, WordReleaseDate);
    impact_level = readReportWord(reportRecord, WordImpactLevel);
    firmware_version = readReportWord(reportRecord, WordFirmwareVersion);

    if (total_time == UnsetWord)
        total_time = 0;
    if (repair_time == UnsetWord)
        repair_time = 0;
    totalTimeText = operatingTimeText(total_time);
    repairTimeText = operatingTimeText(repair_time);
}

void MainWindow::showKeyValues()
{
    ui->pushButton_SetSN->setStyleSheet(QLatin1String(StyleSheet::valueButton(sn != UnsetWord)));
    if (sn == UnsetWord)
        sn = 0;
    ui->pushButton_SetHit->setStyleSheet(QLatin1String(StyleSheet::valueButton(impact_level != UnsetWord)));
    if (impact_level == UnsetWord)
        impact_level = 0;

    // An unset value is unknown: the texts of the module read before must
    // not appear on this module's form and report.
    if (release_date == UnsetWord) {
        release_date = 0;
        releaseDateText.clear();
        ui->dateEdit->setDate(QDate::currentDate());
        ui->pushButton_SetDate->setStyleSheet(QLatin1String(StyleSheet::ValueUnset));
    } else {
        ui->pushButton_SetDate->setStyleSheet(QLatin1String(StyleSheet::ValueSet));
        releaseDateText = ::releaseDateText(release_date);
        const QStringList parts = releaseDateText.split(QLatin1Char('.'));
        // An impossible date (a short record reads 0) leaves the edit as it was.
        ui->dateEdit->setDate(QDate(parts.value(2).toInt(), parts.value(1).toInt(), parts.value(0).toInt()));
    }

    if (firmware_version != UnsetWord)
        firmwareText = firmwareVersionText(firmware_version);
    else
        firmwareText.clear();
    ui->label_FWVersion->setText(QLatin1Char('v') + firmwareText);

    ui->label_TotalTime->setText(totalTimeText);
    ui->label_IRTime->setText(repairTimeText);
    ui->spinBox_SNValue->setValue(sn);
    ui->spinBox_HitValue->setValue(impact_level);
}

// A lost, missing or foreign frame shifts or zeroes the words: the form
// shows what arrived, but nothing is written or stored from it.
bool MainWindow::readoutWasWhole(int frames)
{
    if (frames == ReportFrameCount && reportRecord.size() == ReportRecordSize)
        return true;
    QMessageBox::warning(this, tr("Внимание"),
                         tr("Отчёт прочитан не полностью (получено кадров: %1 из 37). Прочитайте отчёт ещё раз.")
                             .arg(frames),
                         QMessageBox::Ok);
    return false;
}

void MainWindow::storeReport()
{
    // The archive pass that opening the connection runs keeps the window
    // responsive, so a new request (which clears reportRecord) and another
    // completion may run before this upload. This report travels in copies.
    const QByteArray record = reportRecord;
    const QString time = readoutTime;
    const qint32 serial = sn;

    // Opening the connection uploads archived reports first, each with the
    // date from its file name, so this report's date is set again afterwards.
    ssuDialog->setReportDate(time);
    ssuDialog->databaseSession()->fetchPasswordIfMissing();
    ssuDialog->connectAndCreateTable();
    ssuDialog->setReportDate(time);
    if (!ssuDialog->uploadReport(record))
        writeArchiveFile(record, quint32(serial), time);
}

// Writes the record to the archive under a name no other report holds; when
// that fails the report exists nowhere any more, so the user is told.
bool MainWindow::writeArchiveFile(const QByteArray &record, quint32 serial, const QString &time)
{
    if (record.isEmpty())
        return false;
    const QString path = ArchiveFile::freePath(serial, time, record);
    QString error;
    if (ArchiveFile::write(path, record, &error))
        return true;
    QMessageBox::warning(this, tr("Внимание"),
                         tr("Отчёт не передан в ССУ и не может быть сохранён в архив:\n%1\n%2")
                             .arg(QDir::current().absoluteFilePath(path), error),
                         QMessageBox::Ok);
    return false;
}

QStringList MainWindow::listArchiveFiles() const
{
    return ArchiveFile::list(ArchiveFile::directory());
}

void MainWindow::waitMs(int milliseconds)
{
    QElapsedTimer clock;
    clock.start();
    do {
        QCoreApplication::processEvents(QEventLoop::AllEvents, milliseconds);
        QThread::msleep(10);
    } while (clock.elapsed() < milliseconds);
}

void MainWindow::writeHtmlReport()
{
    ReportValues values = decodeReport(reportRecord);
    values.date = readoutTime;
    const HtmlReportInput input = htmlReportInput(values, language, "MainWindow");

    const QString folder = QStringLiteral("Reports");
    QDir().mkpath(folder);
    const QString path = QDir::currentPath() + QLatin1Char('/') + folder + QLatin1Char('/')
                         + htmlReportFileName(input.sn, input.date);
    QString error;
    if (!writeHtmlReportFile(path, input, &error)) {
        QMessageBox::warning(this, tr("Внимание"),
                             tr("Не могу сохранить файл отчёта\n") + error + QLatin1Char('\n') + path,
                             QMessageBox::Ok);
        return;
    }
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
    waitMs(1);
}
