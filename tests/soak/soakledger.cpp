#include "tests/soak/soakledger.h"

#include "report/reportrecord.h"

#include <QHash>
#include <QSet>

namespace {
QString key(quint32 sn, const QString &total, const QString &repair)
{
    return QStringLiteral("sn %1 total %2 repair %3").arg(sn).arg(total, repair);
}
} // namespace

QString SoakLedger::keyOf(const QByteArray &record)
{
    const ReportValues values = decodeReport(record);
    return key(values.sn, values.total_time, values.repair_time);
}

void SoakLedger::addCompleted(const QByteArray &record, const QDateTime &completedAt)
{
    m_completed.append({record, completedAt});
}

SoakLedger::Audit SoakLedger::audit(const QList<Row> &rows, const QMap<QString, QByteArray> &archive) const
{
    Audit result;
    result.completed = m_completed.size();

    QHash<QString, QList<Row>> rowsByKey;
    for (const Row &row : rows)
        rowsByKey[key(row.sn, row.totalTime, row.repairTime)].append(row);
    QHash<QByteArray, QStringList> filesByContent;
    for (auto it = archive.constBegin(); it != archive.constEnd(); ++it)
        filesByContent[it.value()].append(it.key());

    QHash<QString, int> keyUse;
    for (const Completed &item : m_completed)
        ++keyUse[keyOf(item.record)];

    QSet<QString> claimedKeys;
    QSet<QByteArray> claimedContents;
    for (int i = 0; i < m_completed.size(); ++i) {
        const Completed &item = m_completed.at(i);
        const QString itemKey = keyOf(item.record);
        claimedKeys.insert(itemKey);
        claimedContents.insert(item.record);
        if (keyUse.value(itemKey) > 1) {
            // The duplicate rule merges these on purpose; they cannot be
            // told apart afterwards, so they are counted but not judged.
            ++result.sharedKeys;
            continue;
        }
        const QList<Row> found = rowsByKey.value(itemKey);
        const QStringList files = filesByContent.value(item.record);
        const int places = found.size() + files.size();
        const QString what = QStringLiteral("read-out %1 (%2, completed %3)")
                                 .arg(i + 1)
                                 .arg(itemKey, item.at.toString(QStringLiteral("HH:mm:ss.zzz")));
        if (places == 0) {
            ++result.lost;
            result.problems << QStringLiteral("LOST ") + what;
            continue;
        }
        if (places > 1) {
            ++result.twice;
            result.problems << QStringLiteral("TWICE %1: %2 row(s), files %3")
                                   .arg(what)
                                   .arg(found.size())
                                   .arg(files.join(QLatin1Char(' ')));
            continue;
        }
        if (found.isEmpty()) {
            ++result.inArchive;
            continue;
        }
        ++result.inDatabase;
        // The read-out time is stamped when the transfer ends, a moment
        // before the soak notices, so the previous minute is right as well.
        const QDateTime minute = item.at.addSecs(-item.at.time().second()).addMSecs(-item.at.time().msec());
        const QDateTime date = found.first().date;
        if (date != minute && date != minute.addSecs(-60)) {
            ++result.wrongDate;
            result.problems << QStringLiteral("WRONG DATE %1: row dated %2")
                                   .arg(what, date.toString(QStringLiteral("dd.MM.yyyy HH:mm:ss")));
        }
    }

    for (auto it = rowsByKey.constBegin(); it != rowsByKey.constEnd(); ++it)
        if (!claimedKeys.contains(it.key())) {
            result.unexpectedRows += it.value().size();
            result.problems << QStringLiteral("UNEXPECTED row %1").arg(it.key());
        }
    for (auto it = archive.constBegin(); it != archive.constEnd(); ++it)
        if (!claimedContents.contains(it.value())) {
            ++result.unexpectedFiles;
            result.problems << QStringLiteral("UNEXPECTED file %1 (%2 bytes)").arg(it.key()).arg(it.value().size());
        }
    return result;
}
