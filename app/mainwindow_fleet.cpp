// The fleet window: its tool-bar entry for the maker's staff, in service
// mode only, beside the trends.
#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "ssu/gui/fleetwindow.h"
#include "station/station.h"

#include <QAction>

void MainWindow::installFleetAction()
{
    fleetAction = new QAction(this);
    fleetAction->setObjectName(QStringLiteral("actionFleet"));
    fleetAction->setVisible(false);
    ui->toolBar->addAction(fleetAction);
    connect(fleetAction, &QAction::triggered, this, &MainWindow::openFleetWindow);
    connect(this, &MainWindow::signalSetLanguage, this, &MainWindow::retranslateFleetAction);
    retranslateFleetAction();
}

void MainWindow::retranslateFleetAction()
{
    fleetAction->setText(tr("Парк модулей"));
    fleetAction->setToolTip(tr("Сравнение групп модулей по их последним отчётам в ССУ"));
}

// Made on first use and read at once; later openings keep the figures shown
// until the user refreshes them.
void MainWindow::openFleetWindow()
{
    if (!fleetWindow) {
        fleetWindow = new FleetWindow(core->session(), this);
        fleetWindow->setWindowFlag(Qt::Window);
    }
    fleetWindow->show();
    fleetWindow->raise();
    fleetWindow->activateWindow();
}
