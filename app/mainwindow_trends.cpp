// The trends window: its tool-bar entry for service staff and its feed.
#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "diagnostics/dbgtextedit.h"
#include "diagnostics/trendswindow.h"

#include <QAction>

// The entry sits on the tool bar beside the database action and, like it,
// appears only in service mode; the form itself stays as it is.
void MainWindow::installTrendsAction()
{
    trendsAction = new QAction(this);
    trendsAction->setObjectName(QStringLiteral("actionTrends"));
    trendsAction->setVisible(false);
    // A hidden action's shortcut does not fire, so it too needs service mode.
    trendsAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_T));
    ui->toolBar->addAction(trendsAction);
    connect(trendsAction, &QAction::triggered, this, &MainWindow::openTrendsWindow);
    connect(this, &MainWindow::signalSetLanguage, this, &MainWindow::retranslateTrendsAction);
    retranslateTrendsAction();
}

// The language switch installs or removes the main translator before it
// signals, so tr() already gives the chosen language here.
void MainWindow::retranslateTrendsAction()
{
    trendsAction->setText(tr("Тренды"));
    trendsAction->setToolTip(tr("Графики значений датчиков"));
}

// Made on first use: its history takes a few megabytes that an ordinary
// run does not need.
void MainWindow::openTrendsWindow()
{
    if (!trendsWindow) {
        trendsWindow = new TrendsWindow(this);
        trendsWindow->slotSetLanguage(uchar(language));
        connect(this, SIGNAL(signalSetLanguage(uchar)), trendsWindow, SLOT(slotSetLanguage(uchar)));
    }
    trendsWindow->setMonitorOn(monitor->isVisible());
    trendsWindow->show();
    trendsWindow->raise();
    trendsWindow->activateWindow();
}
