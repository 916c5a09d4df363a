#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "app/popupwatcher.h"
#include "app/stylesheets.h"
#include "diagnostics/dbgtextedit.h"
#include "diagnostics/screenfit.h"
#include "diagnostics/verificationdialog.h"
#include "protocol/language.h"
#include "protocol/programidentity.h"
#include "ssu/gui/ssudialog.h"
#include "station/station.h"

#include <QCloseEvent>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>
#include <QSettings>
#include <QStatusBar>
#include <QTextCodec>
#include <QTimer>
#include <QVBoxLayout>

// The icons and the embedded translation copy live in a static library;
// registering them from here makes them available before main() runs.
static void registerRvkResources()
{
    Q_INIT_RESOURCE(resources);
    Q_INIT_RESOURCE(i18n);
}
Q_CONSTRUCTOR_FUNCTION(registerRvkResources)

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent)
    , ui(new Ui::MainWindow)
    , core(new Station(this))
    , verificationDialog(new VerificationDialog(this))
    , monitor(new DbgTextEdit(this))
    , ssuDialog(new SSUDialog(core->session(), this))
{
    ui->setupUi(this);
    installEventFilter(this);
    // The adapter list has the focus at start and would take + and - for a
    // search among its entries, so the monitor keys did nothing until Tab.
    ui->comboBox_InfoDevice->installEventFilter(this);
    ui->dateEdit->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    createProgressWindowParts();
    connect(ssuDialog, SIGNAL(signalIndicator(bool)), this, SLOT(slotIndicatorSSU(bool)));
    connect(ssuDialog, SIGNAL(signalWaitDialog(bool)), this, SLOT(slotWaitDialog(bool)));
    setUpSensorDialog();
    setUpMonitorWindow();
    applyRememberedLanguage();
    openIniSettings();
    ui->pushButton_IRTClear->setStyleSheet(QLatin1String(StyleSheet::Erasing));
    ui->pushButton_EEPROMClear->setStyleSheet(QLatin1String(StyleSheet::Erasing));
    ui->statusbar->setSizeGripEnabled(false);
    connectClosingWindows();
    setWindowFlags(Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
                   | Qt::MSWindowsFixedSizeDialogHint);
    createIndicators();
    connectStation();
    core->supervisor()->openAtStart();
    hideServiceControls();
    setUpAnswerWatch();
    ssuDialog->startDownload();
    ssuDialog->setLanguage(uchar(language));
    installServiceModeShortcut();
    installTrendsAction();
    installFleetAction();
    ScreenFit::fitEveryWindow();
}

void MainWindow::createProgressWindowParts()
{
    progressWindow = new QWidget;
    progressLayout = new QVBoxLayout;
    progressBarUpload = new QProgressBar;
    progressLabel = new QLabel;
}

void MainWindow::setUpSensorDialog()
{
    connect(this, SIGNAL(signalSetLanguage(uchar)), verificationDialog, SLOT(slotSetLanguage(uchar)));
    verificationDialog->setWindowTitle(tr("Состояние датчиков"));
    verificationDialog->setWindowFlags(verificationDialog->windowFlags() & ~Qt::WindowContextHelpButtonHint);
}

void MainWindow::setUpMonitorWindow()
{
    monitor->setReadOnly(true);
    monitor->setWindowFlags(monitor->windowFlags() | Qt::Window);
    monitor->setWindowTitle(QStringLiteral("Debugger"));
    if (QScreen *screen = QGuiApplication::screens().value(0)) {
        const QRect available = screen->availableGeometry();
        const int fullHeight = screen->geometry().height();
        monitor->move(available.topLeft());
        monitor->resize(300, available.height() - (fullHeight - available.height()));
    }
}

void MainWindow::applyRememberedLanguage()
{
    switchLanguage(Language::stored());
}

void MainWindow::openIniSettings()
{
    iniSettings = new QSettings(QStringLiteral("RVKReport.ini"), QSettings::IniFormat, this);
    iniSettings->setIniCodec(QTextCodec::codecForName("Windows-1251"));
    if (QFileInfo(QStringLiteral("RVKReport.ini")).isFile())
        loadWindowSettings();
}

void MainWindow::connectClosingWindows()
{
    connect(monitor, SIGNAL(DbgClosed()), this, SLOT(slotCloseMonitor()));
    monitor->installEventFilter(this);
    connect(verificationDialog, SIGNAL(VerificationDialogClosed()), this, SLOT(slotCloseMonitor()));
    verificationDialog->installEventFilter(this);
}

