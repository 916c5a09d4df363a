// Debug monitor: switching, monitor text and the log file.
#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "diagnostics/dbgtextedit.h"
#include "diagnostics/monitorframes.h"
#include "diagnostics/monitorlog.h"
#include "diagnostics/trendswindow.h"
#include "diagnostics/verificationdialog.h"
#include "link/ktxcanfunctions.h"
#include "protocol/frameclassification.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QScrollBar>
#include <QTextCursor>

namespace {
// The module takes a remote frame on the monitor identifier as the switch:
// a length of 1 turns the text stream on, 0 turns it off.
void sendMonitorSwitch(CanMessage &message, bool on)
{
    message.id = CanIdMonitor;
    message.rtr = 1;
    message.dlc = on ? 1 : 0;
    ktxCANWrite(&message);
}
} // namespace

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
    if (linkGuardFailed())
        return;
    if (ui->checkBox_WriteToFile->isChecked())
        openLogFile();
    monitor->show();
    verificationDialog->show();
    if (trendsWindow)
        trendsWindow->setMonitorOn(true);
    sendMonitorSwitch(canMessage, true);
}

void MainWindow::switchMonitorOff()
{
    if (ui->checkBox_WriteToFile->isChecked())
        closeLogFile();
    saveWindowSettings();
    // Each close notifies this window again; QWidget::close() does not
    // recurse into a widget that is already closing, so this ends.
    monitor->close();
    verificationDialog->close();
    if (trendsWindow)
        trendsWindow->setMonitorOn(false);
    if (linkGuardFailed())
        return;
    sendMonitorSwitch(canMessage, false);
}

void MainWindow::closeLogFile()
{
    if (*logFile)
        (*logFile)->close();
}

void MainWindow::on_checkBox_WriteToFile_toggled(bool checked)
{
    if (linkGuardFailed())
        return;
    if (checked)
        openLogFile();
    else
        closeLogFile();
}

bool MainWindow::openLogFile()
{
    // The log is named after the module, so its serial number is read first.
    requestReport(true);
    waitMs(1000);

    QDir::current().mkpath(MonitorLog::folderName());
    const QString path = QDir::currentPath() + QStringLiteral("/") + MonitorLog::folderName() + QStringLiteral("/")
        + MonitorLog::fileName(sn, QDateTime::currentDateTime());

    // The stream must not keep pointing at the file about to be destroyed.
    if (logStream.device() == *logFile)
        logStream.setDevice(nullptr);
    delete *logFile;
    *logFile = new QFile(path);

    if ((*logFile)->open(QIODevice::Append | QIODevice::Text))
        return true;
    QMessageBox::warning(this, tr("Внимание"), tr("Не могу открыть файл для сохранения лога") + QStringLiteral("\n") + path,
                         QMessageBox::Ok);
    return false;
}

void MainWindow::handleMonitorFrame()
{
    if (logStream.device() != *logFile)
        logStream.setDevice(*logFile);

    const QString text = MonitorFrames::frameText(canMessage.data);
    monitorChunk += text;
    monitorChunk.remove(QLatin1Char('\r'));
    appendMonitorText(MonitorFrames::displayText(monitorChunk));

    monitorBlock += text;
    if (MonitorFrames::completesBlock(monitorBlock, monitorChunk)) {
        // One time for the charts and the log, so a saved log charts alike.
        const QDateTime now = QDateTime::currentDateTime();
        verificationDialog->parseMonitorText(monitorBlock);
        if (trendsWindow)
            trendsWindow->addMonitorBlock(monitorBlock, now);
        // The box is ticked before its file is open (the file is named after
        // the serial number its read-out brings) and stays ticked after an
        // open failed; a block in between has nowhere to go.
        if (ui->checkBox_WriteToFile->isChecked() && *logFile && (*logFile)->isOpen()) {
            monitorBlock.remove(QLatin1Char('\r'));
            logStream << MonitorLog::timeStampLine(now) << monitorBlock;
            logStream.flush();
        }
        monitorBlock.clear();
    } else {
        MonitorFrames::boundBlock(monitorBlock, MonitorFrames::maximumBlockLength);
    }
    monitorChunk.clear();
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
