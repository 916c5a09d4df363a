// The CAN driver and the simulated module on a private virtual bus.
#include "link/canbusdriver.h"
#include "link/caninterfaces.h"
#include "protocol/frameclassification.h"
#include "tests/support/testmain.h"
#include "tests/support/vcantestsupport.h"
#include "tools/rvk-module-sim/simulatedmodule.h"

#include <QCanBus>
#include <QCanBusFrame>
#include <memory>

namespace {
CanMessage remote(quint16 id, quint8 dlc)
{
    CanMessage message;
    message.id = id;
    message.rtr = 1;
    message.dlc = dlc;
    return message;
}

CanMessage data32(quint16 id, qint32 value)
{
    CanMessage message;
    message.id = id;
    message.dlc = 4;
    message.setPayload32(value);
    return message;
}
} // namespace

class TestCanBusVcan : public QObject
{
    Q_OBJECT

private:
    QString bus;
    std::unique_ptr<SimulatedModule> module;
    std::unique_ptr<CanBusDriver> driver;

    // Joins the bus through the driver exactly as the window does.
    bool openDriver()
    {
        const QByteArray description = bus.toUtf8();
        quint32 out1 = 0, out2 = 0;
        if (driver->open(description.constData(), &out1, &out2, 19200, 500) != 0)
            return false;
        const KtxCANSetupRecord record;
        if (driver->setup(&record) != 0)
            return false;
        // The bus connects after the open; -2 until it has.
        QElapsedTimer clock;
        clock.start();
        while (driver->info() == -2 && clock.elapsed() < 5000)
            QTest::qWait(5);
        return driver->info() == 0;
    }

    // Frames read until the end-of-report frame, which is included.
    QList<CanMessage> readUntilReportEnd(int timeoutMs = 5000)
    {
        QList<CanMessage> frames;
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < timeoutMs) {
            if (driver->isNewMsg() & 0xFF) {
                CanMessage message;
                driver->read(&message);
                frames.append(message);
                if (message.id == CanIdReadData && message.rtr)
                    break;
            } else {
                QTest::qWait(1);
            }
        }
        return frames;
    }

    CanMessage readOne(int timeoutMs = 3000)
    {
        CanMessage message;
        message.id = 0xFFFF;
        QElapsedTimer clock;
        clock.start();
        while (!(driver->isNewMsg() & 0xFF) && clock.elapsed() < timeoutMs)
            QTest::qWait(1);
        driver->read(&message);
        return message;
    }

    static QByteArray reportBytes(const QList<CanMessage> &frames)
    {
        QByteArray bytes;
        for (const CanMessage &message : frames)
            if (message.id == CanIdReadData && !message.rtr)
                bytes.append(reinterpret_cast<const char *>(message.data), 8);
        return bytes;
    }

    static int count(const QList<CanMessage> &frames, quint16 id, int rtr)
    {
        int n = 0;
        for (const CanMessage &message : frames)
            n += message.id == id && message.rtr == rtr;
        return n;
    }

