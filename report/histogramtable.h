#pragma once

#include <QString>
#include <QVector>

// One bin of a histogram: the record words that hold its time in the total
// and the inter-repair section, and its bounds (65535 = no upper bound).
struct HistogramBin
{
    int totalWord;
    int repairWord;
    int lower;
    int upper;
};

constexpr int OpenUpperBound = 65535;
constexpr int HistogramParameterCount = 6;

struct HistogramParameter
{
    QString captionRu;
    QString unitRu;
    QString captionEn;
    QString unitEn;
    QString key;
    QVector<HistogramBin> bins;

    // English when the language flag is 1, Russian otherwise.
    QString caption(quint32 language) const { return language == 1 ? captionEn : captionRu; }
    QString unit(quint32 language) const { return language == 1 ? unitEn : unitRu; }
};

// The six histogram parameters in their fixed order, followed by the row that
// only carries the caption of the impacts line (position 6, no bins).
const QVector<HistogramParameter> &histogramParameters();
