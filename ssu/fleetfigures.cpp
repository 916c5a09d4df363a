#include "ssu/fleetfigures.h"

#include "report/histogramtable.h"

#include <cmath>

namespace {
QString number(double value, const QLocale &locale, int decimals = 1)
{
    return std::isnan(value) ? QStringLiteral("—") : locale.toString(value, 'f', decimals);
}
} // namespace

QStringList FleetFigures::names(quint32 language)
{
    QStringList rows{
        tr("Модулей"),
        tr("Наработка, ч: медиана"),
        tr("Наработка, ч: 10-й процентиль"),
        tr("Наработка, ч: 90-й процентиль"),
        tr("Возраст, лет: медиана"),
        tr("Возраст, лет: 10-й процентиль"),
        tr("Возраст, лет: 90-й процентиль"),
        tr("Наработка за год возраста, ч: медиана"),
        tr("Наработка за год возраста, ч: 10-й процентиль"),
        tr("Наработка за год возраста, ч: 90-й процентиль"),
        tr("Ударов на 100 ч наработки"),
    };
    const QVector<HistogramParameter> &parameters = histogramParameters();
    for (int p = 0; p < HistogramParameterCount; ++p) {
        const HistogramParameter &parameter = parameters.at(p);
        for (const HistogramBin &bin : parameter.bins) {
            // An open last bin shows only its lower bound, as the report does.
            const QString upper = bin.upper == OpenUpperBound ? QString() : QString::number(bin.upper);
            rows << tr("%1 %2…%3 %4, %")
                        .arg(parameter.caption(language), QString::number(bin.lower), upper, parameter.unit(language));
        }
    }
    return rows;
}

QStringList FleetFigures::values(const FleetGroup &group, const QLocale &locale)
{
    QStringList cells{QString::number(group.modules)};
    for (const FleetPercentiles *spread : {&group.hours, &group.ageYears, &group.hoursPerYear}) {
        const int decimals = spread == &group.ageYears ? 2 : 1;
        cells << number(spread->median, locale, decimals) << number(spread->p10, locale, decimals)
              << number(spread->p90, locale, decimals);
    }
    cells << number(group.impactsPer100Hours, locale, 2);
    const QVector<HistogramParameter> &parameters = histogramParameters();
    for (int p = 0; p < HistogramParameterCount; ++p) {
        for (int k = 0; k < parameters.at(p).bins.size(); ++k)
            cells << number(group.binShares.value(p).value(k, qQNaN()), locale);
    }
    return cells;
}
