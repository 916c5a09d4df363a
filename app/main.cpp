#include "app/mainwindow.h"
#include "app/startupsize.h"
#include "station/workingfolder.h"
#include "link/productionbackends.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QMessageBox>
#include <QStyleFactory>

namespace {
void setIdentity()
{
    QCoreApplication::setApplicationName(QStringLiteral("RVKReport"));
    QCoreApplication::setApplicationVersion(QStringLiteral(RVK_VERSION));
}

// The program's options, described once for both readings below.
struct CommandLine
{
    CommandLine()
    {
        parser.setApplicationDescription(
            QStringLiteral("Service tool for the RVK generator power module. Reports, archive files, logs and "
                           "settings are kept in the working folder: the current directory unless chosen below."));
        parser.addOption(workdir);
        parser.addOption(documents);
    }
    QCommandLineParser parser;
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption workdir{{QStringLiteral("w"), QStringLiteral("workdir")},
                                     QStringLiteral("Work in <folder>, created when missing."),
                                     QStringLiteral("folder")};
    const QCommandLineOption documents{QStringLiteral("documents"),
                                       QStringLiteral("Work in \"RVK Report\" in the documents folder "
                                                      "(as the desktop entry does), created when missing.")};
};

// --help and --version are answered before any window system is touched, so
// they work on a terminal without a display, where QApplication aborts. Qt's
// own options (-platform, -style, ...) are unknown to this first reading;
// QApplication takes them, and the full check follows once it exists.
void answerWithoutDisplay(int argc, char **argv)
{
    QCoreApplication core(argc, argv);
    setIdentity();
    CommandLine commandLine;
    commandLine.parser.parse(QCoreApplication::arguments());
    if (commandLine.parser.isSet(commandLine.help))
        commandLine.parser.showHelp();
    if (commandLine.parser.isSet(commandLine.version))
        commandLine.parser.showVersion();
}

// The working folder is chosen before the window exists; its messages are
// for the command line and the desktop entry.
bool chooseWorkingFolder(const QApplication &application)
{
    CommandLine commandLine;
    commandLine.parser.process(application);
    const bool workdirSet = commandLine.parser.isSet(commandLine.workdir);
    const bool documentsSet = commandLine.parser.isSet(commandLine.documents);
    if (workdirSet && documentsSet) {
        QMessageBox::critical(nullptr, QStringLiteral("RVK Report"),
                              QStringLiteral("--workdir and --documents exclude each other."));
        return false;
    }
    QString folder;
    if (workdirSet)
        folder = commandLine.parser.value(commandLine.workdir);
    else if (documentsSet)
        folder = documentsWorkingFolder();
    else
        return true;

    QString error;
    if (enterWorkingFolder(folder, &error))
        return true;
    // The translation is loaded by the window, which is not built yet.
    QMessageBox::critical(nullptr, QStringLiteral("RVK Report"),
                          QStringLiteral("Не удалось открыть рабочую папку: %1.\n\n"
                                         "The working folder cannot be used: %1.")
                              .arg(error));
    return false;
}

} // namespace

int main(int argc, char *argv[])
{
    answerWithoutDisplay(argc, argv);
    quietCanBusPlugins();
    QApplication application(argc, argv);
    setIdentity();
    if (!chooseWorkingFolder(application))
        return 1;
    const std::vector<UnusableLibrary> unusable = installProductionBackends();
    int result = 0;
    {
        MainWindow window;
        QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
        applyStartUpSize(&window);
        window.show();
        for (const UnusableLibrary &problem : unusable)
            window.warnAtStart(libraryProblemTitle(), libraryProblemText(problem.library, problem.failure));
        result = application.exec();
    }
    return result;
}
