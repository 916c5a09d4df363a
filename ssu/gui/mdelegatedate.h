#pragma once

#include <QStyledItemDelegate>

// Shows a date as dd.MM.yyyy in every language: the table's dates must read
// the same as those printed in the reports, not follow the locale.
class mDelegateDate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QString displayText(const QVariant &value, const QLocale &locale) const override;
};
