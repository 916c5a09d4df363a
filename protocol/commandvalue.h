#pragma once

#include <QString>
#include <QtGlobal>

// The set commands send what the user sees, not the widget's internal value:
// the displayed text read as a decimal number. Text that does not convert
// (or does not fit in 32 bits) is sent as 0.
qint32 decimalCommandValue(const QString &displayedText);

// A displayed date "dd.MM.yyyy" with its dots removed, read as a decimal
// number: "06.12.2026" gives 6122026. The module stores it that way; the
// leading zero of the day is restored when the report is read.
qint32 dateCommandValue(const QString &displayedDate);
