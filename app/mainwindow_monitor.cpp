// Debug monitor: switching, monitor text and the log file.
#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "ssu/gui/plainmessagebox.h"

#include "diagnostics/dbgtextedit.h"
#include "diagnostics/screenfit.h"
#include "diagnostics/trendswindow.h"
#include "diagnostics/verificationdialog.h"
#include "station/station.h"

#include <QDateTime>
#include <QMessageBox>
#include <QScrollBar>
#include <QTextCursor>

void MainWindow::on_pushButton_MonitorOn_clicked()
{
    switchMonitorOn();
}

void MainWindow::on_pushButton_MonitorOff_clicked()
{
    // Closing the window raises DbgClosed(), which runs the off sequence.
    monitor->close();
}

void MainWindow::slotCloseMonitor()
{
    switchMonitorOff();
}

void MainWindow::switchMonitorOn()
{
    core->monitor()->setLogWanted(ui->checkBox_WriteToFile->isChecked());
    if (linkGuardFailed())
        return;
    auto showMonitor = [this] {
        monitor->show();
        if (!sensorDialogPlaced)
            placeSensorDialog();
        verificationDialog->show();
        if (trendsWindow)
            trendsWindow->setMonitorOn(true);
        core->switchMonitor(true);
    };
    // The stream starts once its log is open, so its first blocks are
    // logged too.
    if (ui->checkBox_WriteToFile->isChecked())
        openLogFile(showMonitor);
    else
        showMonitor();
}

// Until the user has put it somewhere, the sensor dialog opens beside the
// window rather than over its buttons: on its right, or on its left where the
// screen ends; the screen fit does the rest.
void MainWindow::placeSensorDialog()
{
    sensorDialogPlaced = true;
    const QSize whole = verificationDialog->size().grownBy(ScreenFit::frameMargins(verificationDialog));
    verificationDialog->move(ScreenFit::besideWindow(frameGeometry(), whole, ScreenFit::availableAreas()));
}

void MainWindow::switchMonitorOff()
{
    if (ui->checkBox_WriteToFile->isChecked())
        core->monitor()->closeLog();
    saveWindowSettings();
    // Each close notifies this window again; QWidget::close() does not
    // recurse into a widget that is already closing, so this ends.
    monitor->close();
    verificationDialog->close();
    if (trendsWindow)
        trendsWindow->setMonitorOn(false);
    core->switchMonitor(false);
}

void MainWindow::on_checkBox_WriteToFile_toggled(bool checked)
{
    // The box is ticked before its file is open (the file is named after
    // the serial number its read-out brings) and stays ticked after an open
    // failed; a block in between has nowhere to go.
    core->monitor()->setLogWanted(checked);
    if (linkGuardFailed())
        return;
    if (checked)
        openLogFile();
    else
        core->monitor()->closeLog();
}

void MainWindow::openLogFile(const std::function<void()> &then)
{
    core->openMonitorLog(this, [this, then](bool opened, const QString &path) {
        if (then)
            then();
        if (!opened)
            PlainMessageBox::warning(this, tr("Внимание"),
                                     tr("Не могу открыть файл для сохранения лога") + QStringLiteral("\n") + path);
    });
}

void MainWindow::showMonitorBlock(const QString &block, const QDateTime &time)
{
    verificationDialog->parseMonitorText(block);
    if (trendsWindow)
        trendsWindow->addMonitorBlock(block, time);
}

// The text always goes at the end, never at the window's cursor, which a
// click while reading puts anywhere and which would split a reading in two.
// While scrolling is paused the view stays on the lines being read.
void MainWindow::appendMonitorText(const QString &text)
{
    QScrollBar *scrollBar = monitor->verticalScrollBar();
    const int readingAt = scrollBar->value();
    QTextCursor end(monitor->document());
    end.movePosition(QTextCursor::End);
    end.insertText(text);
    if (autoScroll) {
        monitor->setTextCursor(end);
    } else {
        scrollBar->setValue(readingAt);
    }
}

void MainWindow::setAutoScroll(bool on)
{
    autoScroll = on;
    showMonitorTitle();
}

// Return toggles the scrolling without any other sign, so the title says
// when it is paused.
void MainWindow::showMonitorTitle()
{
    monitor->setWindowTitle(autoScroll ? QStringLiteral("Debugger") : tr("Debugger — прокрутка остановлена (Enter)"));
}
