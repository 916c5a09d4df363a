#include "ssu/archivedate.h"

QString reportDateFromArchiveName(const QString &fileName)
{
    QString date = fileName;
    date.remove(QStringLiteral("ssu_sn"), Qt::CaseSensitive);
    date.remove(QStringLiteral(".bin"), Qt::CaseSensitive);
    // The serial number and its separator.
    const int separator = date.indexOf(QLatin1Char('_'));
    date.remove(0, separator + 1);
    date.replace(QLatin1Char('_'), QLatin1Char(' '));
    const int lastDot = date.lastIndexOf(QLatin1Char('.'));
    if (lastDot >= 0)
        date[lastDot] = QLatin1Char(':');
    return date;
}
