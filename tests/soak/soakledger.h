#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

// Where every completed read-out of a soak ended up. A read-out is safe when
// exactly one place holds it: a row with its key (serial number and the two
// operating times, the upload's duplicate rule) or an archive file with its
// bytes. Anything else is lost or doubled.
class SoakLedger
{
public:
    struct Row
    {
        quint32 sn = 0;
        QString totalTime;
        QString repairTime;
        QDateTime date;
    };

    // A read-out the window completed: the bytes it assembled and when.
    void addCompleted(const QByteArray &record, const QDateTime &completedAt);

    struct Audit
    {
        int completed = 0;
        int inDatabase = 0;    // completed read-outs found as a row
        int inArchive = 0;     // completed read-outs found as an archive file
        int lost = 0;          // neither
        int twice = 0;         // more than one place or more than one row
        int wrongDate = 0;     // row dated neither the completion minute nor the one before
        int sharedKeys = 0;    // completed read-outs whose key another one has too
        int unexpectedRows = 0;
        int unexpectedFiles = 0;
        QStringList problems;  // one line per lost, doubled or unexpected item
    };
    // archive: file name -> content of every file in "ssu/".
    Audit audit(const QList<Row> &rows, const QMap<QString, QByteArray> &archive) const;

    // The key under which the upload stores a record.
    static QString keyOf(const QByteArray &record);

private:
    struct Completed
    {
        QByteArray record;
        QDateTime at;
    };
    QList<Completed> m_completed;
};
