#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

namespace bench {

// A memory figure of the process in MB ("VmRSS", "VmHWM"), as the kernel
// counts it; -1 where /proc is not there.
inline double statusMegabytes(const QByteArray &field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(field + ':'))
            return line.mid(field.size() + 1).trimmed().split(' ').value(0).toDouble() / 1024.0;
    }
    return -1;
}

// The resident memory now, and the most it has been since the start.
inline double residentMegabytes()
{
    return statusMegabytes("VmRSS");
}
inline double peakMegabytes()
{
    return statusMegabytes("VmHWM");
}

// One block of readings as the module prints it; the numbers move so that
// every block differs.
inline QString sensorBlock(int n)
{
    return QStringLiteral("Freq=%1\r\nRPM=%2\r\nVin=%3\r\nVout=%4\r\nAout=%5\r\nTemp=%6\r\n"
                          "Xaccel=0.%7\r\nYaccel=0.%8\r\ndataMaximal_X=1.%7\r\ndataAverage_X=0.%8\r\n"
                          "dataMaximal_Y=1.%8\r\ndataAverage_Y=0.%7\r\ndataMaximal=1.%9\r\nstatus: ok\r\n"
                          "dataAverage=0.%9\r\n")
        .arg(400.0 + (n % 100) / 10.0, 0, 'f', 2)
        .arg(2200 + n % 400)
        .arg(27.0 + (n % 50) / 100.0, 0, 'f', 2)
        .arg(28.0 + (n % 30) / 100.0, 0, 'f', 2)
        .arg(600.0 + (n % 70), 0, 'f', 1)
        .arg(40.0 + (n % 90) / 10.0, 0, 'f', 2)
        .arg(n % 997, 3, 10, QLatin1Char('0'))
        .arg(n % 991, 3, 10, QLatin1Char('0'))
        .arg(n % 983, 3, 10, QLatin1Char('0'));
}

} // namespace bench