private slots:
    void init()
    {
        bus = SimulatedModule::privateVirtualBus();
        SimulatedModuleOptions options;
        options.bus = bus;
        options.eepromFile = rvktest::workDir() + QStringLiteral("/eeprom.bin");
        QFile::remove(options.eepromFile);
        module = std::make_unique<SimulatedModule>(options);
        QString error;
        QVERIFY2(module->start(&error), qPrintable(error));
        driver = std::make_unique<CanBusDriver>();
        QVERIFY(openDriver());
    }
    void cleanup()
    {
        driver.reset();
        module.reset();
    }

    void openResults_data()
    {
        QTest::addColumn<QString>("description");
        QTest::addColumn<int>("result");
        QTest::newRow("default adapter name") << "VXA" << 1;
        QTest::newRow("empty") << "" << 1;
        QTest::newRow("unknown plugin") << "nosuchplugin/can0" << 16;
    }
    void openResults()
    {
        QFETCH(QString, description);
        QFETCH(int, result);
        CanBusDriver other;
        quint32 out1 = 0, out2 = 0;
        QCOMPARE(other.open(description.toUtf8().constData(), &out1, &out2, 19200, 500), result);
        QCOMPARE(other.info(), -1);
        CanMessage message = remote(CanIdReadData, 1);
        QCOMPARE(other.write(&message), -1);
    }

    void closedChannel()
    {
        char info[2048] = {};
        QCOMPARE(driver->deviceInfo(info), 0);
        QCOMPARE(QString::fromUtf8(info), bus);
        QCOMPARE(driver->close(), 0);
        QCOMPARE(driver->info(), -1);
        QCOMPARE(driver->close(), 0);
        const KtxCANSetupRecord record;
        QCOMPARE(driver->setup(&record), -1);
        QCOMPARE(driver->isNewMsg(), 0);
        QVERIFY(openDriver());
    }

    void readsTheReport()
    {
        CanMessage request = remote(CanIdReadData, 1);
        QCOMPARE(driver->write(&request), 0);
        const QList<CanMessage> frames = readUntilReportEnd();
        QCOMPARE(frames.size(), 38);
        QCOMPARE(count(frames, CanIdReadData, 0), 37);
        QCOMPARE(frames.last().rtr, quint8(1));
        QCOMPARE(reportBytes(frames), module->eeprom().bytes());
        QCOMPARE(module->received().size(), 1);
        QCOMPARE(module->received().first().rtr, quint8(1));
        QCOMPARE(module->received().first().dlc, quint8(1));
    }

    // The monitor commands differ only by the remote frame's length code.
    void remoteLengthSurvivesBothWays_data()
    {
        QTest::addColumn<int>("dlc");
        for (int dlc = 0; dlc <= 8; ++dlc)
            QTest::addRow("dlc %d", dlc) << dlc;
    }
    void remoteLengthSurvivesBothWays()
    {
        QFETCH(int, dlc);
        CanMessage toModule = remote(0x7A9, quint8(dlc));
        QCOMPARE(driver->write(&toModule), 0);
        QTRY_COMPARE(module->received().size(), 1);
        QCOMPARE(module->received().first().rtr, quint8(1));
        QCOMPARE(int(module->received().first().dlc), dlc);

        const QString plugin = AdapterDescription::parse(bus).interfaceName;
        std::unique_ptr<QCanBusDevice> peer(QCanBus::instance()->createDevice(QStringLiteral("virtualcan"), plugin));
        QVERIFY(peer && peer->connectDevice());
        QTRY_COMPARE(peer->state(), QCanBusDevice::ConnectedState);
        QVERIFY(peer->writeFrame(CanBusDriver::toFrame(remote(CanIdIRTClear, quint8(dlc)))));
        const CanMessage fromPeer = readOne();
        QCOMPARE(fromPeer.id, quint16(CanIdIRTClear));
        QCOMPARE(fromPeer.rtr, quint8(1));
        QCOMPARE(int(fromPeer.dlc), dlc);
    }

    void monitorSwitchesOnAndOff()
    {
        CanMessage on = remote(CanIdMonitor, 1);
        QCOMPARE(driver->write(&on), 0);
        QByteArray text;
        QElapsedTimer clock;
        clock.start();
        while (!text.contains("dataAverage=") && clock.elapsed() < 3000) {
            const CanMessage message = readOne();
            QCOMPARE(message.id, quint16(CanIdMonitor));
            QCOMPARE(message.rtr, quint8(0));
            QVERIFY(message.dlc <= 8);
            text.append(reinterpret_cast<const char *>(message.data), message.dlc);
        }
        QVERIFY(module->monitorOn());
        for (const char *name : {"Freq=", "RPM=", "Vin=", "Vout=", "Aout=", "Temp=", "Xaccel=", "Yaccel=",
                                 "dataMaximal_X=", "dataAverage_X=", "dataMaximal_Y=", "dataAverage_Y=", "dataMaximal="})
            QVERIFY2(text.contains(name), name);
        const CanMessage last = readOne();
        QVERIFY(QByteArray(reinterpret_cast<const char *>(last.data), last.dlc).endsWith("\r\n"));

        CanMessage off = remote(CanIdMonitor, 0);
        QCOMPARE(driver->write(&off), 0);
        QTRY_VERIFY(!module->monitorOn());
    }

    void setCommandsAreStoredAndAcknowledged_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<int>("word");
        QTest::addColumn<int>("value");
        QTest::newRow("serial number") << int(CanIdSetSN) << int(WordSerialNumber) << 1234;
        QTest::newRow("release date") << int(CanIdSetDate) << int(WordReleaseDate) << 6122026;
        QTest::newRow("impact level") << int(CanIdSetHit) << int(WordImpactLevel) << 75;
    }
    void setCommandsAreStoredAndAcknowledged()
    {
        QFETCH(int, id);
        QFETCH(int, word);
        QFETCH(int, value);
        const QByteArray before = module->eeprom().bytes();
        CanMessage command = data32(quint16(id), value);
        QCOMPARE(driver->write(&command), 0);
        const CanMessage ack = readOne();
        QCOMPARE(int(ack.id), id);
        QCOMPARE(ack.rtr, quint8(1));
        QCOMPARE(module->eeprom().word(word), quint32(value));

        EepromImage saved;
        QString error;
        QVERIFY2(EepromImage::load(module->options().eepromFile, &saved, &error), qPrintable(error));
        QCOMPARE(saved.bytes(), module->eeprom().bytes());
        QByteArray expected = before;
        expected.replace(4 * word, 4, module->eeprom().bytes().mid(4 * word, 4));
        QCOMPARE(saved.bytes(), expected);
    }

    void clearCommands()
    {
        const EepromImage original = module->eeprom();
        CanMessage clearIrt = remote(CanIdIRTClear, 0);
        QCOMPARE(driver->write(&clearIrt), 0);
        CanMessage ack = readOne();
        QCOMPARE(ack.id, quint16(CanIdIRTClear));
        QCOMPARE(ack.rtr, quint8(1));
        for (int word = 0; word < EepromImage::wordCount; ++word) {
            const bool interRepair = word >= WordRepairTime && word <= WordIrtImpacts;
            QCOMPARE(module->eeprom().word(word), interRepair ? 0u : original.word(word));
        }

        CanMessage clearAll = remote(CanIdEEPROMClear, 0);
        QCOMPARE(driver->write(&clearAll), 0);
        ack = readOne();
        QCOMPARE(ack.id, quint16(CanIdEEPROMClear));
        QCOMPARE(ack.rtr, quint8(1));

        CanMessage request = remote(CanIdReadData, 1);
        driver->write(&request);
        QCOMPARE(reportBytes(readUntilReportEnd()), QByteArray(296, char(0xFF)));
    }

    // A transfer with one fault of the bus or the module: what arrives up to
    // the end frame. Frames of other identifiers are stray traffic; the
    // set-up record's acceptance filter lets only the module's identifier
    // range through.
    void faultyTransfers_data()
    {
        QTest::addColumn<int>("strayEvery");
        QTest::addColumn<int>("dropFrame");
        QTest::addColumn<int>("frameDelayMs");
        QTest::newRow("stray frames around the report") << 3 << 0 << 0;
        QTest::newRow("dropped frame shortens the report") << 0 << 5 << 0;
        QTest::newRow("delayed frames still arrive in order") << 0 << 0 << 2;
    }
    void faultyTransfers()
    {
        QFETCH(int, strayEvery);
        QFETCH(int, dropFrame);
        QFETCH(int, frameDelayMs);
        SimulatedModuleOptions options = module->options();
        options.strayEvery = strayEvery;
        options.dropFrame = dropFrame;
        options.frameDelayMs = frameDelayMs;
        module->setOptions(options);
        CanMessage request = remote(CanIdReadData, 1);
        driver->write(&request);
        const QList<CanMessage> frames = readUntilReportEnd();

        QByteArray expected = module->eeprom().bytes();
        if (dropFrame > 0)
            expected.remove(8 * (dropFrame - 1), 8);
        QCOMPARE(reportBytes(frames), expected);
        QCOMPARE(count(frames, CanIdReadData, 0), dropFrame > 0 ? 36 : 37);
        for (const CanMessage &message : frames)
            QVERIFY2(message.id != 0x123, "a frame outside the acceptance filter was delivered");
        QCOMPARE(count(frames, 0x7A6, 1) > 0, strayEvery > 0);
        QCOMPARE(count(frames, CanIdSetSN, 0) > 0, strayEvery > 0);
    }

    void stoppedTransferHasNoEnd()
    {
        SimulatedModuleOptions options = module->options();
        options.stopAfter = 10;
        module->setOptions(options);
        CanMessage request = remote(CanIdReadData, 1);
        driver->write(&request);
        QTRY_COMPARE(module->reportsSent(), 1);

        // A second, complete transfer follows on the same connection, so the
        // first end frame read shows what the cut transfer delivered.
        options.stopAfter = 0;
        module->setOptions(options);
        driver->write(&request);
        const QList<CanMessage> frames = readUntilReportEnd();
        QCOMPARE(count(frames, CanIdReadData, 0), 10 + 37);
        QCOMPARE(count(frames, CanIdReadData, 1), 1);
    }

    // The virtual bus lives in the process that started it: when the
    // simulator hosting it ends, the link is lost; once it runs again, the
    // channel opens again.
    void linkLostWhenTheSimulatorEnds()
    {
        driver.reset();
        module.reset();
        if (!rvktest::SimulatorProcess::isBuilt())
            QFAIL("rvk-module-sim is not built beside the tests");
        // This process already hosts a bus; the simulator gets a port of its own.
        bus = rvktest::freeProcessBus();
        QVERIFY(!bus.isEmpty());

        rvktest::SimulatorProcess simulator;
        QVERIFY(simulator.start(bus));
        driver = std::make_unique<CanBusDriver>();
        QVERIFY(openDriver());
        CanMessage request = remote(CanIdReadData, 1);
        driver->write(&request);
        QCOMPARE(readUntilReportEnd().size(), 38);

        QVERIFY(simulator.stop());
        QCOMPARE(simulator.process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(simulator.process.exitCode(), 0);
        QTRY_VERIFY_WITH_TIMEOUT(driver->info() != 0, 1000);
        QVERIFY(driver->info() >= -6 && driver->info() <= -1);
        driver->close();
        QVERIFY(!openDriver());

        QVERIFY(simulator.start(bus));
        QVERIFY(openDriver());
        driver->write(&request);
        QCOMPARE(readUntilReportEnd().size(), 38);
        QVERIFY(simulator.stop());
    }
};

RVK_TEST_MAIN(TestCanBusVcan)
#include "tst_canbus_vcan.moc"
