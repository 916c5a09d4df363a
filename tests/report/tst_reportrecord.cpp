#include "report/histogramtable.h"
#include "report/reportrecord.h"
#include "tests/support/recordbuilder.h"
#include "tests/support/testmain.h"

using rvktest::RecordBuilder;

class TestReportRecord : public QObject
{
    Q_OBJECT

private slots:
    void readsLittleEndianSignedWords_data();
    void readsLittleEndianSignedWords();
    void operatingTime_data();
    void operatingTime();
    void storedOperatingTimeOrDamage_data();
    void storedOperatingTimeOrDamage();
    void releaseDate_data();
    void releaseDate();
    void firmwareVersion_data();
    void firmwareVersion();
    void binPercent_data();
    void binPercent();
    void histogramTableCoversTheHistogramWords();
    void percentListsFollowTheBinTable();
    void allUnsetRecordDecodesToZeros();
    void emptyRecordReadsAsZeros();
    void shortRecordKeepsTheWordsThatArrived();
};

void TestReportRecord::readsLittleEndianSignedWords_data()
{
    QTest::addColumn<QByteArray>("record");
    QTest::addColumn<int>("index");
    QTest::addColumn<qint32>("expected");

    const QByteArray bytes = QByteArray::fromHex("0102030480000000ffffffff");
    QTest::newRow("first word") << bytes << 0 << qint32(0x04030201);
    QTest::newRow("second word") << bytes << 1 << qint32(0x80);
    QTest::newRow("all bits set reads -1") << bytes << 2 << qint32(-1);
    QTest::newRow("beyond the end reads 0") << bytes << 3 << qint32(0);
    QTest::newRow("partial last word reads 0") << bytes.left(11) << 2 << qint32(0);
    QTest::newRow("negative index") << bytes << -1 << qint32(0);
    QTest::newRow("empty record") << QByteArray() << 0 << qint32(0);
}

void TestReportRecord::readsLittleEndianSignedWords()
{
    QFETCH(QByteArray, record);
    QFETCH(int, index);
    QFETCH(qint32, expected);
    QCOMPARE(readReportWord(record, index), expected);
}

void TestReportRecord::operatingTime_data()
{
    QTest::addColumn<quint32>("seconds");
    QTest::addColumn<QString>("expected");
    QTest::newRow("zero") << 0u << "00:00";
    QTest::newRow("seconds dropped") << 3599u << "00:59";
    QTest::newRow("one hour") << 3600u << "01:00";
    QTest::newRow("7265 s") << 7265u << "02:01";
    QTest::newRow("hours not capped") << 360000u << "100:00";
    QTest::newRow("unset reads 0") << 0xFFFFFFFFu << "00:00";
    QTest::newRow("high bit is not a sign") << 0xFFFFFFFEu << "1193046:28";
}

void TestReportRecord::operatingTime()
{
    QFETCH(quint32, seconds);
    QFETCH(QString, expected);
    QCOMPARE(operatingTimeText(qint32(seconds)), expected);
}

void TestReportRecord::releaseDate_data()
{
    QTest::addColumn<qint32>("word");
    QTest::addColumn<QString>("expected");
    QTest::newRow("7 digits get the leading zero") << 6122026 << "06.12.2026";
    QTest::newRow("first of January") << 1012025 << "01.01.2025";
    QTest::newRow("8 digits") << 31122026 << "31.12.2026";
    QTest::newRow("15032024") << 15032024 << "15.03.2024";
    QTest::newRow("too short for a date") << 0 << "0..";
}

void TestReportRecord::releaseDate()
{
    QFETCH(qint32, word);
    QFETCH(QString, expected);
    QCOMPARE(releaseDateText(word), expected);
}

void TestReportRecord::firmwareVersion_data()
{
    QTest::addColumn<qint32>("word");
    QTest::addColumn<QString>("expected");
    QTest::newRow("322") << 322 << "3.2.2";
    QTest::newRow("211") << 211 << "2.1.1";
    QTest::newRow("two-digit major") << 1005 << "10.0.5";
    QTest::newRow("one digit counts from the end") << 0 << "..0";
    QTest::newRow("two digits") << 12 << ".1.2";
}

void TestReportRecord::firmwareVersion()
{
    QFETCH(qint32, word);
    QFETCH(QString, expected);
    QCOMPARE(firmwareVersionText(word), expected);
}

