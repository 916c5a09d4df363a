#include "tests/support/testmain.h"
#include "tests/support/testaddresses.h"
#include "tests/support/urlcatcher.h"


#include <QDir>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace rvktest {

namespace {
QTemporaryDir *temporaryDir()
{
    static QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/rvktest-XXXXXX"));
    return &dir;
}
} // namespace

QString workDir()
{
    return temporaryDir()->path() + QStringLiteral("/work");
}

void prepareEnvironment()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir *dir = temporaryDir();
    const QString root = dir->path();
    QDir(root).mkpath(QStringLiteral("work"));
    QDir(root).mkpath(QStringLiteral("config"));
    QDir(root).mkpath(QStringLiteral("home"));
    QDir(root).mkpath(QStringLiteral("runtime"));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(root + QStringLiteral("/config")));
    qputenv("HOME", QFile::encodeName(root + QStringLiteral("/home")));
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(root + QStringLiteral("/runtime")));
    QFile::setPermissions(root + QStringLiteral("/runtime"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QStandardPaths::setTestModeEnabled(true);
    QDir::setCurrent(workDir());
}

void prepareApplication()
{
    UrlCatcher::install();
    useTestEndpoints();
}

} // namespace rvktest
