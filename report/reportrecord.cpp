#include "report/reportrecord.h"

#include "report/histogramtable.h"
#include "report/reportfields.h"

#include <QtEndian>

#include <cmath>

qint32 readReportWord(const QByteArray &record, int index)
{
    if (index < 0 || record.size() < 4 * index + 4)
        return 0;
    return qFromLittleEndian<qint32>(record.constData() + 4 * index);
}

static quint32 setOrZero(qint32 word)
{
    return word == UnsetWord ? 0u : quint32(word);
}

QString operatingTimeText(qint32 word)
{
    const quint32 minutesTotal = setOrZero(word) / 60;
    return QStringLiteral("%1:%2")
        .arg(minutesTotal / 60, 2, 10, QLatin1Char('0'))
        .arg(minutesTotal % 60, 2, 10, QLatin1Char('0'));
}

bool parseOperatingTime(const QString &text, qint64 *minutes)
{
    const int colon = text.indexOf(QLatin1Char(':'));
    // Twelve digits of hours keep the minutes far inside qint64.
    if (colon < 1 || colon > 12 || text.size() != colon + 3)
        return false;
    qint64 hours = 0;
    for (int i = 0; i < colon; ++i) {
        const QChar c = text.at(i);
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
        hours = hours * 10 + (c.unicode() - '0');
    }
    const QChar tens = text.at(colon + 1);
    const QChar ones = text.at(colon + 2);
    if (tens < QLatin1Char('0') || tens > QLatin1Char('5') || ones < QLatin1Char('0') || ones > QLatin1Char('9'))
        return false;
    if (minutes)
        *minutes = hours * 60 + (tens.unicode() - '0') * 10 + (ones.unicode() - '0');
    return true;
}

QString releaseDateText(qint32 word)
{
    QString text = QString::number(quint32(word));
    if (text.size() == 7)
        text.prepend(QLatin1Char('0'));
    // A text too short for a date gets its dots at the end rather than the
    // blanks QString would pad it with.
    text.insert(qMin(2, text.size()), QLatin1Char('.'));
    text.insert(qMin(5, text.size()), QLatin1Char('.'));
    return text;
}

QString firmwareVersionText(qint32 word)
{
    QString text = QString::number(quint32(word));
    // A one-digit version gives -1, which QString counts from the end: 0 -> ..0
    text.insert(text.size() - 2, QLatin1Char('.'));
    text.insert(text.size() - 1, QLatin1Char('.'));
    return text;
}

QString binPercentText(quint32 sectionTime, qint32 binWord)
{
    // A module that has not run yet has a section time of 0; its bins have no
    // share to show, and an infinite or NaN percent would print as garbage.
    if (sectionTime == 0)
        return QStringLiteral("0");
    const double percent = std::round((100.0 / double(sectionTime)) * double(setOrZero(binWord)));
    return QString::number(percent, 'g', 6);
}

QString percentList(const QByteArray &record, int parameter, ReportSection section)
{
    const auto &table = histogramParameters();
    if (parameter < 0 || parameter >= HistogramParameterCount)
        return QString();
    const bool total = section == ReportSection::Total;
    const quint32 sectionTime = quint32(readReportWord(record, total ? WordTotalTime : WordRepairTime));
    QStringList percents;
    for (const HistogramBin &bin : table.at(parameter).bins)
        percents << binPercentText(sectionTime, readReportWord(record, total ? bin.totalWord : bin.repairWord));
    return percents.join(QLatin1Char(','));
}

QStringList percentLists(const QByteArray &record, ReportSection section)
{
    QStringList lists;
    for (int parameter = 0; parameter < HistogramParameterCount; ++parameter)
        lists << percentList(record, parameter, section);
    return lists;
}

ReportValues decodeReport(const QByteArray &record)
{
    ReportValues values;
    for (const ReportField &field : reportFields()) {
        const qint32 word = readReportWord(record, field.word);
        switch (field.form) {
        case FieldForm::ReadoutDate:
            break; // the station's, not the module's
        case FieldForm::Number:
            values.*field.number = setOrZero(word);
            break;
        case FieldForm::OperatingTime:
            values.*field.text = operatingTimeText(word);
            break;
        case FieldForm::ReleaseDate:
            if (word != UnsetWord)
                values.*field.text = releaseDateText(word);
            break;
        case FieldForm::FirmwareVersion:
            if (word != UnsetWord)
                values.*field.text = firmwareVersionText(word);
            break;
        case FieldForm::PercentList:
            setFieldText(values, field, percentList(record, field.parameter, field.section));
            break;
        }
    }
    values.releaseDateSet = readReportWord(record, WordReleaseDate) != UnsetWord;
    values.firmwareVersionSet = readReportWord(record, WordFirmwareVersion) != UnsetWord;
    return values;
}
