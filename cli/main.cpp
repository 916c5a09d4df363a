#include "cli/commandline.h"
#include "link/libraryproblem.h"
#include "link/productionbackends.h"

#include <QCoreApplication>
#include <QTextStream>
#include <cstdio>

int main(int argc, char *argv[])
{
    quietCanBusPlugins();
    QCoreApplication application(argc, argv);
    // The window's name: the language, the adapter chosen last and the
    // settings are shared with it.
    QCoreApplication::setApplicationName(QStringLiteral("RVKReport"));
    QCoreApplication::setApplicationVersion(QStringLiteral(RVK_VERSION));
    QTextStream out(stdout);
    QTextStream err(stderr);
    for (const UnusableLibrary &problem : installProductionBackends())
        err << libraryProblemText(problem.library, problem.failure) << Qt::endl;
    return runCommandLine(QCoreApplication::arguments().mid(1), out, err);
}
