// Fault-injection soak: the real main window reads report after report from
// the simulated module over a private virtual bus while the module drops,
// delays and interleaves frames and the database server behind the window is
// stopped, killed and started again at random moments, and now and then the
// next read-out is requested while the archive pass runs. Afterwards every
// completed read-out must be in exactly one place, a row or an archive file.
//
//   rvk-soak --control /abs/path/scripts/soak [--seed N] [--readouts 200] [--minutes 8]
//
// The control script is called as "<control> db-start|db-stop|db-kill" and
// must leave the server's data in place. Exit code 0 only when nothing was
// lost, nothing doubled, and the window neither crashed nor hung.
#include "app/mainwindow.h"
#include "station/station.h"
#include "link/canbusd2xx.h"
#include "link/canbusdriver.h"
#include "link/d2xxfunctions.h"
#include "link/ktxcanfunctions.h"
#include "protocol/readouttransfer.h"
#include "ssu/ssuendpoints.h"
#include "ssu/gui/ssudialog.h"
#include "tests/soak/soakledger.h"
#include "tests/support/sessioncalls.h"
#include "tests/support/httpfileserver.h"
#include "tests/support/modalanswerer.h"
#include "tests/support/ssutestsupport.h"
#include "tests/support/testmain.h"
#include "tests/support/urlcatcher.h"
#include "tools/rvk-module-sim/eepromimage.h"
#include "tools/rvk-module-sim/simulatedmodule.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QProgressBar>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QThread>
#include <QTimer>

#include <atomic>
#include <cstdio>
#include <memory>
#include <thread>

namespace {

constexpr int FramesPerTransfer = 38; // 37 data frames and the end frame
constexpr int FrameBytes = 8;

void say(const QString &line)
{
    std::printf("%s\n", qPrintable(line));
    std::fflush(stdout);
}

// The server behind the window, switched by the control script in the
// background so that it changes state while the window is busy.
class DatabaseSwitch
{
public:
    explicit DatabaseSwitch(const QString &control) : m_control(control) {}

    bool busy() const { return m_process.state() != QProcess::NotRunning; }
    bool up() const { return m_up; }
    int stops = 0;
    int kills = 0;
    int starts = 0;
    int failures = 0;

