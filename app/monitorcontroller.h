#pragma once

#include <QObject>
#include <QString>
#include <functional>

class DbgTextEdit;
class QAction;
class QDateTime;
class QWidget;
class Station;
class TrendsWindow;
class VerificationDialog;

namespace Ui {
class MainWindow;
}

// The module's debug monitor as the window runs it: its switches and keys,
// the monitor text window, the sensor values dialog, the log file and the
// trends window with its tool-bar entry.
class MonitorController : public QObject
{
    Q_OBJECT
public:
    MonitorController(QWidget *window, Ui::MainWindow *ui, Station *station, DbgTextEdit *monitor,
                      VerificationDialog *sensors);

    void switchOn();
    void switchOff();
    // The log box: blocks are logged from now on, or no longer.
    void setLogging(bool on);
    // The monitor's keys, wherever they are pressed: + on, - and Backspace
    // off, Return and Enter pause or resume the scrolling. True if taken.
    bool takeKey(int key);
    // The user has put the sensor dialog somewhere before (the ini file).
    void setSensorDialogPlaced(bool placed) { sensorDialogPlaced = placed; }
    // Reveals the trends entry with the other service controls.
    QAction *trendsAction() const { return trends; }

public slots:
    void setLanguage(uchar language);

signals:
    // Before the monitor's windows close: their placement is still theirs.
    void aboutToSwitchOff();

private:
    void appendText(const QString &text);
    void showBlock(const QString &block, const QDateTime &time);
    void showTitle();
    void openLogFile(const std::function<void()> &then = {});
    void placeSensorDialog();
    void openTrendsWindow();

    QWidget *window;
    Ui::MainWindow *ui;
    Station *station;
    DbgTextEdit *monitor;
    VerificationDialog *sensors;
    QAction *trends = nullptr;
    TrendsWindow *trendsWindow = nullptr;
    uchar language = 0;
    bool autoScroll = true;
    bool sensorDialogPlaced = false;
};
