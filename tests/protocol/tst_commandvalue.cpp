#include "protocol/commandvalue.h"
#include "tests/support/testmain.h"

class TestCommandValue : public QObject
{
    Q_OBJECT
private slots:
    void decimal_data();
    void decimal();
    void date_data();
    void date();
};

void TestCommandValue::decimal_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("value");
    QTest::newRow("serial number") << QStringLiteral("1234") << 1234;
    QTest::newRow("spin box maximum") << QStringLiteral("65534") << 65534;
    QTest::newRow("zero") << QStringLiteral("0") << 0;
    QTest::newRow("leading zeros are decimal, not octal") << QStringLiteral("0100") << 100;
    QTest::newRow("empty") << QString() << 0;
    QTest::newRow("not a number") << QStringLiteral("12a") << 0;
    QTest::newRow("hexadecimal text is not decimal") << QStringLiteral("0x10") << 0;
    QTest::newRow("beyond 32 bits") << QStringLiteral("4294967296") << 0;
    QTest::newRow("largest signed value") << QStringLiteral("2147483647") << 2147483647;
}

void TestCommandValue::decimal()
{
    QFETCH(QString, text);
    QFETCH(int, value);
    QCOMPARE(decimalCommandValue(text), value);
}

void TestCommandValue::date_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("value");
    QTest::newRow("day below 10 loses its zero") << QStringLiteral("06.12.2026") << 6122026;
    QTest::newRow("last day of the year") << QStringLiteral("31.12.2026") << 31122026;
    QTest::newRow("first of January") << QStringLiteral("01.01.2000") << 1012000;
    QTest::newRow("no dots at all") << QStringLiteral("06122026") << 6122026;
    QTest::newRow("other separators do not convert") << QStringLiteral("06/12/2026") << 0;
    QTest::newRow("empty") << QString() << 0;
}

void TestCommandValue::date()
{
    QFETCH(QString, text);
    QFETCH(int, value);
    QCOMPARE(dateCommandValue(text), value);
}

RVK_TEST_MAIN(TestCommandValue)
#include "tst_commandvalue.moc"
