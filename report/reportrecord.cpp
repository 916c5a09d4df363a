#include "reportrecord.h"

#include <QtEndian>

qint32 readReportWord(const QByteArray &record, int index)
{
    if (index < 0 || record.size() < 4 * index + 4)
        return 0;
    return qFromLittleEndian<qint32>(record.constData() + 4 * index);
}
