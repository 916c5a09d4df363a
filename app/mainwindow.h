#pragma once

#include "app/answerwatch.h"
#include "protocol/canmessage.h"
#include "protocol/readouttransfer.h"

#include <QByteArray>
#include <QMainWindow>
#include <QString>
#include <QStringList>
#include <QTextStream>
#include <QTranslator>

class DbgTextEdit;
class QAction;
class FTDI;
class QFile;
class QLabel;
class QMessageBox;
class QProgressBar;
class QSettings;
class QTimer;
class QVBoxLayout;
class QWidget;
class SSUDialog;
class TrendsWindow;
class VerificationDialog;

namespace Ui {
class MainWindow;
}

// The one window of the program. It owns every long-lived object and glues
// the link, the protocol, the report, the diagnostics and the database
// together; the logic of each lives in small units of its own folder. The
// implementation is split by concern over the mainwindow_*.cpp files.
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

private:
    // --- start-up steps, in the order the constructor takes them ---
    void createProgressWindowParts();
    void setUpSensorDialog();
    void setUpMonitorWindow();
    void applyRememberedLanguage();
    void openIniSettings();
    void connectClosingWindows();
    QTimer *createLinkTimers();
    void createIndicators();
    void hideServiceControls();

    // --- link (mainwindow_link.cpp) ---
    static QString rememberedAdapter();
    void openLinkAtStart(QTimer *supervisionTimer);
    void fillDeviceList();
    void refreshAdapterList();
    bool openCANChannel(const QString &description);
    void reopenCANChannel();
    bool checkCANResult(qint32 result, const QString &operation);
    bool linkGuardFailed();
    void setIndicatorKIVO(bool on);
    bool reconnectingLink = false;
    bool startNoticeOpen = false;
    // Set once the user has chosen the adapter or the link has been up on
    // it: from then on a lone interface in the list no longer replaces it,
    // so an unplugged adapter is waited for rather than swapped.
    bool adapterSettled = false;
    // Counts the user's choices of adapter, so a reconnection can tell that
    // one was made while it waited.
    quint32 adapterChoices = 0;

    // --- dispatch (mainwindow_dispatch.cpp) ---
    void showAcknowledgement(const QString &text);

    // --- read-out (mainwindow_readout.cpp) ---
    // Only the log file asks for a silent read-out; every other caller wants
    // the full report.
    void requestReport(bool silent);
    void appendReportFrame();
    void completeReadout();
    void takeKeyValues();
    void showKeyValues();
    bool readoutWasWhole(int frames);
    void storeReport();
    // Takes copies: the archive pass may start a new read-out meanwhile.
    bool writeArchiveFile(const QByteArray &record, quint32 serial, const QString &time);
    QStringList listArchiveFiles() const;
    void waitMs(int milliseconds);
    void writeHtmlReport();

    // --- the module's silence (mainwindow_answers.cpp) ---
    void setUpAnswerWatch();
    void showModuleNotice(const QString &text);
    void clearModuleNotice();
    AnswerWatch answerWatch;
    QLabel *moduleNotice = nullptr;
    // Set by a whole report, cleared by a broken transfer: the factory value
    // fields hold this module's values only while it is set.
    bool wholeReportRead = false;

    // --- commands (mainwindow_commands.cpp) ---
    bool confirmDataLoss();
    void sendSetCommand(quint16 id, qint32 value);
    void sendClearCommand(quint16 id);

    // --- monitor (mainwindow_monitor.cpp) ---
    void handleMonitorFrame();
    void appendMonitorText(const QString &text);
    void setAutoScroll(bool on);
    void showMonitorTitle();
    bool openLogFile();
    void switchMonitorOn();
    void switchMonitorOff();
    void closeLogFile();

    // --- settings, language, about, service mode (mainwindow_settings.cpp) ---
    void loadWindowSettings();
    void saveWindowSettings();
    void restoreFormValues();
    void retranslateOwnTexts();
    void installServiceModeShortcut();
    void enterServiceMode();

    // --- trends window (mainwindow_trends.cpp) ---
    void installTrendsAction();
    void retranslateTrendsAction();
    void openTrendsWindow();
    TrendsWindow *trendsWindow = nullptr;
    QAction *trendsAction = nullptr;

    // --- database (mainwindow_ssu.cpp) ---
    bool uploadArchivedReports();
    void reportNoConnection();

    Ui::MainWindow *ui = nullptr;
    QMessageBox *waitBox = nullptr;
    QSettings *iniSettings = nullptr;
    QFile **logFile = nullptr;
    QTextStream logStream;
    bool silentReadout = false;
    ReadoutTransfer readoutTransfer;
    VerificationDialog *verificationDialog = nullptr;
    QTranslator translator;
    bool autoScroll = true;
    bool ignoreLinkLoss = false;
    DbgTextEdit *monitor = nullptr;
    QString monitorChunk;
    QString monitorBlock;
    QLabel *statusLabel = nullptr;
    QLabel *kivoIndicator = nullptr;
    QLabel *ssuIndicator = nullptr;

    qint32 total_time = 0;
    qint32 repair_time = 0;
    qint32 sn = 0;
    qint32 release_date = 0;
    qint32 firmware_version = 0;
    qint32 impact_level = 0;

    QString totalTimeText = QStringLiteral("0");
    QString repairTimeText = QStringLiteral("0");
    QString firmwareText;
    QString readoutTime;
    QString releaseDateText;

    CanMessage canMessage;
    QByteArray reportRecord;
    quint32 language = 1;
    FTDI *adapter = nullptr;
    quint8 deviceCount = 0;
    SSUDialog *ssuDialog = nullptr;

    QWidget *progressWindow = nullptr;
    QProgressBar *progressBarUpload = nullptr;
    QLabel *progressLabel = nullptr;
    QVBoxLayout *progressLayout = nullptr;
    bool progressWindowPrepared = false;

    bool serviceMode = false;
};
