#include "ssu/ssudialog.h"
#include "ui_ssudialog.h"

#include "report/htmlreport.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QItemSelectionModel>
#include <QMessageBox>
#include <QUrl>

QPair<quint32, QString> SSUDialog::identifyCurrentRow(const QModelIndex &index) const
{
    // The row is the view's current one whatever index the caller had; the
    // cells are read from the view's live model, so an index left over from
    // an earlier listing is never dereferenced.
    const QItemSelectionModel *selection = ui->tableView->selectionModel();
    const int row = selection ? selection->currentIndex().row() : -1;
    const QAbstractItemModel *rows = ui->tableView->model();
    QModelIndex snCell;
    QModelIndex dateCell;
    if (index.isValid() && rows && row >= 0) {
        snCell = rows->index(row, 0);
        dateCell = rows->index(row, 1);
    }
    // A date-time converts to its ISO text, which the server compares with
    // the DATETIME column.
    return {snCell.data().toUInt(), dateCell.data().toString()};
}

void SSUDialog::openReport(const QModelIndex &index)
{
    const QPair<quint32, QString> row = identifyCurrentRow(index);
    if (session->openReport(row.first, row.second))
        writeHtmlReport(saveMode);
}

void SSUDialog::on_pushButton_Open_clicked()
{
    saveMode = false;
    openReport(selectedIndex);
}

void SSUDialog::on_pushButton_Save_clicked()
{
    saveMode = true;
    openReport(selectedIndex);
    saveMode = false;
}

void SSUDialog::on_pushButton_Delete_clicked()
{
    const QPair<quint32, QString> row = identifyCurrentRow(selectedIndex);
    session->deleteReports(row.first, row.second);

    refreshAllReports();
}

void SSUDialog::writeHtmlReport(bool saveMode)
{
    const ReportValues &report = session->currentReport();
    const HtmlReportInput input = htmlReportInput(report, language, "SSUDialog");

    const QString fileName = htmlReportFileName(report.sn, report.date);
    QString path;
    if (saveMode) {
        path = QFileDialog::getSaveFileName(this, QStringLiteral("Сохранить файл"),
                                            QDir::currentPath() + QStringLiteral("/Reports/") + fileName,
                                            QStringLiteral("Web (*.html);;All files (*.*)"));
        if (path.isEmpty())
            return;
    } else {
        QDir().mkpath(QStringLiteral("Reports"));
        path = QStringLiteral("Reports/") + fileName;
    }

    QString error;
    if (!writeHtmlReportFile(path, input, &error)) {
        QMessageBox::warning(this, tr("Внимание"),
                             tr("Не могу сохранить файл отчёта\n") + error + QLatin1Char('\n')
                                 + QFileInfo(path).absoluteFilePath(),
                             QMessageBox::Ok);
        return;
    }
    if (!saveMode)
        QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()));
}
