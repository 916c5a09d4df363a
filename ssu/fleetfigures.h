#pragma once

#include "ssu/fleetquery.h"

#include <QCoreApplication>
#include <QLocale>
#include <QStringList>

// The figures the fleet window shows of a group, one row each: the counts
// and spreads, then one row per histogram bin of every parameter.
class FleetFigures
{
    Q_DECLARE_TR_FUNCTIONS(FleetFigures)
public:
    // The rows' names; the bins' in the language of the documents (0
    // Russian, 1 English), as the report's histogram captions are.
    static QStringList names(quint32 language);
    // The group's figures in the rows' order, numbers as the locale writes
    // them; a figure the group lacks is a dash.
    static QStringList values(const FleetGroup &group, const QLocale &locale);
};
