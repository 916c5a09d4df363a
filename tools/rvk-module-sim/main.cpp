// rvk-module-sim: the RVK module on a CAN bus, for working without hardware.
#include "tools/rvk-module-sim/simulatedmodule.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDateTime>
#include <QLoggingCategory>
#include <QSocketNotifier>
#include <QTextStream>
#include <csignal>
#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace {
int intOption(const QCommandLineParser &parser, const QString &name, bool *ok)
{
    bool converted = false;
    const int value = parser.value(name).toInt(&converted);
    if (!converted || value < 0) {
        QTextStream(stderr) << "rvk-module-sim: --" << name << " needs a whole number >= 0\n";
        *ok = false;
    }
    return value;
}

#ifdef Q_OS_WIN
// Windows calls the handler on a thread of its own; the quit is queued to the
// event loop's.
BOOL WINAPI quitOnConsoleEvent(DWORD)
{
    QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit, Qt::QueuedConnection);
    return TRUE;
}
#else
int signalPipe[2] = {-1, -1};

// Only a write is safe in a signal handler; the event loop quits on reading it.
void quitOnSignal(int)
{
    const char byte = 1;
    (void)::write(signalPipe[1], &byte, 1);
}
#endif

// Reads the command line into options; false after telling what is wrong.
bool parseOptions(const QCoreApplication &application, SimulatedModuleOptions *options, bool *quiet)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Simulated RVK module: answers report requests and commands and streams debug monitor text on a CAN bus."));
    parser.addHelpOption();
    parser.addOptions({
        {{QStringLiteral("b"), QStringLiteral("bus")},
         QStringLiteral("CAN bus to join as plugin/interface (default virtualcan/can0)."), QStringLiteral("bus"),
         QStringLiteral("virtualcan/can0")},
        {{QStringLiteral("e"), QStringLiteral("eeprom")},
         QStringLiteral("EEPROM image file (296 bytes); created from the built-in image when missing, saved when written."),
         QStringLiteral("file")},
        {QStringLiteral("monitor-period"), QStringLiteral("Milliseconds between debug monitor blocks (default 500)."),
         QStringLiteral("ms"), QStringLiteral("500")},
        {QStringLiteral("hours-per-report"),
         QStringLiteral("Hours the module runs after each report it sends, an impact per ten (default 0)."),
         QStringLiteral("hours"), QStringLiteral("0")},
        {QStringLiteral("frame-delay"), QStringLiteral("Milliseconds between report frames (default 0)."),
         QStringLiteral("ms"), QStringLiteral("0")},
        {QStringLiteral("drop-frame"), QStringLiteral("Leave out report frame N (1-38; 38 is the end frame)."),
         QStringLiteral("N"), QStringLiteral("0")},
        {QStringLiteral("stop-after"), QStringLiteral("Send only the first N report frames, then fall silent."),
         QStringLiteral("N"), QStringLiteral("0")},
        {QStringLiteral("stray"), QStringLiteral("Send a frame with a foreign identifier before every Nth report frame."),
         QStringLiteral("N"), QStringLiteral("0")},
        {QStringLiteral("unacknowledged"),
         QStringLiteral("Store the value of the command with this identifier (e.g. 0x7A3) but never acknowledge it."),
         QStringLiteral("id"), QStringLiteral("0")},
        {{QStringLiteral("q"), QStringLiteral("quiet")}, QStringLiteral("Do not log received frames.")},
    });
    parser.process(application);

    bool ok = true;
    options->bus = parser.value(QStringLiteral("bus"));
    options->eepromFile = parser.value(QStringLiteral("eeprom"));
    options->monitorPeriodMs = intOption(parser, QStringLiteral("monitor-period"), &ok);
    options->hoursPerReport = intOption(parser, QStringLiteral("hours-per-report"), &ok);
    options->frameDelayMs = intOption(parser, QStringLiteral("frame-delay"), &ok);
    options->dropFrame = intOption(parser, QStringLiteral("drop-frame"), &ok);
    options->stopAfter = intOption(parser, QStringLiteral("stop-after"), &ok);
    options->strayEvery = intOption(parser, QStringLiteral("stray"), &ok);
    bool idOk = false;
    options->unacknowledgedCommand = quint16(parser.value(QStringLiteral("unacknowledged")).toUInt(&idOk, 0));
    ok = ok && idOk;
    *quiet = parser.isSet(QStringLiteral("quiet"));
    return ok;
}

void logToStandardOutput(SimulatedModule &module)
{
    QObject::connect(&module, &SimulatedModule::logLine, [](const QString &line) {
        QTextStream out(stdout);
        out << QDateTime::currentDateTime().toString(QStringLiteral("hh:mm:ss.zzz")) << ' ' << line << '\n';
        out.flush();
    });
}

// Ctrl+C and a plain kill (on Windows, closing the console) end the event loop, so the module leaves the bus
// as on a normal exit.
void quitOnSignals(QCoreApplication &application)
{
#ifdef Q_OS_WIN
    Q_UNUSED(application)
    SetConsoleCtrlHandler(quitOnConsoleEvent, TRUE);
#else
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0)
        return;
    auto *notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, &application);
    QObject::connect(notifier, &QSocketNotifier::activated, &application, &QCoreApplication::quit);
    std::signal(SIGINT, quitOnSignal);
    std::signal(SIGTERM, quitOnSignal);
#endif
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("rvk-module-sim"));
    // The virtual bus reports every client coming and going; the module's
    // own log says what matters.
    QLoggingCategory::setFilterRules(QStringLiteral("qt.canbus.plugins.virtualcan.info=false"));

    SimulatedModuleOptions options;
    bool quiet = false;
    if (!parseOptions(application, &options, &quiet))
        return 2;
    SimulatedModule module(options);
    if (!quiet)
        logToStandardOutput(module);
    QString error;
    if (!module.start(&error)) {
        QTextStream(stderr) << "rvk-module-sim: " << error << '\n';
        return 1;
    }
    quitOnSignals(application);
    return application.exec();
}