// Everything the station reports reaches the window here.
void MainWindow::connectStation()
{
    // Interfaces come and go (a USB adapter unplugged and back); the list
    // is read again whenever the user opens it.
    connect(new PopupWatcher(ui->comboBox_InfoDevice), &PopupWatcher::aboutToShowPopup, core->supervisor(), &LinkSupervisor::refreshAdapters);
    connect(core->supervisor(), &LinkSupervisor::adaptersChanged, this, &MainWindow::showAdapters);
    connect(core->supervisor(), &LinkSupervisor::linkStateChanged, this, &MainWindow::showLinkState);
    connect(core->supervisor(), &LinkSupervisor::linkLost, this, &MainWindow::askAboutLostLink);
    connect(this, SIGNAL(readyRead()), this, SLOT(messageHandlerKIVO()));

    connect(core, &Station::reportProgress, ui->progressBar, &QProgressBar::setValue);
    connect(core, &Station::reportCompleted, this, &MainWindow::showReadout);
    connect(core->keeper(), &ReportKeeper::documentWritten, this, &MainWindow::openDocument);
    createComparisonLine();
    createFactoryJournal();
    connect(core->keeper(), &ReportKeeper::documentFailed, this, &MainWindow::reportDocumentFailure);
    connect(core->keeper(), &ReportKeeper::reportStored, this, &MainWindow::reportStorage);
    connect(core->store(), &ReportStore::archiveProgress, this, &MainWindow::showArchiveProgress);
    connect(core->store(), &ReportStore::archivePassFinished, this, &MainWindow::closeArchiveProgress);
    createStorageLabel();
    connect(core->keeper(), &ReportKeeper::pendingChanged, this, &MainWindow::showStorageState);
    // Reports piling up in the archive are shown in every mode, from the
    // start on: nothing else would say the SSU has not taken them.
    connect(core->keeper(), &ReportKeeper::reportStored, this, &MainWindow::showStorageState);
    QTimer::singleShot(0, this, &MainWindow::showStorageState);

    connect(core, &Station::commandAcknowledged, this, &MainWindow::showAcknowledgement);
    connect(core->monitor(), &MonitorStream::monitorText, this, &MainWindow::appendMonitorText);
    connect(core->monitor(), &MonitorStream::monitorBlock, this, &MainWindow::showMonitorBlock);
}

void MainWindow::createIndicators()
{
    statusLabel = new QLabel(this);
    kivoIndicator = new QLabel(QStringLiteral(" KIVO "), this);
    kivoIndicator->setToolTip(tr("Индикатор подключения к KIVO"));
    kivoIndicator->setFixedSize(20, 20);
    kivoIndicator->setStyleSheet(QLatin1String(StyleSheet::IndicatorAtStart));
    kivoIndicator->setAlignment(Qt::AlignCenter);
    kivoIndicator->setMinimumSize(kivoIndicator->sizeHint());
    ui->statusbar->addWidget(statusLabel, 0);
    ui->statusbar->addWidget(kivoIndicator, 0);
    ssuIndicator = new QLabel(tr(" SSU "), this);
    ssuIndicator->setToolTip(tr("Индикатор подключения к ССУ"));
    ssuIndicator->setFixedSize(20, 20);
    ssuIndicator->setStyleSheet(QLatin1String(StyleSheet::IndicatorAtStart));
    ssuIndicator->setAlignment(Qt::AlignCenter);
    ssuIndicator->setMinimumSize(kivoIndicator->sizeHint());
    ui->statusbar->addWidget(ssuIndicator);
}

// The service controls stay hidden and disabled until service mode.
void MainWindow::hideServiceControls()
{
    for (QWidget *widget : {static_cast<QWidget *>(ui->pushButton_SetSN), static_cast<QWidget *>(ui->pushButton_SetDate),
                            static_cast<QWidget *>(ui->pushButton_SetHit), static_cast<QWidget *>(ui->pushButton_IRTClear),
                            static_cast<QWidget *>(ui->pushButton_EEPROMClear), static_cast<QWidget *>(ui->spinBox_SNValue),
                            static_cast<QWidget *>(ui->dateEdit), static_cast<QWidget *>(ui->spinBox_HitValue)})
        widget->setEnabled(false);
    for (QWidget *widget : {ui->pushButton_SetSN, ui->pushButton_SetDate, ui->pushButton_SetHit, ui->pushButton_IRTClear,
                            ui->pushButton_EEPROMClear, ui->pushButton_MonitorOff, ui->pushButton_MonitorOn})
        widget->hide();
    ui->checkBox_WriteToFile->hide();
    ssuIndicator->hide();
    ui->actionSSU->setVisible(false);
}

MainWindow::~MainWindow()
{
    // The dialog shows the station's session: it goes first.
    delete ssuDialog;
    ssuDialog = nullptr;
    delete core;
    core = nullptr;
    delete ui;
    ui = nullptr;
    delete progressWindow; // owns the layout, the bar and the label once prepared
    if (!progressWindowPrepared) {
        delete progressLayout;
        delete progressBarUpload;
        delete progressLabel;
    }
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        switch (static_cast<QKeyEvent *>(event)->key()) {
        case Qt::Key_Plus:
            switchMonitorOn();
            return true;
        case Qt::Key_Minus:
        case Qt::Key_Backspace:
            switchMonitorOff();
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            setAutoScroll(!autoScroll);
            return true;
        default:
            break;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    saveWindowSettings();
    monitor->close();
    verificationDialog->close();
    event->accept();
}

// The archive pass that follows a connection is the station's own.
void MainWindow::slotIndicatorSSU(bool on)
{
    ssuIndicator->setStyleSheet(QLatin1String(on ? StyleSheet::IndicatorOn : StyleSheet::IndicatorOff));
}
