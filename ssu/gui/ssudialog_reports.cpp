#include "ssu/gui/ssudialog.h"
#include "ui_ssudialog.h"

#include "report/htmlreport.h"
#include "ssu/gui/modulehistorywindow.h"
#include "ssu/gui/plainmessagebox.h"
#include "ssu/mysqlquerymodel.h"
#include "ssu/ssusession.h"

#include <QCryptographicHash>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QItemSelectionModel>
#include <QMessageBox>
#include <QUrl>

StoredReportKey SSUDialog::currentReportKey() const
{
    const QItemSelectionModel *selection = ui->tableView->selectionModel();
    if (!selection || !selection->currentIndex().isValid())
        return {};
    return chosenReport;
}

// A row keeps the report it showed when it became current (or when its
// window first arrived): a window read again later may have shifted under
// reports other stations stored or deleted meanwhile.
void SSUDialog::rememberCurrentReport(const QModelIndex &current)
{
    const int row = current.isValid() ? current.row() : -1;
    if (row != chosenRow || !chosenReport.isValid()) {
        const MySqlQueryModel *model = session->model();
        chosenRow = row;
        chosenReport = model && row >= 0 ? model->reportKey(row) : StoredReportKey();
    }
    updateReportActions();
}

void SSUDialog::forgetCurrentReport()
{
    chosenRow = -1;
    chosenReport = StoredReportKey();
    rememberCurrentReport(ui->tableView->currentIndex());
}

void SSUDialog::takeArrivedRows(const QModelIndex &first, const QModelIndex &last)
{
    const QModelIndex current = ui->tableView->currentIndex();
    if (current.isValid() && current.row() >= first.row() && current.row() <= last.row())
        rememberCurrentReport(current);
}

// A current row whose window is still being read has no report yet: acting
// on it would act on whatever the row held before. Without a current row the
// buttons stay as they are and do nothing.
void SSUDialog::updateReportActions()
{
    const QModelIndex current = ui->tableView->currentIndex();
    const bool loading = current.isValid() && !chosenReport.isValid() && session->model()
        && !session->model()->isRowLoaded(current.row());
    ui->pushButton_Open->setEnabled(!loading);
    ui->pushButton_Save->setEnabled(!loading);
    ui->pushButton_History->setEnabled(!loading);
    ui->pushButton_Delete->setEnabled(deleteUnlocked && !loading);
}

void SSUDialog::reportGone(const StoredReportKey &key)
{
    QMessageBox::warning(this, tr("Внимание"),
                         tr("Выбранный отчёт (серийный номер %1, %2) больше не хранится в ССУ: его удалили или "
                            "заменили с другого рабочего места. Ничего не изменено.")
                             .arg(key.sn)
                             .arg(key.date.toString(QStringLiteral("dd.MM.yyyy hh:mm"))),
                         QMessageBox::Ok);
}

QString SSUDialog::documentFileName(const ReportValues &report, const StoredReportKey &key)
{
    if (!report.date.isEmpty())
        return htmlReportFileName(report.sn, report.date);
    // Reports whose stored date cannot be read would all share one name and
    // overwrite each other's documents. The row key, or a digest of the
    // operating times (texts from the shared database, never put into a
    // path as they are), tells them apart, and the same report keeps its name.
    const QString own = key.rowId.isNull()
        ? QString::fromLatin1(QCryptographicHash::hash((key.totalTime + QLatin1Char('\x1f') + key.repairTime).toUtf8(),
                                                       QCryptographicHash::Sha1)
                                  .toHex()
                                  .left(12))
        : QString::number(key.rowId.toULongLong());
    return htmlReportFileName(report.sn, QStringLiteral("undated-") + own);
}

void SSUDialog::openReport(const QModelIndex &index)
{
    Q_UNUSED(index)
    // The row is the view's current one whatever index the caller had.
    requestReport(false);
}

void SSUDialog::requestReport(bool saveMode)
{
    const StoredReportKey key = currentReportKey();
    if (!key.isValid())
        return;
    session->openReport(key, this, [this, key, saveMode](const StoredReport &found) {
        if (found.result == StoredReportResult::Done)
            writeHtmlReport(found.values, key, saveMode);
        else if (found.result == StoredReportResult::NotFound)
            reportGone(key);
        else
            QMessageBox::warning(this, tr("Внимание"), tr("ССУ не ответила: отчёт не прочитан."), QMessageBox::Ok);
    });
}

void SSUDialog::on_pushButton_Open_clicked()
{
    requestReport(false);
}

void SSUDialog::on_pushButton_Save_clicked()
{
    requestReport(true);
}

void SSUDialog::on_pushButton_Delete_clicked()
{
    const StoredReportKey key = currentReportKey();
    if (!key.isValid() || !deleteUnlocked)
        return;
    session->deleteReport(key, this, [this, key](StoredReportResult result) {
        if (result == StoredReportResult::NotFound) {
            reportGone(key);
            return;
        }
        if (result == StoredReportResult::Failed)
            QMessageBox::warning(this, tr("Внимание"), tr("ССУ не ответила: отчёт не удалён."), QMessageBox::Ok);
        refreshAllReports();
    });
}

// The module of the chosen row, each of its reports read afresh.
void SSUDialog::on_pushButton_History_clicked()
{
    const StoredReportKey key = currentReportKey();
    if (!key.isValid()) {
        QMessageBox::information(this, tr("Внимание"), tr("Выберите в списке отчёт модуля."), QMessageBox::Ok);
        return;
    }
    session->moduleHistory(key.sn, this, [this, sn = key.sn](const ModuleHistoryRead &history) {
        if (!history.read) {
            QMessageBox::warning(this, tr("Внимание"), tr("Нет связи с ССУ: историю модуля прочитать не удалось."),
                                 QMessageBox::Ok);
            return;
        }
        auto *window = new ModuleHistoryWindow(sn, history.reports, language, this);
        window->show();
    });
}

void SSUDialog::writeHtmlReport(const ReportValues &report, const StoredReportKey &key, bool saveMode)
{
    const QString fileName = documentFileName(report, key);
    QString path;
    if (saveMode) {
        path = QFileDialog::getSaveFileName(this, QStringLiteral("Сохранить файл"),
                                            QDir::currentPath() + QStringLiteral("/Reports/") + fileName,
                                            QStringLiteral("Web (*.html);;All files (*.*)"));
        if (path.isEmpty())
            return;
    } else {
        // The same stored report opened again reuses its file; another
        // report under the same name (same module and minute) gets its own.
        QDir().mkpath(QStringLiteral("Reports"));
        path = freeDocumentPath(QStringLiteral("Reports"), fileName, report.sn, htmlReportBytes(report, language));
    }

    QString error;
    if (!writeHtmlReportFile(path, report, language, &error)) {
        PlainMessageBox::warning(this, tr("Внимание"),
                                 tr("Не могу сохранить файл отчёта\n") + error + QLatin1Char('\n')
                                     + QFileInfo(path).absoluteFilePath());
        return;
    }
    if (!saveMode)
        QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()));
}
