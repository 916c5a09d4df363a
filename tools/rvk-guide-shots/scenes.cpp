#include "tools/rvk-guide-shots/scenes.h"

#include "app/mainwindow.h"
#include "diagnostics/trendswindow.h"
#include "protocol/archivefile.h"
#include "protocol/programidentity.h"
#include "ssu/deployment.h"
#include "ssu/gui/fleetwindow.h"
#include "ssu/gui/ssudialog.h"
#include "ssu/tokenencoder.h"
#include "tools/rvk-guide-shots/composite.h"
#include "tools/rvk-guide-shots/driving.h"
#include "tools/rvk-module-sim/eepromimage.h"

#include <QAbstractItemModel>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFileInfo>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QShortcut>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTableView>
#include <QTest>
#include <QUrl>

namespace {
// The named child, or with no name the only one of its class.
template <typename T>
T *child(QObject *parent, const char *name = nullptr)
{
    T *found = parent->findChild<T *>(name ? QString::fromLatin1(name) : QString());
    if (!found)
        throw SceneFailure(QStringLiteral("no %1 named %2").arg(QLatin1String(T::staticMetaObject.className()),
                                                                QLatin1String(name ? name : "")));
    return found;
}

// The language a start begins in, as the program reads it.
void chooseEnglish(bool english)
{
    QSettings settings = ProgramIdentity::nativeSettings();
    settings.clear();
    if (english)
        settings.setValue(QStringLiteral("Settings/Language"), 1);
}

bool indicatorGreen(QWidget *window, const QString &text)
{
    for (QLabel *label : window->findChildren<QLabel *>())
        if (label->text().trimmed() == text)
            return label->styleSheet().contains(QLatin1String("green"));
    return false;
}

QWidget *messageBoxTitled(const QStringList &titles)
{
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (widget->isVisible() && widget->inherits("QMessageBox") && titles.contains(widget->windowTitle()))
            return widget;
    return nullptr;
}

void press(QWidget *box, QMessageBox::StandardButton which)
{
    auto *messageBox = qobject_cast<QMessageBox *>(box);
    if (!messageBox || !messageBox->button(which))
        throw SceneFailure(QStringLiteral("the box \"%1\" has not the expected buttons").arg(box->windowTitle()));
    messageBox->button(which)->click();
}
} // namespace

Scenes::Scenes(const SceneSettings &settings)
    : m_settings(settings)
    , m_scratch(settings.scratchDir)
{
    m_catcher.install();
    installGuideAdapter(settings.ports[0]);
}

Scenes::~Scenes()
{
    stopWindow();
}

void Scenes::save(const QImage &image, const QString &name)
{
    const QString path = QDir(m_settings.outDir).filePath(name);
    if (image.isNull() || !image.save(path, "PNG", 0))
        throw SceneFailure(QStringLiteral("cannot write %1").arg(path));
    QTextStream(stdout) << "rvk-guide-shots: " << name << Qt::endl;
}

MainWindow *Scenes::startWindow(const QString &folder, bool withDatabase)
{
    m_scratch.mkpath(folder);
    QDir::setCurrent(m_scratch.filePath(folder));
    m_window = new MainWindow;
    m_window->resize(m_window->width(), m_window->minimumHeight());
    m_window->show();
    if (!withDatabase)
        return m_window;
    // The download at construction went to the deployment's web server; once
    // it has failed, the password comes from this run's own server.
    auto *dialog = child<SSUDialog>(m_window);
    QSignalSpy indicator(dialog, &SSUDialog::signalIndicator);
    waitUntil([&] { return !indicator.isEmpty(); }, QStringLiteral("the first password download has ended"), 20000);
    indicator.clear();
    dialog->setDownloadUrl(QUrl(m_passwordServer->url()));
    dialog->startDownload();
    waitUntil([&] { return !indicator.isEmpty() && indicator.last().value(0).toBool(); },
              QStringLiteral("the program is connected to the database"));
    return m_window;
}

// Ends the program without its closing steps, as the pictures were first
// made, so that every start begins at the form's own size rather than at
// the size the language of the previous start gave it.
void Scenes::stopWindow()
{
    if (!m_window)
        return;
    delete m_window;
    m_window = nullptr;
    QCoreApplication::processEvents();
}

void Scenes::waitUntilLinked()
{
    waitUntil([this] { return indicatorGreen(m_window, QStringLiteral("KIVO")); },
              QStringLiteral("the program is linked to the module"));
}

