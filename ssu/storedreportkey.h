#pragma once

#include <QDateTime>
#include <QString>
#include <QVariant>

// What tells one stored report from every other: the invisible row key where
// the table has one; otherwise the serial number, the date and the two
// operating times, which the duplicate rule keeps apart. The serial number
// and the date are kept either way, so an action can still say which report
// it meant.
struct StoredReportKey
{
    quint32 sn = 0;
    QDateTime date;
    QString totalTime;
    QString repairTime;
    // Null where the table has no row key.
    QVariant rowId;
    // A listed row was read into the key. Its date may still be invalid: a
    // stored date the program cannot read (a zero date of an old row).
    bool present = false;

    bool isValid() const { return present; }
};

// How an action on a stored report ended.
enum class StoredReportResult {
    Done,
    // The statement ran and found no such report: another station deleted
    // or replaced it since it was listed.
    NotFound,
    // The statement did not run (no connection, a server error).
    Failed,
};
