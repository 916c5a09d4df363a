#include "ssudialog.h"
#include "ui_ssudialog.h"

#include "htmlreport.h"

#include <QDate>
#include <QDateTime>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QItemSelectionModel>
#include <QMessageBox>
#include <QSqlRecord>
#include <QUrl>

namespace {
const char *const totalPercentColumns[] = {"rotation", "in_voltage", "out_voltage", "current", "temperature", "vibration"};
const char *const repairPercentColumns[] = {"irt_rotation",    "irt_in_voltage",  "irt_out_voltage",
                                            "irt_current",     "irt_temperature", "irt_vibration"};
} // namespace

void SSUDialog::identifyCurrentRow(const QModelIndex &index)
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
    sn = snCell.data().toUInt();
    // A date-time converts to its ISO text, which the server compares with
    // the DATETIME column.
    reportDate = dateCell.data().toString();
}

void SSUDialog::openReport(const QModelIndex &index)
{
    identifyCurrentRow(index);

    query.prepare(QStringLiteral("SELECT * FROM rvkreport WHERE sn = :sn_w AND date = :date_w;"));
    query.bindValue(QStringLiteral(":sn_w"), sn);
    query.bindValue(QStringLiteral(":date_w"), reportDate);
    if (!query.exec() || !query.next())
        return;

    sn = query.value(QStringLiteral("sn")).toUInt();
    reportDate = query.value(QStringLiteral("date")).toDateTime().toString(QStringLiteral("dd.MM.yyyy hh:mm"));
    release_date = query.value(QStringLiteral("release_date")).toDate().toString(QStringLiteral("dd.MM.yyyy"));
    firmware_version = query.value(QStringLiteral("firmware_version")).toString();
    impact_level = query.value(QStringLiteral("impact_level")).toUInt();
    total_time = query.value(QStringLiteral("total_time")).toString();
    repair_time = query.value(QStringLiteral("repair_time")).toString();
    totalPercents.clear();
    for (const char *column : totalPercentColumns)
        totalPercents << query.value(QString::fromLatin1(column)).toString();
    impacts = query.value(QStringLiteral("impacts")).toUInt();
    repairPercents.clear();
    for (const char *column : repairPercentColumns)
        repairPercents << query.value(QString::fromLatin1(column)).toString();
    irt_impacts = query.value(QStringLiteral("irt_impacts")).toUInt();

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
    identifyCurrentRow(selectedIndex);

    // Every row of that module with exactly that date-time goes: reports made
    // within the same minute share the key.
    query.prepare(QStringLiteral("DELETE FROM rvkreport WHERE sn = :sn_w AND date = :date_w;"));
    query.bindValue(QStringLiteral(":sn_w"), sn);
    query.bindValue(QStringLiteral(":date_w"), reportDate);
    query.exec();

    refreshAllReports();
}

void SSUDialog::writeHtmlReport(bool saveMode)
{
    HtmlReportInput input;
    input.language = language;
    input.context = "SSUDialog";
    input.sn = sn;
    input.date = reportDate;
    input.release_date = release_date;
    input.firmware_version = firmware_version;
    input.impact_level = impact_level;
    input.total_time = total_time;
    input.repair_time = repair_time;
    input.impacts = impacts;
    input.irt_impacts = irt_impacts;
    input.totalPercents = totalPercents;
    input.repairPercents = repairPercents;

    const QString fileName = htmlReportFileName(sn, reportDate);
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