void Scenes::enterServiceMode(const QString &shot)
{
    QShortcut *shortcut = nullptr;
    for (QShortcut *candidate : m_window->findChildren<QShortcut *>())
        if (candidate->key() == QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S))
            shortcut = candidate;
    if (!shortcut)
        throw SceneFailure(QStringLiteral("no service mode shortcut"));
    const int height = m_window->height();
    meetModal([shortcut] { emit shortcut->activated(); },
              [&](QWidget *prompt) {
                  QTest::keyClicks(child<QLineEdit>(prompt), QString::number(ProgramIdentity::ServiceAccessCode));
                  settle(300);
                  if (!shot.isEmpty())
                      save(stackShot({m_window, prompt}), shot);
                  QTest::keyClick(prompt, Qt::Key_Return);
              },
              QStringLiteral("the access code was asked for"));
    waitUntil([&] { return m_window->height() > height; }, QStringLiteral("service mode is open"));
    settle(500);
}

void Scenes::readReport()
{
    const int before = m_catcher.opened.size();
    child<QPushButton>(m_window, "pushButton_ReadData")->click();
    waitUntil([&] { return m_catcher.opened.size() > before; }, QStringLiteral("the read-out is complete"));
    waitUntil([] { return !messageBoxTitled({QStringLiteral("Warning"), QStringLiteral("Внимание")}); },
              QStringLiteral("the database work after the read-out is over"), 20000);
    waitUntil([&] { return child<QWidget>(m_window, "widget_Comparison")->isVisible(); },
              QStringLiteral("the comparison's line is shown"), 20000);
    settle(1000);
}

void Scenes::runMain()
{
    const QByteArray passwordFile = TokenEncoder(Deployment::key()).encryptText(m_settings.databasePassword).toLatin1() + '\n';
    m_passwordServer = std::make_unique<PasswordServer>(passwordFile);
    const int others = clearGuideRows(m_settings.databasePassword);
    if (others > 0)
        QTextStream(stderr) << "rvk-guide-shots: the database holds " << others
                            << " other reports; they will appear in ssu-dialog.png\n";
    noAdapter();
    m_module = std::make_unique<ModuleProcess>(
        QCoreApplication::applicationDirPath() + QStringLiteral("/rvk-module-sim"),
        m_scratch.filePath(QStringLiteral("module-eeprom.bin")));
    m_module->start(m_settings.ports[0], 400);
    connectedAndReadOut();
    serviceModeAndDatabase();
    debugMonitor();
    noDatabase();
    linkLost();
    trends();
    clearGuideRows(m_settings.databasePassword);
}

// While no adapter can be opened, in English chosen beforehand; the question
// about the lost link is answered "Ignore" and does not come back.
void Scenes::noAdapter()
{
    chooseEnglish(true);
    setGuideAdapterUnplugged(true);
    meetModal([this] { startWindow(QStringLiteral("no-adapter"), false); },
              [](QWidget *box) { press(box, QMessageBox::Ignore); },
              QStringLiteral("the program asks about the missing link"));
    if (!m_window)
        waitUntil([this] { return m_window != nullptr; }, QStringLiteral("the window is shown"));
    // Two supervision periods and more: a question that came back would be up.
    observe(2500);
    if (QApplication::activeModalWidget())
        throw SceneFailure(QStringLiteral("the link-loss question came back after Ignore"));
    save(windowShot(m_window), QStringLiteral("no-adapter.png"));
    stopWindow();
    setGuideAdapterUnplugged(false);
    chooseEnglish(false);
}

// The first start is in Russian; English chosen then holds from the next
// start on, status bar included.
void Scenes::connectedAndReadOut()
{
    m_scratch.mkpath(QStringLiteral("station"));
    QDir::setCurrent(m_scratch.filePath(QStringLiteral("station")));
    seedArchive();
    startWindow(QStringLiteral("station"));
    waitUntilLinked();
    settle(1500);
    save(windowShot(m_window), QStringLiteral("first-start-russian.png"));
    child<QAction>(m_window, "actionLangEng")->trigger();
    settle(1000);
    stopWindow();

    startWindow(QStringLiteral("station"));
    waitUntilLinked();
    settle(1500);
    save(windowShot(m_window), QStringLiteral("main-connected.png"));

    readReport();
    save(windowShot(m_window), QStringLiteral("main-after-readout.png"));

    // The report and what changed since the module's previous visit, as the
    // browser shows them.
    if (!m_settings.withBrowser)
        return;
    browserShot(openedDocument(QStringLiteral("RVKReport_")), QStringLiteral("report.png"));
    child<QPushButton>(m_window, "pushButton_Comparison")->click();
    browserShot(openedDocument(QStringLiteral("RVKChanges_")), QStringLiteral("comparison.png"));
}

QString Scenes::openedDocument(const QString &prefix) const
{
    for (auto document = m_catcher.opened.crbegin(); document != m_catcher.opened.crend(); ++document) {
        if (QFileInfo(*document).fileName().startsWith(prefix))
            return *document;
    }
    throw SceneFailure(QStringLiteral("no document %1... was opened").arg(prefix));
}

