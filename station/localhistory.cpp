#include "station/localhistory.h"

#include "protocol/plainfile.h"
#include "report/reportcomparison.h"

#include <QDir>
#include <QFileInfo>

namespace {
// "dd.MM.yyyy HH:mm" and a line end before the record.
constexpr int TimeLineSize = 17;
} // namespace

LocalHistory::LocalHistory(const QString &folder)
    : folder(folder)
{
}

QString LocalHistory::pathOf(quint32 sn) const
{
    return QDir::current().absoluteFilePath(folder + QStringLiteral("/sn%1.rvk").arg(sn));
}

bool LocalHistory::latest(quint32 sn, ReportValues *values) const
{
    QByteArray content;
    if (!PlainFile::read(pathOf(sn), TimeLineSize + ReportRecordSize, &content)
        || content.size() != TimeLineSize + ReportRecordSize || content.at(TimeLineSize - 1) != '\n')
        return false;
    const QByteArray record = content.mid(TimeLineSize);
    // Another module's record under this name would be compared as this one.
    if (quint32(readReportWord(record, WordSerialNumber)) != sn)
        return false;
    // A damaged time would date the comparison wrongly (a report "earlier"
    // than its predecessor); the copy is worth nothing then.
    const QString date = QString::fromLatin1(content.left(TimeLineSize - 1));
    if (!reportDateTime(date).isValid())
        return false;
    *values = decodeReport(record);
    values->date = date;
    return true;
}

bool LocalHistory::remember(quint32 sn, const QByteArray &record, const QString &time, QString *error) const
{
    const QByteArray line = time.toLatin1() + '\n';
    if (line.size() != TimeLineSize || record.size() != ReportRecordSize) {
        if (error)
            *error = QStringLiteral("not a whole report");
        return false;
    }
    if (!QDir().mkpath(QFileInfo(pathOf(sn)).absolutePath())) {
        if (error)
            *error = QStringLiteral("cannot create the folder %1").arg(folder);
        return false;
    }
    return PlainFile::write(pathOf(sn), line + record, error);
}
