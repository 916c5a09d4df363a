#include "protocol/programidentity.h"

#include <QCoreApplication>

namespace ProgramIdentity {

QSettings nativeSettings()
{
    return QSettings(QLatin1String(Organisation), QLatin1String(SettingsApplication));
}

QString translationFilePath()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/RVKReport_en_GB.qm");
}

} // namespace ProgramIdentity