void TestReportRecord::binPercent_data()
{
    QTest::addColumn<quint32>("sectionTime");
    QTest::addColumn<quint32>("bin");
    QTest::addColumn<QString>("expected");
    QTest::newRow("whole section") << 7265u << 7265u << "100";
    QTest::newRow("a third rounds down") << 3u << 1u << "33";
    QTest::newRow("two thirds round up") << 3u << 2u << "67";
    QTest::newRow("exactly 0.5 rounds away from zero") << 200u << 1u << "1";
    QTest::newRow("12.5 rounds away from zero") << 8u << 1u << "13";
    QTest::newRow("empty bin") << 8u << 0u << "0";
    QTest::newRow("unset bin counts as 0") << 8u << 0xFFFFFFFFu << "0";
    QTest::newRow("unset section time is taken as stored") << 0xFFFFFFFFu << 0xFFFFFFFFu << "0";
    QTest::newRow("large unsigned section time") << 0xFFFFFFFEu << 0x7FFFFFFFu << "50";
    QTest::newRow("section time 0") << 0u << 5u << "0";
    QTest::newRow("section time 0 and empty bin") << 0u << 0u << "0";
}

void TestReportRecord::binPercent()
{
    QFETCH(quint32, sectionTime);
    QFETCH(quint32, bin);
    QFETCH(QString, expected);
    QCOMPARE(binPercentText(sectionTime, qint32(bin)), expected);
}

void TestReportRecord::histogramTableCoversTheHistogramWords()
{
    const QVector<HistogramParameter> &table = histogramParameters();
    QCOMPARE(table.size(), HistogramParameterCount + 1);
    QVERIFY(table.last().bins.isEmpty());
    QCOMPARE(table.last().caption(0), QStringLiteral("Количество ударов"));
    QCOMPARE(table.last().caption(1), QStringLiteral("Number of impacts"));

    // Words 1 to 32 in order, each bin's inter-repair word 34 further on, and
    // every parameter's bounds contiguous with an open last bin.
    int expectedWord = 1;
    for (int p = 0; p < HistogramParameterCount; ++p) {
        const QVector<HistogramBin> &bins = table.at(p).bins;
        QVERIFY(!bins.isEmpty());
        QCOMPARE(bins.first().lower, 0);
        QCOMPARE(bins.last().upper, OpenUpperBound);
        for (int i = 0; i < bins.size(); ++i) {
            QCOMPARE(bins.at(i).totalWord, expectedWord++);
            QCOMPARE(bins.at(i).repairWord, bins.at(i).totalWord + 34);
            if (i > 0)
                QCOMPARE(bins.at(i).lower, bins.at(i - 1).upper);
        }
    }
    QCOMPARE(expectedWord, 33);

    // The Russian degree unit ends in a Cyrillic letter, the English one in a Latin letter.
    QCOMPARE(table.at(4).unit(0), QString::fromUtf8("\xC2\xB0\xD0\xA1"));
    QCOMPARE(table.at(4).unit(1), QStringLiteral("\u00B0C"));
    QCOMPARE(table.at(0).unit(2), QStringLiteral("об/мин"));
}

void TestReportRecord::percentListsFollowTheBinTable()
{
    // Every total bin holds its running number (0.5 % per unit), but the
    // last rotation bin is unset.
    RecordBuilder builder;
    builder.set(WordTotalTime, 200);
    int running = 0;
    for (int p = 0; p < HistogramParameterCount; ++p)
        for (int bin = 0; bin < histogramParameters().at(p).bins.size(); ++bin)
            builder.setBin(ReportSection::Total, p, bin, ++running);
    builder.setBin(ReportSection::Total, 0, 5, UnsetWord);
    builder.set(WordRepairTime, 3)
        .setBin(ReportSection::InterRepair, 0, 0, 1)
        .setBin(ReportSection::InterRepair, 0, 1, 2)
        .setBin(ReportSection::InterRepair, 5, 4, 3);
    const QByteArray record = builder.build();

    QCOMPARE(percentLists(record, ReportSection::Total),
             QStringList({"1,1,2,2,3,0", "4,4,5,5", "6,6,7,7,8", "8,9,9,10,10,11", "11,12,12,13,13,14",
                          "14,15,15,16,16"}));
    QCOMPARE(percentLists(record, ReportSection::InterRepair),
             QStringList({"33,67,0,0,0,0", "0,0,0,0", "0,0,0,0,0", "0,0,0,0,0,0", "0,0,0,0,0,0", "0,0,0,0,100"}));
    QCOMPARE(percentList(record, 1, ReportSection::Total), QStringLiteral("4,4,5,5"));
}

