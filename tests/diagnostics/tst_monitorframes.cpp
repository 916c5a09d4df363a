#include "diagnostics/monitorframes.h"
#include "diagnostics/monitorlog.h"
#include "tests/support/testmain.h"

#include <QtTest>

class TestMonitorFrames : public QObject
{
    Q_OBJECT

private slots:
    void frameText_data();
    void frameText();
    void displayText_data();
    void displayText();
    void completesBlock_data();
    void completesBlock();
    void boundKeepsNewestTextFromLineStart();
    void boundLeavesShortBlockAlone();
    void boundCutsMidLineWhenNoLineFollows();
    void logFileName_data();
    void logFileName();
    void timeStampLine();
};

void TestMonitorFrames::frameText_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("expected");

    QTest::newRow("abc then zeros") << QByteArray("abc\0\0\0\0\0", 8) << QStringLiteral("abc");
    QTest::newRow("eight non-zero bytes") << QByteArray("12345678") << QStringLiteral("12345678");
    QTest::newRow("carriage return kept") << QByteArray("def\r\nxyz") << QStringLiteral("def\r\nxyz");
    QTest::newRow("text after a zero is dropped") << QByteArray("ab\0cdefg", 8) << QStringLiteral("ab");
    QTest::newRow("all zeros") << QByteArray(8, '\0') << QString();
    QTest::newRow("UTF-8 letter") << QByteArray("t=\xc3\xa9\0\0\0\0", 8) << QStringLiteral("t=\u00e9");
    QTest::newRow("Cyrillic letter") << QByteArray("\xd0\x96\0\0\0\0\0\0", 8) << QStringLiteral("\u0416");
    QTest::newRow("letter cut at frame end") << QByteArray("1234567\xd0") << QStringLiteral("1234567\ufffd");
}

void TestMonitorFrames::frameText()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, expected);
    QCOMPARE(bytes.size(), 8);
    QCOMPARE(MonitorFrames::frameText(reinterpret_cast<const quint8 *>(bytes.constData())), expected);
}

void TestMonitorFrames::displayText_data()
{
    QTest::addColumn<QString>("chunk");
    QTest::addColumn<QString>("shown");

    QTest::newRow("ASCII unchanged") << QStringLiteral("RPM=1500\n") << QStringLiteral("RPM=1500\n");
    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("Latin-1 letter becomes replacement") << QStringLiteral("t=\u00e9C") << QStringLiteral("t=\ufffdC");
    QTest::newRow("degree sign becomes replacement") << QStringLiteral("\u00b0C") << QStringLiteral("\ufffdC");
    QTest::newRow("Cyrillic becomes question mark") << QStringLiteral("\u0416\u0416") << QStringLiteral("??");
    // Two Latin-1 characters that happen to spell a UTF-8 sequence survive
    // as the letter they encode.
    QTest::newRow("Latin-1 pair forming UTF-8") << QStringLiteral("\u00c3\u00a9") << QStringLiteral("\u00e9");
}

void TestMonitorFrames::displayText()
{
    QFETCH(QString, chunk);
    QFETCH(QString, shown);
    QCOMPARE(MonitorFrames::displayText(chunk), shown);
}

void TestMonitorFrames::completesBlock_data()
{
    QTest::addColumn<QString>("block");
    QTest::addColumn<QString>("chunk");
    QTest::addColumn<bool>("complete");

    QTest::newRow("reading and line feed") << QStringLiteral("dataAverage=12.5\r\n") << QStringLiteral("\n") << true;
    QTest::newRow("reading without line feed") << QStringLiteral("dataAverage=12.5") << QStringLiteral("12.5")
                                               << false;
    QTest::newRow("line feed without reading") << QStringLiteral("RPM=1500\r\n") << QStringLiteral("\n") << false;
    QTest::newRow("line feed in an earlier frame only")
        << QStringLiteral("x\ndataAverage=1") << QStringLiteral("age=1") << false;
    QTest::newRow("case matters") << QStringLiteral("dataaverage=1\n") << QStringLiteral("\n") << false;
    QTest::newRow("axis reading counts") << QStringLiteral("dataAverage_X=1.0\n") << QStringLiteral("\n") << false;
}

void TestMonitorFrames::completesBlock()
{
    QFETCH(QString, block);
    QFETCH(QString, chunk);
    QFETCH(bool, complete);
    QCOMPARE(MonitorFrames::completesBlock(block, chunk), complete);
}

void TestMonitorFrames::boundKeepsNewestTextFromLineStart()
{
    QString block;
    for (int line = 0; line < 100; ++line)
        block += QStringLiteral("line %1 RPM=%2\r\n").arg(line, 3, 10, QLatin1Char('0')).arg(line);
    const QString original = block;

    QVERIFY(MonitorFrames::boundBlock(block, 1000));
    QVERIFY(block.size() <= 500);
    QVERIFY(block.size() > 400);
    QVERIFY(original.endsWith(block));
    QVERIFY(block.startsWith(QStringLiteral("line ")));
}

void TestMonitorFrames::boundLeavesShortBlockAlone()
{
    QString block = QStringLiteral("Vin=27.5\r\n");
    QVERIFY(!MonitorFrames::boundBlock(block, block.size()));
    QCOMPARE(block, QStringLiteral("Vin=27.5\r\n"));
}

void TestMonitorFrames::boundCutsMidLineWhenNoLineFollows()
{
    QString block(3000, QLatin1Char('x'));
    block += QStringLiteral("tail");
    QVERIFY(MonitorFrames::boundBlock(block, 1000));
    QCOMPARE(block.size(), 500);
    QVERIFY(block.endsWith(QStringLiteral("tail")));
}

void TestMonitorFrames::logFileName_data()
{
    QTest::addColumn<qint32>("serial");
    QTest::addColumn<QDateTime>("time");
    QTest::addColumn<QString>("name");

    QTest::newRow("serial 1234") << 1234 << QDateTime(QDate(2026, 12, 6), QTime(14, 35, 59))
                                 << QStringLiteral("rvk_sn1234_06.12.2026_14.35.log");
    QTest::newRow("no read-out yet") << 0 << QDateTime(QDate(2027, 2, 1), QTime(9, 5))
                                     << QStringLiteral("rvk_sn0_01.02.2027_09.05.log");
    QTest::newRow("unset word prints unsigned") << -1 << QDateTime(QDate(2027, 2, 1), QTime(23, 59))
                                                << QStringLiteral("rvk_sn4294967295_01.02.2027_23.59.log");
}

void TestMonitorFrames::logFileName()
{
    QFETCH(qint32, serial);
    QFETCH(QDateTime, time);
    QFETCH(QString, name);
    QCOMPARE(MonitorLog::fileName(serial, time), name);
    QCOMPARE(MonitorLog::folderName(), QStringLiteral("log"));
}

void TestMonitorFrames::timeStampLine()
{
    QCOMPARE(MonitorLog::timeStampLine(QDateTime(QDate(2027, 2, 1), QTime(21, 5, 7, 42))),
             QStringLiteral("[2027-02-01 21:05:07.042]\n"));
}

RVK_TEST_MAIN(TestMonitorFrames)
#include "tst_monitorframes.moc"
