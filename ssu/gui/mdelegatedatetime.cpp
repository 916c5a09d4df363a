#include "ssu/gui/mdelegatedatetime.h"

#include <QDateTime>

QString mDelegateDateTime::displayText(const QVariant &value, const QLocale &) const
{
    return value.toDateTime().toString(QStringLiteral("dd.MM.yyyy hh:mm"));
}