void Scenes::browserShot(const QString &document, const QString &name)
{
    const QString browser = QStandardPaths::findExecutable(QStringLiteral("chromium"));
    if (browser.isEmpty())
        throw SceneFailure(QStringLiteral("%1 needs chromium").arg(name));
    const QString png = m_scratch.filePath(name);
    QProcess chromium;
    chromium.start(browser, {QStringLiteral("--headless"), QStringLiteral("--no-sandbox"), QStringLiteral("--disable-gpu"),
                             QStringLiteral("--disable-background-networking"), QStringLiteral("--no-first-run"),
                             QStringLiteral("--user-data-dir=") + m_scratch.filePath(QStringLiteral("chromium")),
                             QStringLiteral("--hide-scrollbars"), QStringLiteral("--window-size=820,1180"),
                             QStringLiteral("--screenshot=") + png, QUrl::fromLocalFile(document).toString()});
    waitUntil([&] { return chromium.state() == QProcess::NotRunning; },
              QStringLiteral("chromium has drawn %1").arg(name), 60000);
    save(QImage(png), name);
}

void Scenes::serviceModeAndDatabase()
{
    enterServiceMode(QStringLiteral("service-code.png"));
    // The wipe buttons take clicks a moment after they appear.
    waitUntil([&] { return child<QPushButton>(m_window, "pushButton_EEPROMClear")->isEnabled(); },
              QStringLiteral("the wipe buttons are armed"));
    save(windowShot(m_window), QStringLiteral("main-service-mode.png"));

    // The login uploads the archive files of the earlier read-outs.
    const QString token = TokenEncoder(Deployment::key()).encryptText(m_settings.databasePassword);
    meetModal([this] { child<QAction>(m_window, "actionSSU")->trigger(); },
              [&](QWidget *prompt) {
                  QTest::keyClicks(child<QLineEdit>(prompt), token);
                  settle(300);
                  save(stackShot({m_window, prompt}), QStringLiteral("ssu-login.png"));
                  QTest::keyClick(prompt, Qt::Key_Return);
              },
              QStringLiteral("the database password was asked for"));
    auto *dialog = child<SSUDialog>(m_window);
    waitUntil([&] { return dialog->isVisible(); }, QStringLiteral("the search window is shown"), 30000);
    auto *view = dialog->findChild<QTableView *>();
    waitUntil([&] { return view && view->model() && view->model()->rowCount() >= 8; },
              QStringLiteral("the search window lists the eight reports"));
    settle(300);
    const QModelIndex third = view->model()->index(2, 0);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(third).center());
    settle(500);
    save(windowShot(dialog), QStringLiteral("ssu-dialog.png"));
    moduleHistory(dialog);
    dialog->close();
    waitUntil([&] { return !dialog->isVisible(); }, QStringLiteral("the search window is closed"));
    fleet();
}

// The fleet of the guide's modules, grouped by firmware.
void Scenes::fleet()
{
    child<QAction>(m_window, "actionFleet")->trigger();
    FleetWindow *window = nullptr;
    waitUntil(
        [&] {
            window = m_window->findChild<FleetWindow *>();
            return window && window->isVisible() && !window->isReading() && window->summary().ok;
        },
        QStringLiteral("the fleet's figures are shown"), 30000);
    window->resize(640, 760);
    settle(800);
    save(windowShot(window), QStringLiteral("fleet.png"));
    window->close();
}

// The history of the module the guide reads, from its row in the list.
void Scenes::moduleHistory(QWidget *dialog)
{
    auto *view = dialog->findChild<QTableView *>();
    QModelIndex row;
    for (int i = 0; i < view->model()->rowCount() && !row.isValid(); ++i) {
        const QModelIndex sn = view->model()->index(i, 0);
        if (sn.data().toUInt() == EepromImage::builtIn().word(WordSerialNumber))
            row = sn;
    }
    if (!row.isValid())
        throw SceneFailure(QStringLiteral("the read module is not listed"));
    view->scrollTo(row);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(row).center());
    settle(300);
    child<QPushButton>(dialog, "pushButton_History")->click();
    QWidget *history = nullptr;
    waitUntil([&] { return (history = visibleWindow("ModuleHistoryWindow")) != nullptr; },
              QStringLiteral("the module's history is shown"));
    history->resize(900, 760);
    settle(800);
    save(windowShot(history), QStringLiteral("module-history.png"));
    history->close();
}

