#pragma once

#include "protocol/frameclassification.h"
#include "station/reportstore.h"
#include "station/station.h"

#include <QMainWindow>
#include <QString>
#include <QStringList>

#include <functional>

class ComparisonLine;
class DbgTextEdit;
class ModuleNotice;
class MonitorController;
class QLabel;
class QMessageBox;
class QSettings;
class ServiceControls;
class SSUDialog;
class Station;
class StorageStatus;
class VerificationDialog;
struct Readout;

namespace Ui {
class MainWindow;
}

// The program's window: a view of the station (station/station.h), which
// owns the link, the read-out, the storage, the commands and the monitor
// stream. The window shows what the station reports and passes on what the
// user does; its slots keep the names the program has always had, as that
// glue, and hand the monitor and the service controls to their own
// controllers. The rest is split by concern over the mainwindow_*.cpp files.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    bool eventFilter(QObject *watched, QEvent *event) override;

    // A notice at start (an adapter library that cannot be used). The link's
    // supervision waits until it is answered, so its own box never covers it.
    void warnAtStart(const QString &title, const QString &text);

    // What the window shows; tests and the guide tool drive it directly.
    Station *station() const { return core; }

signals:
    void readyRead();
    void signalSetLanguage(uchar language);

private slots:
    void isNewMsgKIVOStatus();
    void messageHandlerKIVO();
    void slotCloseMonitor();
    void slotIndicatorSSU(bool on);
    void slotWaitDialog(bool on);
    void checkCANError();
    void on_pushButton_ReadData_clicked();
    void on_pushButton_SetSN_clicked();
    void on_pushButton_SetDate_clicked();
    void on_pushButton_SetHit_clicked();
    void on_pushButton_IRTClear_clicked();
    void on_pushButton_EEPROMClear_clicked();
    void on_pushButton_MonitorOn_clicked();
    void on_pushButton_MonitorOff_clicked();
    void on_actionLangRus_triggered();
    void on_actionLangEng_triggered();
    void on_actionInfo_triggered();
    void on_comboBox_InfoDevice_activated(int index);
    void on_checkBox_WriteToFile_toggled(bool checked);
    void on_actionSSU_triggered();

protected:
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    // --- start-up steps, in the order the constructor takes them ---
    void openIniSettings();
    void createIndicators();
    void connectStation();

    // --- link (mainwindow_link.cpp) ---
    void showAdapters(const QStringList &adapters, int current);
    void showLinkState(bool up);
    // Paints the link's light and the read button.
    void setIndicatorKIVO(bool on);
    void askAboutLostLink();

    // --- read-out (mainwindow_readout.cpp) ---
    void showReadout(const Readout &readout);
    void showKeyValues();
    void openDocument(const QString &path);

    // --- settings and language (mainwindow_settings.cpp) ---
    void loadWindowSettings();
    void saveWindowSettings();
    void restoreFormValues();
    void switchLanguage(const QLocale &wanted);
    void retranslateWindow();

    // --- database (mainwindow_ssu.cpp) ---
    void finishLogIn(int outcome, bool confirmed);
    void reportNoConnection();

    Ui::MainWindow *ui = nullptr;
    Station *core = nullptr;
    QMessageBox *waitBox = nullptr;
    QSettings *iniSettings = nullptr;
    VerificationDialog *verificationDialog = nullptr;
    DbgTextEdit *monitor = nullptr;
    MonitorController *monitorControls = nullptr;
    ServiceControls *serviceControls = nullptr;
    ModuleNotice *moduleNotice = nullptr;
    ComparisonLine *comparisonLine = nullptr;
    StorageStatus *storageStatus = nullptr;
    QLabel *statusLabel = nullptr;
    bool loggingIn = false;
    QLabel *kivoIndicator = nullptr;
    QLabel *ssuIndicator = nullptr;
    quint32 language = 1;
    SSUDialog *ssuDialog = nullptr;
};
