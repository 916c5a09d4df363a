#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "app/comparisonline.h"
#include "app/modulenotice.h"
#include "app/monitorcontroller.h"
#include "app/popupwatcher.h"
#include "app/servicecontrols.h"
#include "app/storagestatus.h"
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

// The icons and the embedded translation copy live in a static library;
// registering them from here makes them available before main() runs.
static void registerRvkResources()
{
    Q_INIT_RESOURCE(resources);
    Q_INIT_RESOURCE(i18n);
}
Q_CONSTRUCTOR_FUNCTION(registerRvkResources)

namespace {
// Between the form and the progress bar, in a row the form leaves empty.
constexpr int moduleNoticeRow = 13;
} // namespace

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
    storageStatus = new StorageStatus(core, this);
    connect(ssuDialog, SIGNAL(signalIndicator(bool)), this, SLOT(slotIndicatorSSU(bool)));
    connect(ssuDialog, SIGNAL(signalWaitDialog(bool)), this, SLOT(slotWaitDialog(bool)));
    connect(this, SIGNAL(signalSetLanguage(uchar)), verificationDialog, SLOT(slotSetLanguage(uchar)));
    monitorControls = new MonitorController(this, ui, core, monitor, verificationDialog);
    connect(this, &MainWindow::signalSetLanguage, monitorControls, &MonitorController::setLanguage);
    connect(monitorControls, &MonitorController::aboutToSwitchOff, this, &MainWindow::saveWindowSettings);
    switchLanguage(Language::stored());
    openIniSettings();
    ui->pushButton_IRTClear->setStyleSheet(QLatin1String(StyleSheet::Erasing));
    ui->pushButton_EEPROMClear->setStyleSheet(QLatin1String(StyleSheet::Erasing));
    ui->statusbar->setSizeGripEnabled(false);
    // The monitor's windows take its keys too, and closing either ends it.
    connect(monitor, SIGNAL(DbgClosed()), this, SLOT(slotCloseMonitor()));
    monitor->installEventFilter(this);
    connect(verificationDialog, SIGNAL(VerificationDialogClosed()), this, SLOT(slotCloseMonitor()));
    verificationDialog->installEventFilter(this);
    setWindowFlags(Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
                   | Qt::MSWindowsFixedSizeDialogHint);
    createIndicators();
    connectStation();
    core->supervisor()->openAtStart();
    serviceControls = new ServiceControls(this, ui, core, moduleNotice);
    serviceControls->reveal(ssuIndicator);
    serviceControls->reveal(monitorControls->trendsAction());
    connect(serviceControls, &ServiceControls::readAgainWanted, this, &MainWindow::on_pushButton_ReadData_clicked);
    ssuDialog->startDownload();
    ssuDialog->setLanguage(uchar(language));
    ScreenFit::fitEveryWindow();
}

void MainWindow::openIniSettings()
{
    iniSettings = new QSettings(QStringLiteral("RVKReport.ini"), QSettings::IniFormat, this);
    iniSettings->setIniCodec(QTextCodec::codecForName("Windows-1251"));
    if (QFileInfo(QStringLiteral("RVKReport.ini")).isFile())
        loadWindowSettings();
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

    // Inside the key values' frame, under them: the line speaks of those
    // values. Under the read button, rows of their own for the storage and
    // for a module that does not answer: the status bar keeps its three
    // widgets, and a message there would hide its lights.
    comparisonLine = new ComparisonLine(ui->frame);
    ui->gridLayout_2->addWidget(comparisonLine, ui->gridLayout_2->rowCount(), 0, 1, ui->gridLayout_2->columnCount());
    connect(core->keeper(), &ReportKeeper::compared, comparisonLine, &ComparisonLine::showSummary);
    connect(comparisonLine, &ComparisonLine::openRequested, this, &MainWindow::openDocument);
    ui->gridLayout_5->addWidget(storageStatus->line(), ui->gridLayout_5->rowCount(), 0, 1,
                                ui->gridLayout_5->columnCount());
    moduleNotice = new ModuleNotice(core, ui->progressBar, this);
    ui->gridLayout_5->addWidget(moduleNotice, moduleNoticeRow, 0);
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

MainWindow::~MainWindow()
{
    // The dialog shows the station's session: it goes first.
    delete ssuDialog;
    ssuDialog = nullptr;
    delete core;
    core = nullptr;
    delete ui;
    ui = nullptr;
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && monitorControls->takeKey(static_cast<QKeyEvent *>(event)->key()))
        return true;
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
