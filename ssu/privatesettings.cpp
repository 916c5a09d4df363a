#include "ssu/privatesettings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

void makeSettingsPrivate(const QSettings &settings)
{
#ifdef Q_OS_UNIX
    const QString fileName = settings.fileName();
    if (fileName.isEmpty())
        return;
    const QFileDevice::Permissions ownerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
    if (!QFileInfo::exists(fileName)) {
        QDir().mkpath(QFileInfo(fileName).path());
        QFile file(fileName);
        // Created empty, so nothing is exposed before the permissions are set.
        if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
            return;
    }
    QFile::setPermissions(fileName, ownerOnly);
#else
    Q_UNUSED(settings);
#endif
}
