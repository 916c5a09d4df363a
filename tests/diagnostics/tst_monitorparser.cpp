#include "diagnostics/monitorparser.h"
#include "tests/support/testmain.h"

#include <QtTest>

using MonitorParser::Sensor;

Q_DECLARE_METATYPE(Sensor)

namespace {
QString describe(const QVector<MonitorParser::Reading> &readings)
{
    QStringList parts;
    for (const MonitorParser::Reading &reading : readings)
        parts << QStringLiteral("%1:%2").arg(int(reading.sensor)).arg(reading.value);
    return parts.join(QLatin1Char(' '));
}
} // namespace

class TestMonitorParser : public QObject
{
    Q_OBJECT

private slots:
    void singleReading_data();
    void singleReading();
    void rejectedReadings_data();
    void rejectedReadings();
    void fullBlockInSensorOrder();
    void firstMatchWins();
};

void TestMonitorParser::singleReading_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<Sensor>("sensor");
    QTest::addColumn<double>("value");

    QTest::newRow("Freq") << QStringLiteral("Freq=50.25\r\n") << Sensor::Freq << 50.25;
    QTest::newRow("RPM") << QStringLiteral("RPM=1500\r\n") << Sensor::RPM << 1500.0;
    QTest::newRow("RPM takes the whole part") << QStringLiteral("RPM=1500.5") << Sensor::RPM << 1500.0;
    QTest::newRow("Vin") << QStringLiteral("Vin=27.5") << Sensor::Vin << 27.5;
    QTest::newRow("Vin without whole part") << QStringLiteral("Vin=.5") << Sensor::Vin << 0.5;
    QTest::newRow("Vout") << QStringLiteral("Vout=12.75") << Sensor::Vout << 12.75;
    QTest::newRow("Aout") << QStringLiteral("Aout=3.5") << Sensor::Aout << 3.5;
    QTest::newRow("Temp") << QStringLiteral("Temp=35.25") << Sensor::Temp << 35.25;
    QTest::newRow("Xaccel") << QStringLiteral("Xaccel=0.125") << Sensor::Xaccel << 0.125;
    QTest::newRow("Yaccel") << QStringLiteral("Yaccel=1.5") << Sensor::Yaccel << 1.5;
    QTest::newRow("dataMaximal_X") << QStringLiteral("dataMaximal_X=2.5") << Sensor::MaximalX << 2.5;
    QTest::newRow("dataAverage_X") << QStringLiteral("dataAverage_X=0.75") << Sensor::AverageX << 0.75;
    QTest::newRow("dataMaximal_Y") << QStringLiteral("dataMaximal_Y=4.5") << Sensor::MaximalY << 4.5;
    QTest::newRow("dataAverage_Y") << QStringLiteral("dataAverage_Y=0.25") << Sensor::AverageY << 0.25;
    QTest::newRow("dataMaximal") << QStringLiteral("dataMaximal=9.5") << Sensor::DataMaximal << 9.5;
    QTest::newRow("single precision") << QStringLiteral("Freq=0.1") << Sensor::Freq << double(0.1f);
    QTest::newRow("inside other text") << QStringLiteral("status ok; Temp=21.5 deg") << Sensor::Temp << 21.5;
}

void TestMonitorParser::singleReading()
{
    QFETCH(QString, text);
    QFETCH(Sensor, sensor);
    QFETCH(double, value);

    const QVector<MonitorParser::Reading> readings = MonitorParser::parse(text);
    QCOMPARE(readings.size(), 1);
    QCOMPARE(readings.first().sensor, sensor);
    QCOMPARE(readings.first().value, value);
}

void TestMonitorParser::rejectedReadings_data()
{
    QTest::addColumn<QString>("text");

    QTest::newRow("Vin with trailing point") << QStringLiteral("Vin=5.");
    QTest::newRow("Temp whole number") << QStringLiteral("Temp=21");
    QTest::newRow("Temp signed") << QStringLiteral("Temp=-3.5");
    QTest::newRow("RPM signed") << QStringLiteral("RPM=-5");
    QTest::newRow("RPM without digits") << QStringLiteral("RPM=");
    QTest::newRow("wrong case") << QStringLiteral("rpm=1500 vin=1.5");
    QTest::newRow("dataAverage alone") << QStringLiteral("dataAverage=12.5\r\n");
    QTest::newRow("space before value") << QStringLiteral("Vout= 1.5");
    QTest::newRow("RPM beyond any integer") << QStringLiteral("RPM=99999999999999999999999");
    QTest::newRow("Freq beyond single precision") << QStringLiteral("Freq=") + QString(50, QLatin1Char('9'))
            + QStringLiteral(".5");
}

void TestMonitorParser::rejectedReadings()
{
    QFETCH(QString, text);
    const QVector<MonitorParser::Reading> readings = MonitorParser::parse(text);
    QVERIFY2(readings.isEmpty(), qPrintable(describe(readings)));
}

void TestMonitorParser::fullBlockInSensorOrder()
{
    // dataMaximal_X and dataMaximal_Y must not be taken for dataMaximal.
    const QString block = QStringLiteral("dataMaximal_Y=4.5\r\ndataMaximal_X=1.5\r\nTemp=35.25\r\nRPM=1500\r\n"
                                         "dataAverage=12.5\r\n");
    const QVector<MonitorParser::Reading> readings = MonitorParser::parse(block);
    QCOMPARE(describe(readings), QStringLiteral("1:1500 5:35.25 8:1.5 10:4.5"));
}

void TestMonitorParser::firstMatchWins()
{
    const QVector<MonitorParser::Reading> readings =
        MonitorParser::parse(QStringLiteral("Vin=21.5\r\nVin=22.5\r\nVin=23.5\r\n"));
    QCOMPARE(readings.size(), 1);
    QCOMPARE(readings.first().value, 21.5);
}

RVK_TEST_MAIN(TestMonitorParser)
#include "tst_monitorparser.moc"
