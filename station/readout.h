#pragma once

#include <QByteArray>
#include <QDate>
#include <QMetaType>
#include <QString>
#include <QtGlobal>

// The key values of a report as the window's form and the command line show
// them. Unset words read 0 (the numbers) or empty (the texts), and say so in
// their *Set flags, which the form shows on its buttons.
struct KeyValues
{
    qint32 repairTime = 0;
    qint32 serialNumber = 0;
    qint32 impactLevel = 0;
    bool serialNumberSet = false;
    bool releaseDateSet = false;
    bool impactLevelSet = false;

    QString totalTimeText = QStringLiteral("0");
    QString repairTimeText = QStringLiteral("0");
    QString releaseDateText;
    QString firmwareText;
    // The release date as a date; invalid when unset or impossible (a short
    // record reads 0).
    QDate releaseDay;

    static KeyValues fromRecord(const QByteArray &record);
};

// One finished transfer: what arrived, and whether it is the whole report
// that alone may become a document, a database row or an archive file.
struct Readout
{
    QByteArray record;
    int frames = 0;
    bool whole = false;
    // The log file's read-out only names the file; nothing is made of it.
    bool silent = false;
    // The PC's local time of the end notice, "dd.MM.yyyy HH:mm".
    QString time;
    KeyValues values;
};

Q_DECLARE_METATYPE(Readout)