    void begin(const QString &action)
    {
        finish();
        m_action = action;
        m_process.start(m_control, {action});
    }
    // Waits for a running switch and books its outcome.
    void finish()
    {
        if (m_action.isEmpty())
            return;
        // waitForFinished() answers false for a process already gone.
        while (m_process.state() != QProcess::NotRunning) {
            m_process.waitForFinished(50);
            QCoreApplication::processEvents();
        }
        if (m_process.exitStatus() != QProcess::NormalExit || m_process.exitCode() != 0) {
            ++failures;
            say(QStringLiteral("  %1 failed: %2").arg(m_action, QString::fromLocal8Bit(m_process.readAll()).trimmed()));
        } else if (m_action == QLatin1String("db-start")) {
            m_up = true;
            ++starts;
        } else {
            m_up = false;
            ++(m_action == QLatin1String("db-kill") ? kills : stops);
        }
        m_action.clear();
    }
    void poll()
    {
        if (!m_action.isEmpty() && !busy())
            finish();
    }

private:
    QString m_control;
    QString m_action;
    QProcess m_process;
    bool m_up = true;
};

// What the module holds for the k-th report: every operating-time word grows
// between reports, as if the module had run for an hour, so that no two
// reports share the upload's duplicate key even when a frame is lost and the
// words shift.
EepromImage imageFor(int k)
{
    EepromImage image = EepromImage::builtIn();
    for (int w = 0; w <= 66; ++w) {
        if (w == WordImpacts)
            continue;
        image.setWord(w, (w + 1) * 100000u + quint32(k) * 3600u + 7u * quint32(w));
    }
    return image;
}

struct Fault
{
    SimulatedModuleOptions options;
    QString name;
    bool completes = true;
};

Fault pickFault(QRandomGenerator &random, const QString &bus)
{
    Fault fault;
    fault.options.bus = bus;
    fault.options.monitorPeriodMs = 500;
    fault.options.frameDelayMs = random.bounded(3);
    const int dice = random.bounded(100);
    if (dice < 50) {
        fault.name = QStringLiteral("clean");
    } else if (dice < 62) {
        fault.options.frameDelayMs = 20 + random.bounded(40);
        fault.name = QStringLiteral("slow");
    } else if (dice < 74) {
        // The window warns about the short transfer and stores nothing of it.
        fault.options.dropFrame = 1 + random.bounded(37);
        fault.completes = false;
        fault.name = QStringLiteral("drop data frame %1").arg(fault.options.dropFrame);
    } else if (dice < 82) {
        fault.options.dropFrame = FramesPerTransfer;
        fault.completes = false;
        fault.name = QStringLiteral("drop end frame");
    } else if (dice < 88) {
        fault.options.stopAfter = 1 + random.bounded(37);
        fault.completes = false;
        fault.name = QStringLiteral("silent after %1").arg(fault.options.stopAfter);
    } else {
        fault.name = QStringLiteral("clean");
    }
    // Foreign frames ride along with any of them.
    if (random.bounded(100) < 30) {
        fault.options.strayEvery = 2 + random.bounded(9);
        fault.name += QStringLiteral(", stray every %1").arg(fault.options.strayEvery);
    }
    return fault;
}

// The bytes the window assembles from a transfer: the data frames the module
// actually sent, in order.
QByteArray assembledRecord(const EepromImage &image, const SimulatedModuleOptions &options)
{
    QByteArray record;
    for (int frame = 1; frame < FramesPerTransfer; ++frame) {
        if (frame == options.dropFrame)
            continue;
        record += image.bytes().mid((frame - 1) * FrameBytes, FrameBytes);
    }
    return record;
}

QList<SoakLedger::Row> databaseRows(const QString &password, QString *error)
{
    QList<SoakLedger::Row> rows;
    const QString name = QStringLiteral("soak-audit");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QMYSQL"), name);
        db.setDatabaseName(QStringLiteral("RVKSSUdb"));
        db.setHostName(QLatin1String(Deployment::databaseHost));
        db.setPort(3666);
        db.setUserName(QStringLiteral("RVKuser"));
        db.setPassword(password);
        if (!db.open()) {
            *error = db.lastError().text();
        } else {
            QSqlQuery query(db);
            if (!query.exec(QStringLiteral("SELECT sn, total_time, repair_time, date FROM rvkreport")))
                *error = query.lastError().text();
            while (query.next())
                rows.append({query.value(0).toUInt(), query.value(1).toString(), query.value(2).toString(),
                             query.value(3).toDateTime()});
        }
    }
    QSqlDatabase::removeDatabase(name);
    return rows;
}

QMap<QString, QByteArray> archiveFiles()
{
    QMap<QString, QByteArray> files;
    for (const QString &name : QDir(QStringLiteral("ssu")).entryList(QDir::Files | QDir::Hidden)) {
        QFile file(QStringLiteral("ssu/") + name);
        if (file.open(QIODevice::ReadOnly))
            files.insert(name, file.readAll());
    }
    return files;
}

// Prints the audit; true when nothing was lost or doubled.
bool report(const QString &when, const SoakLedger &ledger, const QString &password)
{
    QString error;
    const QList<SoakLedger::Row> rows = databaseRows(password, &error);
    const QMap<QString, QByteArray> files = archiveFiles();
    const SoakLedger::Audit audit = ledger.audit(rows, files);
    say(QStringLiteral("%1: rows in database %2, archive files %3").arg(when).arg(rows.size()).arg(files.size()));
    if (!error.isEmpty())
        say(QStringLiteral("  database not readable: %1").arg(error));
    say(QStringLiteral("  completed %1 = in database %2 + in archive %3 + lost %4 + twice %5 + sharing a key %6")
            .arg(audit.completed)
            .arg(audit.inDatabase)
            .arg(audit.inArchive)
            .arg(audit.lost)
            .arg(audit.twice)
            .arg(audit.sharedKeys));
    say(QStringLiteral("  rows with a wrong date %1, unexpected rows %2, unexpected files %3")
            .arg(audit.wrongDate)
            .arg(audit.unexpectedRows)
            .arg(audit.unexpectedFiles));
    for (const QString &problem : audit.problems.mid(0, 30))
        say(QStringLiteral("  ") + problem);
    return error.isEmpty() && audit.lost == 0 && audit.twice == 0 && audit.wrongDate == 0
           && audit.unexpectedRows == 0 && audit.unexpectedFiles == 0
           && audit.inDatabase + audit.inArchive + audit.sharedKeys == audit.completed;
}

