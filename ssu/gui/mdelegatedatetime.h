#pragma once

#include <QStyledItemDelegate>

// Shows a date-time as dd.MM.yyyy hh:mm in every language, the minute
// resolution a stored report is identified by.
class mDelegateDateTime : public QStyledItemDelegate
{
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QString displayText(const QVariant &value, const QLocale &locale) const override;
};
