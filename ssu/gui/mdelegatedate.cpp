#include "ssu/gui/mdelegatedate.h"

#include <QDate>

QString mDelegateDate::displayText(const QVariant &value, const QLocale &) const
{
    return value.toDate().toString(QStringLiteral("dd.MM.yyyy"));
}
