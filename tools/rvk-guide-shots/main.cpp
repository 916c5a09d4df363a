// rvk-guide-shots: the pictures of the user guide, made from the program's
// own windows against the simulated module (see scripts/guide-screenshots).
#include "ssu/ssuendpoints.h"
#include "tools/rvk-guide-shots/driving.h"
#include "tools/rvk-guide-shots/scenes.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QLoggingCategory>
#include <QProcess>
#include <QStyleFactory>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTextStream>

namespace {
const char *const missingTranslationFlag = "missing-translation";

// Settings, runtime files and the home folder of the run's own, so that
// nothing of the user's is read or touched. Set before the application
// exists, and inherited by the second process.
void useScratchEnvironment(const QDir &scratch)
{
    for (const char *folder : {"config", "home", "runtime"})
        scratch.mkpath(QLatin1String(folder));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(scratch.filePath(QStringLiteral("config"))));
    qputenv("HOME", QFile::encodeName(scratch.filePath(QStringLiteral("home"))));
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(scratch.filePath(QStringLiteral("runtime"))));
    QFile::setPermissions(scratch.filePath(QStringLiteral("runtime")),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

// Three ports from the first given, or three that are free now, so that
// runs beside the tests never join one of their buses.
void choosePorts(int first, int *ports)
{
    QTcpServer servers[3];
    for (int i = 0; i < 3; ++i) {
        if (first > 0)
            ports[i] = first + i;
        else if (servers[i].listen(QHostAddress::LocalHost))
            ports[i] = servers[i].serverPort();
    }
}

// The same program from a folder without the translation file.
void runWithoutTranslation(const SceneSettings &settings)
{
    const QDir bare(QDir(settings.scratchDir).filePath(QStringLiteral("bare")));
    bare.mkpath(QStringLiteral("."));
    const QString copy = bare.filePath(QStringLiteral("rvk-guide-shots"));
    QFile::remove(copy);
    if (!QFile::copy(QCoreApplication::applicationFilePath(), copy))
        throw SceneFailure(QStringLiteral("cannot copy the program to %1").arg(bare.path()));
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    QStringList arguments{QStringLiteral("--out"), settings.outDir, QStringLiteral("--port"),
                          QString::number(settings.ports[2]), QStringLiteral("--scratch"), settings.scratchDir,
                          QStringLiteral("--database"), SsuEndpoints::current().databaseHosts,
                          QStringLiteral("--") + QLatin1String(missingTranslationFlag)};
    if (settings.quick)
        arguments << QStringLiteral("--quick");
    process.start(copy, arguments);
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        throw SceneFailure(QStringLiteral("the run without the translation file failed"));
}
} // namespace

int main(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Makes the pictures of the user guide from the program's windows. Needs the test database "
        "(scripts/test-db start) and a display or -platform offscreen."));
    parser.addHelpOption();
    const QCommandLineOption out(QStringLiteral("out"), QStringLiteral("Folder for the PNG files."),
                                 QStringLiteral("folder"), QStringLiteral("docs/images"));
    const QCommandLineOption port(QStringLiteral("port"),
                                  QStringLiteral("First of three private virtual CAN bus ports (default: free ones)."),
                                  QStringLiteral("port"), QStringLiteral("0"));
    const QCommandLineOption noBrowser(QStringLiteral("without-browser"),
                                       QStringLiteral("Leave out report.png, which needs chromium."));
    const QCommandLineOption live(QStringLiteral("live-seconds"),
                                  QStringLiteral("How long the trends window follows the monitor (default 40)."),
                                  QStringLiteral("seconds"), QStringLiteral("40"));
    const QCommandLineOption scratch(QStringLiteral("scratch"), QStringLiteral("Scratch folder to use and keep."),
                                     QStringLiteral("folder"));
    const QCommandLineOption missing(QLatin1String(missingTranslationFlag),
                                     QStringLiteral("Only the scene without the translation file (run by the tool "
                                                    "itself from a copy)."));
    const QCommandLineOption platform(QStringLiteral("platform"), QStringLiteral("Qt platform plugin."),
                                      QStringLiteral("name"));
    const QCommandLineOption database(QStringLiteral("database"),
                                      QStringLiteral("The test database (default: the build's database host)."),
                                      QStringLiteral("host:port"));
    const QCommandLineOption quick(QStringLiteral("quick"),
                                   QStringLiteral("Play every scene without the pauses that let the pictures paint "
                                                  "(a check of the scenes, not pictures to keep)."));
    parser.addOptions({out, port, scratch, missing, noBrowser, live, platform, database, quick});
    parser.process(arguments);

    QTemporaryDir temporary(QDir::tempPath() + QStringLiteral("/rvk-guide-XXXXXX"));
    SceneSettings settings;
    settings.outDir = QDir(parser.value(out)).absolutePath();
    settings.scratchDir = parser.isSet(scratch) ? QDir(parser.value(scratch)).absolutePath() : temporary.path();
    settings.withBrowser = !parser.isSet(noBrowser);
    settings.liveSeconds = parser.value(live).toInt();
    settings.quick = parser.isSet(quick);
    setQuick(settings.quick);
    settings.databasePassword = qEnvironmentVariable("RVK_TEST_DB_PASSWORD", QStringLiteral("rvk-test-password"));
    // The windows look for the SSU at the test database; the password comes
    // from the tool's own server, which each scene names.
    if (parser.isSet(database)) {
        SsuEndpoints endpoints = SsuEndpoints::deployment();
        endpoints.databaseHosts = parser.value(database);
        endpoints.databaseCaFile.clear();
        SsuEndpoints::replace(endpoints);
    }
    useScratchEnvironment(QDir(settings.scratchDir));
    QDir().mkpath(settings.outDir);

    QApplication application(argc, argv);
    // The virtual bus reports every client coming and going.
    QLoggingCategory::setFilterRules(QStringLiteral("qt.canbus.plugins.virtualcan.info=false"));
    QApplication::setApplicationName(QStringLiteral("RVKReport"));
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    choosePorts(parser.value(port).toInt(), settings.ports);
    try {
        Scenes scenes(settings);
        if (parser.isSet(missing)) {
            scenes.runMissingTranslation();
        } else {
            scenes.runMain();
            runWithoutTranslation(settings);
        }
    } catch (const SceneFailure &failure) {
        QTextStream(stderr) << "rvk-guide-shots: " << failure.what() << '\n';
        return 1;
    }
    return 0;
}
