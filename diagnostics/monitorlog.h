#pragma once

#include <QDateTime>
#include <QString>
#include <QtGlobal>

// Names and entry headers of the monitor log files.
namespace MonitorLog {

// The folder, relative to the working directory, that holds the logs.
QString folderName();

// "rvk_sn<serial>_<dd.MM.yyyy_hh.mm>.log"; the serial number is printed
// unsigned, as the module stores it.
QString fileName(qint32 serialNumber, const QDateTime &localTime);

// The line that opens every log entry, milliseconds included.
QString timeStampLine(const QDateTime &localTime);

} // namespace MonitorLog
