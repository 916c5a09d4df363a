#include "protocol/commandvalue.h"

qint32 decimalCommandValue(const QString &displayedText)
{
    bool ok = false;
    const qint32 value = displayedText.trimmed().toInt(&ok, 10);
    return ok ? value : 0;
}

qint32 dateCommandValue(const QString &displayedDate)
{
    QString digits = displayedDate;
    digits.remove(QLatin1Char('.'));
    return decimalCommandValue(digits);
}
