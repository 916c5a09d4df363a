#include "keytext.h"

bool parseKeyText(const QString &text, quint64 *key)
{
    QString digits = text.trimmed();
    if (digits.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
        digits = digits.mid(2);
    bool ok = false;
    *key = digits.toULongLong(&ok, 16);
    return ok && !digits.isEmpty() && digits.size() <= 16;
}
