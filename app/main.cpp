#include "app/mainwindow.h"
#include "app/workingfolder.h"
#include "link/productionbackends.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QMessageBox>
#include <QStyleFactory>

namespace {
// The working folder is chosen before the window exists; its options and
// messages are for the command line and the desktop entry.
bool chooseWorkingFolder(const QApplication &application)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Service tool for the RVK generator power module. Reports, archive files, logs and "
                       "settings are kept in the working folder: the current directory unless chosen below."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption workdir({QStringLiteral("w"), QStringLiteral("workdir")},
                                     QStringLiteral("Work in <folder>, created when missing."),
                                     QStringLiteral("folder"));
    const QCommandLineOption documents(QStringLiteral("documents"),
                                       QStringLiteral("Work in \"RVK Report\" in the documents folder "
                                                      "(as the desktop entry does), created when missing."));
    parser.addOption(workdir);
    parser.addOption(documents);
    parser.process(application);

    if (parser.isSet(workdir) && parser.isSet(documents)) {
        QMessageBox::critical(nullptr, QStringLiteral("RVK Report"),
                              QStringLiteral("--workdir and --documents exclude each other."));
        return false;
    }
    QString folder;
    if (parser.isSet(workdir))
        folder = parser.value(workdir);
    else if (parser.isSet(documents))
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
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("RVKReport"));
    QApplication::setApplicationVersion(QStringLiteral(RVK_VERSION));
    if (!chooseWorkingFolder(application))
        return 1;
    const std::vector<UnusableLibrary> unusable = installProductionBackends();
    int result = 0;
    {
        MainWindow window;
        QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
        window.resize(window.width(), window.minimumHeight());
        window.show();
        for (const UnusableLibrary &problem : unusable)
            QMessageBox::warning(&window, libraryProblemTitle(), libraryProblemText(problem.library, problem.failure));
        result = application.exec();
    }
    return result;
}
