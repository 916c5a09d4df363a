#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QtGlobal>

// The module's usage report: 296 bytes, 74 little-endian 32-bit words, in
// which 0xFFFFFFFF marks a word as unset.
constexpr int ReportRecordSize = 296;
constexpr int ReportFrameCount = 37;
constexpr qint32 UnsetWord = -1;

enum ReportWord : int {
    WordTotalTime = 0,
    WordImpacts = 33,
    WordRepairTime = 34,
    WordIrtImpacts = 67,
    WordSerialNumber = 69,
    WordReleaseDate = 70,
    WordFirmwareVersion = 71,
    WordImpactLevel = 72,
};

enum class ReportSection { Total, InterRepair };

// Word i of the record, little-endian; 0 when the record is too short.
qint32 readReportWord(const QByteArray &record, int index);

// Seconds as "hh:mm" (hours not capped, each part at least two digits);
// unset reads as 0.
QString operatingTimeText(qint32 word);
// A stored "h:mm" text (hours not capped, at least one digit; minutes two
// digits, 00 to 59) as minutes into *minutes. False for anything else (a
// sign, "5:75", no colon, blanks): the text is damaged, not a time.
bool parseOperatingTime(const QString &text, qint64 *minutes);
// ddMMyyyy as "dd.MM.yyyy" (a 7-digit number gets its leading zero back).
// Meant for a set word only.
QString releaseDateText(qint32 word);
// 322 as "3.2.2". Meant for a set word only.
QString firmwareVersionText(qint32 word);
// (100.0 / sectionTime) * bin rounded half away from zero, shortest form;
// an unset bin counts as 0 and a section time of 0 gives "0".
QString binPercentText(quint32 sectionTime, qint32 binWord);
// One parameter's bin percents joined by ",".
QString percentList(const QByteArray &record, int parameter, ReportSection section);
// The six PercentLists of a section, in parameter order.
QStringList percentLists(const QByteArray &record, ReportSection section);

// The values decoded from one record, named as the database columns. The
// release date and firmware texts are empty when their words are unset.
struct ReportValues
{
    QString date;
    quint32 sn = 0;
    QString release_date;
    QString firmware_version;
    quint32 impact_level = 0;
    QString total_time;
    QString repair_time;
    quint32 impacts = 0;
    quint32 irt_impacts = 0;
    QStringList totalPercents;
    QStringList repairPercents;
    bool releaseDateSet = false;
    bool firmwareVersionSet = false;
};

ReportValues decodeReport(const QByteArray &record);
