#include "protocol/canmessage.h"
#include "protocol/frameclassification.h"
#include "tests/support/testmain.h"

class TestCanMessage : public QObject
{
    Q_OBJECT
private slots:
    void recordLayoutMatchesTheDriver_data();
    void recordLayoutMatchesTheDriver();
    void classification_data();
    void classification();
};

void TestCanMessage::recordLayoutMatchesTheDriver_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<int>("rtr");
    QTest::addColumn<int>("dlc");
    QTest::addColumn<int>("payload");
    QTest::addColumn<QByteArray>("expectedHead");
    QTest::newRow("report request") << 0x7AA << 1 << 1 << -1 << QByteArray::fromHex("AA070101");
    QTest::newRow("serial number 1234") << 0x7A1 << 0 << 4 << 1234 << QByteArray::fromHex("A1070004D2040000");
    QTest::newRow("release date 06.12.2026") << 0x7A2 << 0 << 4 << 6122026 << QByteArray::fromHex("A20700042A6A5D00");
}

void TestCanMessage::recordLayoutMatchesTheDriver()
{
    QFETCH(int, id);
    QFETCH(int, rtr);
    QFETCH(int, dlc);
    QFETCH(int, payload);
    QFETCH(QByteArray, expectedHead);
    CanMessage message;
    message.id = quint16(id);
    message.rtr = quint8(rtr);
    message.dlc = quint8(dlc);
    if (payload >= 0)
        message.setPayload32(payload);
    const QByteArray bytes = message.toBytes();
    QCOMPARE(bytes.size(), 12);
    QCOMPARE(bytes.left(expectedHead.size()), expectedHead);
    QCOMPARE(CanMessage::fromBytes(bytes).toBytes(), bytes);
    if (payload >= 0)
        QCOMPARE(CanMessage::fromBytes(bytes).payload32(), payload);
}

void TestCanMessage::classification_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<int>("rtr");
    QTest::addColumn<int>("kind");
    QTest::newRow("ack sn") << 0x7A1 << 1 << int(FrameKind::AckSetSN);
    QTest::newRow("ack date") << 0x7A2 << 1 << int(FrameKind::AckSetDate);
    QTest::newRow("ack hit") << 0x7A3 << 1 << int(FrameKind::AckSetHit);
    QTest::newRow("ack irt clear") << 0x7A4 << 1 << int(FrameKind::AckIRTClear);
    QTest::newRow("ack eeprom clear") << 0x7A5 << 1 << int(FrameKind::AckEEPROMClear);
    QTest::newRow("report end") << 0x7AA << 1 << int(FrameKind::ReportEnd);
    QTest::newRow("report data") << 0x7AA << 0 << int(FrameKind::ReportData);
    QTest::newRow("monitor text") << 0x7AF << 0 << int(FrameKind::MonitorText);
    QTest::newRow("remote monitor ignored") << 0x7AF << 1 << int(FrameKind::Ignored);
    QTest::newRow("remote 0x7A6 ignored") << 0x7A6 << 1 << int(FrameKind::Ignored);
    QTest::newRow("data 0x7A1 ignored") << 0x7A1 << 0 << int(FrameKind::Ignored);
    QTest::newRow("data 0x7A5 ignored") << 0x7A5 << 0 << int(FrameKind::Ignored);
    QTest::newRow("foreign id ignored") << 0x123 << 0 << int(FrameKind::Ignored);
    QTest::newRow("rtr 2 is a data frame") << 0x7AA << 2 << int(FrameKind::ReportData);
}

void TestCanMessage::classification()
{
    QFETCH(int, id);
    QFETCH(int, rtr);
    QFETCH(int, kind);
    CanMessage message;
    message.id = quint16(id);
    message.rtr = quint8(rtr);
    QCOMPARE(int(classifyFrame(message)), kind);
}

RVK_TEST_MAIN(TestCanMessage)
#include "tst_canmessage.moc"
