#include "station/monitorstream.h"

#include "diagnostics/monitorframes.h"
#include "diagnostics/monitorlog.h"

#include <QDir>

MonitorStream::MonitorStream(QObject *parent)
    : QObject(parent)
{
}

MonitorStream::~MonitorStream()
{
    closeLog();
}

bool MonitorStream::openLog(qint32 serialNumber, QString *path)
{
    QDir::current().mkpath(MonitorLog::folderName());
    const QString name = QDir::currentPath() + QLatin1Char('/') + MonitorLog::folderName() + QLatin1Char('/')
                         + MonitorLog::fileName(serialNumber, QDateTime::currentDateTime());
    if (path)
        *path = name;
    closeLog();
    logFile.setFileName(name);
    if (!logFile.open(QIODevice::Append | QIODevice::Text))
        return false;
    logStream.setDevice(&logFile);
    return true;
}

void MonitorStream::closeLog()
{
    logStream.setDevice(nullptr);
    logFile.close();
}

void MonitorStream::takeFrame(const CanMessage &message)
{
    const QString text = MonitorFrames::frameText(message.data);
    chunk += text;
    chunk.remove(QLatin1Char('\r'));
    emit monitorText(MonitorFrames::displayText(chunk));

    blockText += text;
    if (MonitorFrames::completesBlock(blockText, chunk)) {
        // One time for the charts and the log, so a saved log charts alike.
        const QDateTime now = QDateTime::currentDateTime();
        emit monitorBlock(blockText, now);
        if (logWanted && logFile.isOpen()) {
            QString logged = blockText;
            logged.remove(QLatin1Char('\r'));
            logStream << MonitorLog::timeStampLine(now) << logged;
            logStream.flush();
        }
        blockText.clear();
    } else {
        MonitorFrames::boundBlock(blockText, MonitorFrames::maximumBlockLength);
    }
    chunk.clear();
}