// The monitor and the sensor values beside the main window.
void Scenes::debugMonitor()
{
    QTest::keyClick(m_window, Qt::Key_Plus);
    QWidget *monitor = nullptr;
    QWidget *sensors = nullptr;
    waitUntil(
        [&] {
            monitor = visibleWindow("DbgTextEdit");
            sensors = visibleWindow("VerificationDialog");
            return monitor && sensors;
        },
        QStringLiteral("the monitor and the sensor values are shown"));
    monitor->resize(330, m_window->height());
    settle(2500);
    save(rowShot({m_window, monitor, sensors}), QStringLiteral("debug-monitor.png"));
    QTest::keyClick(m_window, Qt::Key_Minus);
    waitUntil([&] { return !monitor->isVisible(); }, QStringLiteral("the monitor is closed"));
}

// The database goes away: the read-out lands in the archive folder and the
// database action says why it cannot open the search window.
void Scenes::noDatabase()
{
    child<SSUDialog>(m_window)->setDatabaseHosts(QStringLiteral("127.0.0.1:1"));
    readReport();
    if (ArchiveFile::count(ArchiveFile::directory()) == 0)
        throw SceneFailure(QStringLiteral("no archive file was written without the database"));
    meetModal([this] { child<QAction>(m_window, "actionSSU")->trigger(); },
              [this](QWidget *box) {
                  save(stackShot({m_window, box}), QStringLiteral("no-database.png"));
                  press(box, QMessageBox::Ok);
              },
              QStringLiteral("the program says the database is missing"));
}

// The module, host of the virtual bus, goes away.
void Scenes::linkLost()
{
    meetModal([this] { m_module->stop(); },
              [this](QWidget *box) {
                  save(stackShot({m_window, box}), QStringLiteral("link-lost.png"));
                  press(box, QMessageBox::Retry);
              },
              QStringLiteral("the program says the link is lost"));
    settle(2000);
    stopWindow();
}

// The monitor stream as charts, ten blocks a second as a real module sends,
// then the log the monitor wrote meanwhile.
void Scenes::trends()
{
    setGuideAdapterPort(m_settings.ports[1]);
    m_module->start(m_settings.ports[1], 100);
    startWindow(QStringLiteral("station"));
    waitUntilLinked();
    settle(1500);
    enterServiceMode();
    // The log file is named after the module, whose serial number is read first.
    child<QCheckBox>(m_window, "checkBox_WriteToFile")->click();
    observe(2000);
    child<QAction>(m_window, "actionTrends")->trigger();
    auto *trends = child<TrendsWindow>(m_window);
    // Smaller than its charts ask for, as a window manager may make it; the
    // charts then share the height.
    trends->layout()->setSizeConstraint(QLayout::SetNoConstraint);
    trends->setMinimumSize(0, 0);
    trends->resize(900, 860);
    QTest::keyClick(m_window, Qt::Key_Plus);
    waitUntil([] { return visibleWindow("DbgTextEdit") != nullptr; }, QStringLiteral("the monitor is on"));
    // The charts and the log need the blocks of these seconds.
    observe(1000 * m_settings.liveSeconds);
    save(windowShot(trends), QStringLiteral("trends-live.png"));
    QTest::keyClick(m_window, Qt::Key_Minus);
    waitUntil([] { return visibleWindow("DbgTextEdit") == nullptr; }, QStringLiteral("the monitor is off"));
    const QFileInfoList logs = QDir(QStringLiteral("log")).entryInfoList({QStringLiteral("rvk_sn*.log")}, QDir::Files,
                                                                          QDir::Time);
    if (logs.isEmpty() || logs.first().size() == 0)
        throw SceneFailure(QStringLiteral("the monitor wrote no log"));
    if (!trends->openLog(logs.first().filePath()))
        throw SceneFailure(QStringLiteral("the trends window refused the monitor log"));
    // The log's longer status line widens the window, which a window manager
    // would let grow to the height of the screen.
    settle(300);
    trends->resize(qMax(trends->width(), trends->sizeHint().width()),
                   trends->screen()->availableGeometry().height());
    settle(1000);
    save(windowShot(trends), QStringLiteral("trends-log.png"));
    stopWindow();
    m_module->stop();
}

// The program started without its translation file, English having been
// chosen before: a warning in Russian, then the window in Russian. The
// process's first bus is the one the main run left to it.
void Scenes::runMissingTranslation()
{
    meetModal([this] { startWindow(QStringLiteral("bare-station"), false); },
              [this](QWidget *box) {
                  save(rowShot({box}), QStringLiteral("missing-translation.png"));
                  press(box, QMessageBox::Ok);
              },
              QStringLiteral("the program warns about the missing translation"));
    waitUntil([this] { return m_window != nullptr; }, QStringLiteral("the window is shown"));
    waitUntilLinked();
    settle(1000);
    save(windowShot(m_window), QStringLiteral("missing-translation-window.png"));
    stopWindow();
}
