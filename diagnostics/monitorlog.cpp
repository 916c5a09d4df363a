#include "diagnostics/monitorlog.h"

namespace MonitorLog {

QString folderName()
{
    return QStringLiteral("log");
}

QString fileName(qint32 serialNumber, const QDateTime &localTime)
{
    return QStringLiteral("rvk_sn%1_%2.log")
        .arg(quint32(serialNumber))
        .arg(localTime.toString(QStringLiteral("dd.MM.yyyy_hh.mm")));
}

QString timeStampLine(const QDateTime &localTime)
{
    return localTime.toString(QStringLiteral("[yyyy-MM-dd hh:mm:ss.zzz]\n"));
}

} // namespace MonitorLog
