#include "station/readout.h"

#include "report/reportrecord.h"

#include <QStringList>

KeyValues KeyValues::fromRecord(const QByteArray &record)
{
    KeyValues values;
    const auto word = [&record](int index) { return readReportWord(record, index); };
    const auto known = [](qint32 value) { return value == UnsetWord ? 0 : value; };

    values.repairTime = known(word(WordRepairTime));
    values.totalTimeText = operatingTimeText(known(word(WordTotalTime)));
    values.repairTimeText = operatingTimeText(values.repairTime);

    const qint32 serial = word(WordSerialNumber);
    values.serialNumberSet = serial != UnsetWord;
    values.serialNumber = known(serial);
    const qint32 impact = word(WordImpactLevel);
    values.impactLevelSet = impact != UnsetWord;
    values.impactLevel = known(impact);

    const qint32 release = word(WordReleaseDate);
    values.releaseDateSet = release != UnsetWord;
    if (values.releaseDateSet) {
        values.releaseDateText = ::releaseDateText(release);
        const QStringList parts = values.releaseDateText.split(QLatin1Char('.'));
        values.releaseDay = QDate(parts.value(2).toInt(), parts.value(1).toInt(), parts.value(0).toInt());
    }

    const qint32 firmware = word(WordFirmwareVersion);
    if (firmware != UnsetWord)
        values.firmwareText = firmwareVersionText(firmware);
    return values;
}
