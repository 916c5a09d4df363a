#include "app/monitorcontroller.h"
#include "ui_mainwindow.h"

#include "diagnostics/dbgtextedit.h"
#include "diagnostics/screenfit.h"
#include "diagnostics/trendswindow.h"
#include "diagnostics/verificationdialog.h"
#include "ssu/gui/plainmessagebox.h"
#include "station/station.h"

#include <QAction>
#include <QDateTime>
#include <QGuiApplication>
#include <QScreen>
#include <QScrollBar>
#include <QTextCursor>

MonitorController::MonitorController(QWidget *window, Ui::MainWindow *ui, Station *station, DbgTextEdit *monitor,
                                     VerificationDialog *sensors)
    : QObject(window)
    , window(window)
    , ui(ui)
    , station(station)
    , monitor(monitor)
    , sensors(sensors)
{
    sensors->setWindowTitle(tr("Состояние датчиков"));
    sensors->setWindowFlags(sensors->windowFlags() & ~Qt::WindowContextHelpButtonHint);
    monitor->setReadOnly(true);
    monitor->setWindowFlags(monitor->windowFlags() | Qt::Window);
    monitor->setWindowTitle(QStringLiteral("Debugger"));
    if (QScreen *screen = QGuiApplication::screens().value(0)) {
        const QRect available = screen->availableGeometry();
        const int fullHeight = screen->geometry().height();
        monitor->move(available.topLeft());
        monitor->resize(300, available.height() - (fullHeight - available.height()));
    }
    connect(station->monitor(), &MonitorStream::monitorText, this, &MonitorController::appendText);
    connect(station->monitor(), &MonitorStream::monitorBlock, this, &MonitorController::showBlock);

    // The entry sits on the tool bar beside the database action and, like
    // it, appears only in service mode; the form itself stays as it is.
    trends = new QAction(window);
    trends->setObjectName(QStringLiteral("actionTrends"));
    // A hidden action's shortcut does not fire, so it too needs service mode.
    trends->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_T));
    ui->toolBar->addAction(trends);
    connect(trends, &QAction::triggered, this, &MonitorController::openTrendsWindow);
    setLanguage(language);
}

// The language switch installs or removes the main translator before it
// signals, so tr() already gives the chosen language here.
void MonitorController::setLanguage(uchar chosen)
{
    language = chosen;
    trends->setText(tr("Тренды"));
    trends->setToolTip(tr("Графики значений датчиков"));
    showTitle();
    if (trendsWindow)
        trendsWindow->slotSetLanguage(language);
}

bool MonitorController::takeKey(int key)
{
    switch (key) {
    case Qt::Key_Plus:
        switchOn();
        return true;
    case Qt::Key_Minus:
    case Qt::Key_Backspace:
        switchOff();
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        autoScroll = !autoScroll;
        showTitle();
        return true;
    default:
        return false;
    }
}

void MonitorController::switchOn()
{
    station->monitor()->setLogWanted(ui->checkBox_WriteToFile->isChecked());
    if (!station->link()->guard())
        return;
    auto showMonitor = [this] {
        monitor->show();
        if (!sensorDialogPlaced)
            placeSensorDialog();
        sensors->show();
        if (trendsWindow)
            trendsWindow->setMonitorOn(true);
        station->switchMonitor(true);
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
void MonitorController::placeSensorDialog()
{
    sensorDialogPlaced = true;
    const QSize whole = sensors->size().grownBy(ScreenFit::frameMargins(sensors));
    sensors->move(ScreenFit::besideWindow(window->frameGeometry(), whole, ScreenFit::availableAreas()));
}

void MonitorController::switchOff()
{
    if (ui->checkBox_WriteToFile->isChecked())
        station->monitor()->closeLog();
    emit aboutToSwitchOff();
    // Each close notifies the window again; QWidget::close() does not
    // recurse into a widget that is already closing, so this ends.
    monitor->close();
    sensors->close();
    if (trendsWindow)
        trendsWindow->setMonitorOn(false);
    station->switchMonitor(false);
}

void MonitorController::setLogging(bool on)
{
    // The box is ticked before its file is open (the file is named after
    // the serial number its read-out brings) and stays ticked after an open
    // failed; a block in between has nowhere to go.
    station->monitor()->setLogWanted(on);
    if (!station->link()->guard())
        return;
    if (on)
        openLogFile();
    else
        station->monitor()->closeLog();
}

void MonitorController::openLogFile(const std::function<void()> &then)
{
    station->openMonitorLog(this, [this, then](bool opened, const QString &path) {
        if (then)
            then();
        if (!opened)
            PlainMessageBox::warning(window, tr("Внимание"),
                                     tr("Не могу открыть файл для сохранения лога") + QStringLiteral("\n") + path);
    });
}

void MonitorController::showBlock(const QString &block, const QDateTime &time)
{
    sensors->parseMonitorText(block);
    if (trendsWindow)
        trendsWindow->addMonitorBlock(block, time);
}

// The text always goes at the end, never at the window's cursor, which a
// click while reading puts anywhere and which would split a reading in two.
// While scrolling is paused the view stays on the lines being read.
void MonitorController::appendText(const QString &text)
{
    QScrollBar *scrollBar = monitor->verticalScrollBar();
    const int readingAt = scrollBar->value();
    QTextCursor end(monitor->document());
    end.movePosition(QTextCursor::End);
    end.insertText(text);
    if (autoScroll)
        monitor->setTextCursor(end);
    else
        scrollBar->setValue(readingAt);
}

// Return toggles the scrolling without any other sign, so the title says
// when it is paused.
void MonitorController::showTitle()
{
    monitor->setWindowTitle(autoScroll ? QStringLiteral("Debugger") : tr("Debugger — прокрутка остановлена (Enter)"));
}

// Made on first use: its history takes a few megabytes that an ordinary
// run does not need.
void MonitorController::openTrendsWindow()
{
    if (!trendsWindow) {
        trendsWindow = new TrendsWindow(window);
        trendsWindow->slotSetLanguage(language);
    }
    trendsWindow->setMonitorOn(monitor->isVisible());
    trendsWindow->show();
    trendsWindow->raise();
    trendsWindow->activateWindow();
}