// A window blocked outside any event loop cannot be caught from the GUI
// thread itself, so a plain thread watches a heartbeat that a GUI timer
// keeps fresh (it fires in nested loops too).
// Qt's own warnings (a statement on a closed connection, the virtual bus
// chatter) are counted, not printed, so the soak's lines stay readable.
QMap<QString, int> qtMessages;
void countMessage(QtMsgType type, const QMessageLogContext &, const QString &text)
{
    if (type == QtFatalMsg) {
        std::fprintf(stderr, "%s\n", qPrintable(text));
        std::abort();
    }
    ++qtMessages[text.left(70)];
}

std::atomic<qint64> heartbeat{0};
QElapsedTimer sinceStart;

void startWatchdog(int limitSeconds)
{
    std::thread([limitSeconds] {
        for (;;) {
            std::this_thread::sleep_for(std::chrono::seconds(1));
            if (sinceStart.elapsed() - heartbeat.load() > qint64(limitSeconds) * 1000) {
                std::printf("HUNG: the GUI thread has not run its event loop for %d s\n", limitSeconds);
                std::fflush(stdout);
                std::_Exit(3);
            }
        }
    }).detach();
}

} // namespace

int main(int argc, char *argv[])
{
    rvktest::prepareEnvironment();
    qInstallMessageHandler(countMessage);
    QApplication application(argc, argv);
    rvktest::prepareApplication();
    // The soak's own build is configured for its private server: the
    // window under test uses the deployment values, as a station does.
    SsuEndpoints::replace(SsuEndpoints::deployment());

    QCommandLineParser parser;
    parser.addOption({QStringLiteral("control"), QStringLiteral("Script that switches the server."), QStringLiteral("path")});
    parser.addOption({QStringLiteral("seed"), QStringLiteral("Random seed."), QStringLiteral("n")});
    parser.addOption({QStringLiteral("readouts"), QStringLiteral("Read-outs to request."), QStringLiteral("n"), QStringLiteral("200")});
    parser.addOption({QStringLiteral("minutes"), QStringLiteral("Time bound."), QStringLiteral("n"), QStringLiteral("8")});
    parser.addHelpOption();
    parser.process(application);
    if (!parser.isSet(QStringLiteral("control"))) {
        say(QStringLiteral("--control <script> is required"));
        return 2;
    }
    const quint32 seed = parser.isSet(QStringLiteral("seed")) ? parser.value(QStringLiteral("seed")).toUInt()
                                                              : QRandomGenerator::system()->generate();
    const int readouts = parser.value(QStringLiteral("readouts")).toInt();
    const qint64 deadlineMs = parser.value(QStringLiteral("minutes")).toLongLong() * 60 * 1000;
    QRandomGenerator random(seed);
    const bool verbose = qEnvironmentVariableIsSet("RVK_SOAK_VERBOSE");
    say(QStringLiteral("soak: seed %1, %2 read-outs, bound %3 min, database %4:3666, work folder %5")
            .arg(seed)
            .arg(readouts)
            .arg(deadlineMs / 60000)
            .arg(QLatin1String(Deployment::databaseHost), QDir::currentPath()));

    sinceStart.start();
    QTimer beat;
    QObject::connect(&beat, &QTimer::timeout, [] { heartbeat = sinceStart.elapsed(); });
    beat.start(100);
    startWatchdog(60);

    // Absolute: the working folder is already the soak's private one.
    DatabaseSwitch database(parser.value(QStringLiteral("control")));
    const QString password = rvktest::testDatabasePassword();

    const QString bus = SimulatedModule::privateVirtualBus();
    SimulatedModuleOptions moduleOptions;
    moduleOptions.bus = bus;
    SimulatedModule module(moduleOptions);
    QString error;
    if (!module.start(&error)) {
        say(QStringLiteral("the simulated module did not join %1: %2").arg(bus, error));
        return 2;
    }
    installD2xx(std::make_unique<CanBusD2xx>([bus] { return QStringList{bus}; }));
    installKtxDriver(std::make_unique<CanBusDriver>());

    ModalAnswerer answerer;
    HttpFileServer passwordServer;
    SoakLedger ledger;
    int requested = 0;
    int completed = 0;
    int incomplete = 0;
    int unexplained = 0;
    int archivedLive = 0; // completions that left a new archive file
    int maxArchive = 0;
    bool timedOut = false;
    bool ok = false;
    {
        MainWindow window;
        window.show();
        auto *dialog = window.findChild<SSUDialog *>();
        if (!rvktest::bringOnline(*dialog, passwordServer, password)) {
            say(QStringLiteral("the window did not connect to the database at the start"));
            return 2;
        }

        // The impatient user: while the archive pass stores the backlog it
        // keeps the window responsive, and the next module is read at once.
        QProgressBar *uploadBar = nullptr;
        for (QWidget *widget : QApplication::allWidgets())
            if (auto *bar = qobject_cast<QProgressBar *>(widget))
                if (!window.isAncestorOf(bar))
                    uploadBar = bar;
        bool impatientArmed = false;
        bool impatientFired = false;
        QByteArray impatientRecord;
        int impatientCount = 0;
        // The pass runs behind the window now: its progress only marks that
        // one is under way, and the press comes once the read-out in hand
        // has completed, never into the next one's frames.
        bool passMoved = false;
        if (uploadBar)
            QObject::connect(uploadBar, &QProgressBar::valueChanged, [&] { passMoved = true; });
        const auto pressImpatiently = [&] {
            impatientArmed = false;
            impatientFired = true;
            ++impatientCount;
            SimulatedModuleOptions options;
            options.bus = bus;
            module.setOptions(options);
            module.setEeprom(imageFor(readouts + impatientCount));
            impatientRecord = assembledRecord(module.eeprom(), options);
            ++requested;
            window.station()->requestReport();
        };

        for (int k = 1; k <= readouts; ++k) {
            if (sinceStart.elapsed() > deadlineMs) {
                timedOut = true;
                say(QStringLiteral("time bound reached after %1 read-outs").arg(requested));
                break;
            }
            const Fault fault = pickFault(random, bus);
            module.setOptions(fault.options);
            module.setEeprom(imageFor(k));
            const QByteArray expected = assembledRecord(module.eeprom(), fault.options);
            const int urlsBefore = UrlCatcher::instance().reportDocuments().size();
            const int sentBefore = module.reportsSent();
            const int archiveFilesBefore = QDir(QStringLiteral("ssu")).entryList(QDir::Files).size();

            // The server changes state at a random moment of this read-out,
            // now and then: before, during the transfer or during the upload.
            const bool switchNow = !database.busy() && random.bounded(100) < 22;
            const qint64 switchAt = sinceStart.elapsed() + random.bounded(120);
            bool switched = !switchNow;

            impatientArmed = random.bounded(100) < 80;
            impatientFired = false;
            ++requested;
            window.station()->requestReport();

            QElapsedTimer clock;
            clock.start();
            qint64 sentAt = -1;
            bool done = false;
            // Control comes back here only when the window has left every
            // nested loop, so a completion seen here is a finished one.
            while (!done) {
                QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
                database.poll();
                if (!switched && sinceStart.elapsed() >= switchAt) {
                    switched = true;
                    if (database.up())
                        database.begin(random.bounded(3) == 0 ? QStringLiteral("db-kill") : QStringLiteral("db-stop"));
                    else
                        database.begin(QStringLiteral("db-start"));
                }
                if (UrlCatcher::instance().reportDocuments().size() > urlsBefore) {
                    ++completed;
                    const int files = QDir(QStringLiteral("ssu")).entryList(QDir::Files).size();
                    if (files > archiveFilesBefore)
                        ++archivedLive;
                    maxArchive = qMax(maxArchive, files);
                    ledger.addCompleted(expected, QDateTime::currentDateTime());
                    if (!fault.completes) {
                        ++unexplained;
                        say(QStringLiteral("  read-out %1 (%2) completed although the module never sent it whole").arg(k).arg(fault.name));
                    }
                    done = true;
                } else if (module.reportsSent() > sentBefore) {
                    if (sentAt < 0)
                        sentAt = clock.elapsed();
                    // Every frame is on the bus; the window takes one per
                    // 1 ms tick. It refuses a new request until a transfer
                    // without its end has stalled, as a user would wait.
                    if (!fault.completes && clock.elapsed() - sentAt > ReadoutTransfer::stallMs + 100) {
                        ++incomplete;
                        done = true;
                    }
                }
                if (!done && clock.elapsed() > 30000) {
                    ++unexplained;
                    say(QStringLiteral("  read-out %1 (%2) neither completed nor ended within 30 s").arg(k).arg(fault.name));
                    done = true;
                }
            }
            if (impatientArmed && passMoved && window.station()->store()->isUploadingArchive()
                && !window.station()->isReportArriving())
                pressImpatiently();
            passMoved = false;
            impatientArmed = false;
            if (impatientFired) {
                // Its transfer may have ended inside the pass or still be
                // under way; either way it completes once.
                while (UrlCatcher::instance().reportDocuments().size() < urlsBefore + 2 && clock.elapsed() < 30000) {
                    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
                    database.poll();
                }
                if (UrlCatcher::instance().reportDocuments().size() >= urlsBefore + 2) {
                    ++completed;
                    ledger.addCompleted(impatientRecord, QDateTime::currentDateTime());
                } else {
                    ++unexplained;
                    say(QStringLiteral("  the read-out requested during read-out %1's archive pass never completed").arg(k));
                }
            }
            if (UrlCatcher::instance().reportDocuments().size() > urlsBefore + (impatientFired ? 2 : 1)) {
                ++unexplained;
                say(QStringLiteral("  read-out %1 completed more often than requested").arg(k));
            }
            if (verbose)
                say(QStringLiteral("  read-out %1: %2, %3 ms, server %4").arg(k).arg(fault.name).arg(clock.elapsed()).arg(database.up() ? QStringLiteral("up") : QStringLiteral("down")));
            if (k % 20 == 0)
                say(QStringLiteral("  %1 requested, %2 completed, %3 left incomplete by the module, server %4 (%5 stops, %6 kills, %7 starts), %8 s")
                        .arg(requested)
                        .arg(completed)
                        .arg(incomplete)
                        .arg(database.up() ? QStringLiteral("up") : QStringLiteral("down"))
                        .arg(database.stops)
                        .arg(database.kills)
                        .arg(database.starts)
                        .arg(sinceStart.elapsed() / 1000));
        }

        say(QStringLiteral("read-outs requested %1, completed %2, left incomplete by the module %3, unexplained %4")
                .arg(requested)
                .arg(completed)
                .arg(incomplete)
                .arg(unexplained));
        say(QStringLiteral("read-outs requested during an archive pass %1").arg(impatientCount));
        say(QStringLiteral("read-outs archived when they completed %1, most archive files waiting at once %2")
                .arg(archivedLive)
                .arg(maxArchive));
        say(QStringLiteral("server stops %1, kills %2, starts %3, failed switches %4")
                .arg(database.stops)
                .arg(database.kills)
                .arg(database.starts)
                .arg(database.failures));
        database.finish();
        // The audit needs the server; starting it does not make the window
        // connect, so the first audit still sees the archive as left.
        if (!database.up()) {
            database.begin(QStringLiteral("db-start"));
            database.finish();
        }
        // The window stores read-outs one after the other behind the user's
        // back; the audit starts once the last one is stored or archived and
        // no archive pass runs.
        const auto settle = [&] {
            QElapsedTimer waiting;
            waiting.start();
            while ((window.station()->keeper()->pending() > 0 || window.station()->store()->isUploadingArchive())
                   && waiting.elapsed() < 120000) {
                QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
                database.poll();
            }
            if (window.station()->keeper()->pending() > 0)
                say(QStringLiteral("  %1 read-outs still not stored after 120 s")
                        .arg(window.station()->keeper()->pending()));
        };
        settle();
        bool safe = report(QStringLiteral("after the read-outs"), ledger, password);
        // The next connection runs the archive pass, as at the next start.
        rvktest::Sync::connect(dialog->databaseSession());
        settle();
        const bool flushed = report(QStringLiteral("after one more connection"), ledger, password);
        safe = safe && flushed;

        int boxes = 0;
        QMap<QString, int> byText;
        for (const ModalAnswerer::Seen &box : answerer.seen) {
            ++boxes;
            ++byText[box.title + QStringLiteral(": ") + box.text.left(60)];
        }
        say(QStringLiteral("modal boxes answered %1").arg(boxes));
        for (auto it = byText.constBegin(); it != byText.constEnd(); ++it)
            say(QStringLiteral("  %1 x %2").arg(it.value()).arg(it.key()));
        say(QStringLiteral("Qt messages (counted, not shown) %1").arg(qtMessages.size()));
        for (auto it = qtMessages.constBegin(); it != qtMessages.constEnd(); ++it)
            if (it.value() > 0)
                say(QStringLiteral("  %1 x %2").arg(it.value()).arg(it.key()));
        say(QStringLiteral("run time %1 s, seed %2").arg(sinceStart.elapsed() / 1000.0, 0, 'f', 1).arg(seed));
        ok = safe && unexplained == 0 && !timedOut && database.failures == 0;
    }
    installKtxDriver(nullptr);
    installD2xx(nullptr);
    say(ok ? QStringLiteral("SOAK PASSED") : QStringLiteral("SOAK FAILED"));
    return ok ? 0 : 1;
}
