#pragma once

#include "protocol/frameclassification.h"
#include "station/station.h"

#include <QObject>
#include <QString>

class FactoryJournal;
class FleetWindow;
class ModuleNotice;
class QAction;
class QWidget;

namespace Ui {
class MainWindow;
}

// The controls for service staff: hidden until the access code is given,
// then the factory values, the wipes, the monitor switches and the
// staff's own windows. The commands go through the station, which says
// whether they went; a wipe is asked about first.
class ServiceControls : public QObject
{
    Q_OBJECT
public:
    ServiceControls(QWidget *window, Ui::MainWindow *ui, Station *station, ModuleNotice *notice);

    // Revealed with the form's own service controls.
    void reveal(QWidget *widget);
    void reveal(QAction *action);

    void sendSetCommand(quint16 id, qint32 value, const QString &shown);
    // action names the wipe in the question.
    void sendClearCommand(quint16 id, const QString &action);
    // Texts outside the form follow a language switch.
    void retranslate();

signals:
    // A wipe was acknowledged: the module's values changed under the form.
    void readAgainWanted();

private:
    void enterServiceMode();
    void armWipeButtons();
    bool confirmDataLoss(const QString &action);
    void showCommandResult(Station::CommandResult result, quint16 id, const QString &shown);
    void showAcknowledgement(FrameKind kind);
    void openFleetWindow();

    QWidget *window;
    Ui::MainWindow *ui;
    Station *station;
    ModuleNotice *notice;
    FactoryJournal *factoryJournal = nullptr;
    QAction *fleetAction = nullptr;
    FleetWindow *fleetWindow = nullptr;
    QList<QWidget *> revealedWidgets;
    QList<QAction *> revealedActions;
    bool serviceMode = false;
};
