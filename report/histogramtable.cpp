#include "report/histogramtable.h"

namespace {

// Bins of one parameter occupy consecutive total words; the inter-repair
// copy of every word sits 34 words further on.
QVector<HistogramBin> bins(int firstTotalWord, std::initializer_list<int> lowerBounds)
{
    QVector<HistogramBin> result;
    const QVector<int> lowers(lowerBounds);
    for (int i = 0; i < lowers.size(); ++i) {
        const int word = firstTotalWord + i;
        const int upper = i + 1 < lowers.size() ? lowers.at(i + 1) : OpenUpperBound;
        result.append({word, word + 34, lowers.at(i), upper});
    }
    return result;
}

QVector<HistogramParameter> buildTable()
{
    return {
        {QStringLiteral("Обороты"), QStringLiteral("об/мин"), QStringLiteral("Rotation"), QStringLiteral("rpm"),
         QStringLiteral("rotation"), bins(1, {0, 1000, 1200, 1600, 2400, 4000})},
        {QStringLiteral("Входное напряжение"), QStringLiteral("В"), QStringLiteral("Input voltage"), QStringLiteral("V"),
         QStringLiteral("in_voltage"), bins(7, {0, 10, 20, 30})},
        {QStringLiteral("Выходное напряжение"), QStringLiteral("В"), QStringLiteral("Output voltage"), QStringLiteral("V"),
         QStringLiteral("out_voltage"), bins(11, {0, 28, 29, 30, 31})},
        {QStringLiteral("Ток потребления"), QStringLiteral("мА"), QStringLiteral("Current consumption"), QStringLiteral("mA"),
         QStringLiteral("current"), bins(16, {0, 125, 250, 500, 1000, 2000})},
        // The Russian unit ends in the Cyrillic Es, the English one in a Latin C.
        {QStringLiteral("Температура"), QStringLiteral("°\u0421"), QStringLiteral("Temperature"), QStringLiteral("°C"),
         QStringLiteral("temperature"), bins(22, {0, 25, 50, 75, 100, 125})},
        {QStringLiteral("Вибрация"), QStringLiteral("g"), QStringLiteral("Vibration"), QStringLiteral("g"),
         QStringLiteral("vibration"), bins(28, {0, 12, 25, 50, 100})},
        {QStringLiteral("Количество ударов"), QString(), QStringLiteral("Number of impacts"), QString(),
         QStringLiteral("impacts"), {}},
    };
}

} // namespace

const QVector<HistogramParameter> &histogramParameters()
{
    static const QVector<HistogramParameter> table = buildTable();
    return table;
}
