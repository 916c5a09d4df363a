#include "protocol/terminaltext.h"

QString terminalSafe(const QString &text)
{
    QString safe = text;
    for (QChar &c : safe) {
        const ushort u = c.unicode();
        if (u == '\n' || u == '\t')
            continue;
        if (u < 0x20 || u == 0x7f || (u >= 0x80 && u < 0xa0))
            c = QChar(QChar::ReplacementCharacter);
    }
    return safe;
}
