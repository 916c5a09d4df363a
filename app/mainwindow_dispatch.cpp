// Frames reach the window only as what the station made of them; these
// slots keep the receiving names as glue.
#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "station/station.h"

void MainWindow::isNewMsgKIVOStatus()
{
    if (core->link()->hasFrame())
        emit readyRead();
}

void MainWindow::messageHandlerKIVO()
{
    core->dispatchPendingFrames();
}