void TestReportRecord::allUnsetRecordDecodesToZeros()
{
    const ReportValues values = decodeReport(RecordBuilder(RecordBuilder::Fill::Unset).build());
    QCOMPARE(values.sn, 0u);
    QCOMPARE(values.impact_level, 0u);
    QCOMPARE(values.total_time, QStringLiteral("00:00"));
    QCOMPARE(values.repair_time, QStringLiteral("00:00"));
    QCOMPARE(values.impacts, 0u);
    QCOMPARE(values.irt_impacts, 0u);
    QVERIFY(!values.releaseDateSet);
    QVERIFY(!values.firmwareVersionSet);
    QVERIFY(values.release_date.isEmpty());
    QVERIFY(values.firmware_version.isEmpty());
    const QStringList zeros = {"0,0,0,0,0,0", "0,0,0,0", "0,0,0,0,0", "0,0,0,0,0,0", "0,0,0,0,0,0", "0,0,0,0,0"};
    QCOMPARE(values.totalPercents, zeros);
    QCOMPARE(values.repairPercents, zeros);
}

void TestReportRecord::emptyRecordReadsAsZeros()
{
    const ReportValues values = decodeReport(QByteArray());
    QCOMPARE(values.sn, 0u);
    QCOMPARE(values.total_time, QStringLiteral("00:00"));
    QVERIFY(values.releaseDateSet);
    QVERIFY(values.firmwareVersionSet);
    QCOMPARE(values.firmware_version, QStringLiteral("..0"));
    QCOMPARE(values.totalPercents.size(), HistogramParameterCount);
    QCOMPARE(values.totalPercents.first(), QStringLiteral("0,0,0,0,0,0"));
}

void TestReportRecord::shortRecordKeepsTheWordsThatArrived()
{
    const QByteArray tenFrames = RecordBuilder()
                                     .set(WordTotalTime, 7265)
                                     .setBin(ReportSection::Total, 0, 0, 7265)
                                     .set(WordImpacts, 9)
                                     .set(WordSerialNumber, 1234)
                                     .build()
                                     .left(80);

    const ReportValues values = decodeReport(tenFrames);
    QCOMPARE(values.total_time, QStringLiteral("02:01"));
    QCOMPARE(values.totalPercents.first(), QStringLiteral("100,0,0,0,0,0"));
    QCOMPARE(values.impacts, 0u);
    QCOMPARE(values.sn, 0u);
}

void TestReportRecord::storedOperatingTimeOrDamage_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("readable");
    QTest::addColumn<qint64>("minutes");
    QTest::newRow("as written") << "1234:05" << true << qint64(74045);
    QTest::newRow("one hour digit") << "5:07" << true << qint64(307);
    QTest::newRow("zero") << "00:00" << true << qint64(0);
    QTest::newRow("last minute") << "0:59" << true << qint64(59);
    QTest::newRow("largest module time") << "1193046:28" << true << qint64(71582788);
    QTest::newRow("negative hours") << "-1:30" << false << qint64(-1);
    QTest::newRow("plus sign") << "+1:30" << false << qint64(-1);
    QTest::newRow("minute past 59") << "5:75" << false << qint64(-1);
    QTest::newRow("one minute digit") << "5:7" << false << qint64(-1);
    QTest::newRow("three minute digits") << "5:070" << false << qint64(-1);
    QTest::newRow("no hours") << ":30" << false << qint64(-1);
    QTest::newRow("no colon") << "530" << false << qint64(-1);
    QTest::newRow("blank") << " 5:30" << false << qint64(-1);
    QTest::newRow("text") << "abc" << false << qint64(-1);
    QTest::newRow("empty") << "" << false << qint64(-1);
}

void TestReportRecord::storedOperatingTimeOrDamage()
{
    QFETCH(QString, text);
    QFETCH(bool, readable);
    QFETCH(qint64, minutes);
    qint64 read = -1;
    QCOMPARE(parseOperatingTime(text, &read), readable);
    QCOMPARE(read, minutes);
}

RVK_TEST_MAIN(TestReportRecord)
#include "tst_reportrecord.moc"
