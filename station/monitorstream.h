#pragma once

#include "protocol/canmessage.h"

#include <QDateTime>
#include <QFile>
#include <QObject>
#include <QString>
#include <QTextStream>

// The module's debug text: each frame's text as it may be shown, each
// complete block with the one time the charts and the log give it, and the
// log of those blocks in the working folder.
class MonitorStream : public QObject
{
    Q_OBJECT
public:
    explicit MonitorStream(QObject *parent = nullptr);
    ~MonitorStream() override;

    void takeFrame(const CanMessage &message);
    // Opens (appending) the log named after the module with this serial
    // number; path is where it is, opened or not.
    bool openLog(qint32 serialNumber, QString *path);
    void closeLog();
    // Blocks go to an open log only while it is wanted.
    void setLogWanted(bool wanted) { logWanted = wanted; }

signals:
    void monitorText(const QString &text);
    void monitorBlock(const QString &block, const QDateTime &time);

private:
    QString chunk;
    QString blockText;
    QFile logFile;
    QTextStream logStream;
    bool logWanted = false;
};
