#pragma once

#include "protocol/frameclassification.h"
#include "station/reportstore.h"
#include "station/station.h"

#include <QMainWindow>
#include <QString>
#include <QStringList>

#include <functional>

class DbgTextEdit;
class QAction;
class ComparisonLine;
class FactoryJournal;
class QLabel;
class QMessageBox;
class QProgressBar;
class QSettings;
class QVBoxLayout;
class QWidget;
class SSUDialog;
class Station;
class FleetWindow;
class TrendsWindow;
class VerificationDialog;
struct Readout;

namespace Ui {
class MainWindow;
}

// The program's window: a view of the station (station/station.h), which
// owns the link, the read-out, the storage, the commands and the monitor
// stream. The window shows what the station reports and passes on what the
// user does; its slots keep their names as that glue. The implementation is
// split by concern over the mainwindow_*.cpp files.
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
    void slotModuleSilent(int framesReceived);
    void slotCommandUnanswered();

protected:
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    // --- start-up steps, in the order the constructor takes them ---
    void createProgressWindowParts();
    void setUpSensorDialog();
    void setUpMonitorWindow();
    void applyRememberedLanguage();
    void openIniSettings();
    void connectClosingWindows();
    void connectStation();
    void createIndicators();
    void hideServiceControls();

    // --- link (mainwindow_link.cpp) ---
    void showAdapters(const QStringList &adapters, int current);
    void showLinkState(bool up);
    void askAboutLostLink();
    void setIndicatorKIVO(bool on);

    // --- dispatch (mainwindow_dispatch.cpp) ---
    void showAcknowledgement(FrameKind kind);

    // --- read-out (mainwindow_readout.cpp) ---
    void showReadout(const Readout &readout);
    void showKeyValues();
    void openDocument(const QString &path);
    void createComparisonLine();
    ComparisonLine *comparisonLine = nullptr;
    void reportDocumentFailure(const QString &path, const QString &error);
    void reportStorage(const ReportStore::Result &result);
    // The status bar's word on the reports being stored and waiting in the
    // archive: the user sees the storage without a box in the way.
    void showStorageState();
    void createStorageLabel();

    // --- the module's silence (mainwindow_answers.cpp) ---
    void setUpAnswerWatch();
    void showModuleNotice(const QString &text);
    void clearModuleNotice();
    QLabel *moduleNotice = nullptr;

    // --- commands (mainwindow_commands.cpp) ---
    bool confirmDataLoss(const QString &action);
    void sendSetCommand(quint16 id, qint32 value, const QString &shown);
    void showCommandResult(Station::CommandResult result);
    void createFactoryJournal();
    FactoryJournal *factoryJournal = nullptr;
    void sendClearCommand(quint16 id, const QString &action);
    bool linkGuardFailed();

    // --- monitor (mainwindow_monitor.cpp) ---
    void appendMonitorText(const QString &text);
    void showMonitorBlock(const QString &block, const QDateTime &time);
    void setAutoScroll(bool on);
    void showMonitorTitle();
    // Opens the monitor log (named once the module is known), then runs then.
    void openLogFile(const std::function<void()> &then = {});
    void switchMonitorOn();
    void switchMonitorOff();
    void placeSensorDialog();
    bool sensorDialogPlaced = false;

    // --- settings, language, about, service mode (mainwindow_settings.cpp) ---
    void loadWindowSettings();
    void saveWindowSettings();
    void restoreFormValues();
    void switchLanguage(const QLocale &wanted);
    void retranslateWindow();
    void retranslateOwnTexts();
    void installServiceModeShortcut();
    void enterServiceMode();
    void armWipeButtons();

    // --- trends window (mainwindow_trends.cpp) ---
    void installTrendsAction();
    void retranslateTrendsAction();
    void openTrendsWindow();
    TrendsWindow *trendsWindow = nullptr;
    QAction *trendsAction = nullptr;

    // --- fleet window (mainwindow_fleet.cpp) ---
    void installFleetAction();
    void retranslateFleetAction();
    void openFleetWindow();
    FleetWindow *fleetWindow = nullptr;
    QAction *fleetAction = nullptr;

    // --- database (mainwindow_ssu.cpp) ---
    void showArchiveProgress(int stored, int total);
    void closeArchiveProgress();
    void reportNoConnection();
    void finishLogIn(int outcome, bool confirmed);

    Ui::MainWindow *ui = nullptr;
    Station *core = nullptr;
    QMessageBox *waitBox = nullptr;
    QSettings *iniSettings = nullptr;
    VerificationDialog *verificationDialog = nullptr;
    bool autoScroll = true;
    DbgTextEdit *monitor = nullptr;
    QLabel *statusLabel = nullptr;
    // What the storage is doing and how many reports wait for the SSU.
    QLabel *storageLabel = nullptr;
    bool loggingIn = false;
    QLabel *kivoIndicator = nullptr;
    QLabel *ssuIndicator = nullptr;
    quint32 language = 1;
    SSUDialog *ssuDialog = nullptr;

    QWidget *progressWindow = nullptr;
    QProgressBar *progressBarUpload = nullptr;
    QLabel *progressLabel = nullptr;
    QVBoxLayout *progressLayout = nullptr;
    bool progressWindowPrepared = false;

    bool serviceMode = false;
};
