// The adapter object over a scripted D2XX.
#include "link/ftdi.h"
#include "tests/support/faked2xx.h"
#include "tests/support/testmain.h"

#include <QSignalSpy>

class TestFtdi : public QObject
{
    Q_OBJECT

private:
    FakeD2xx *d2xx = nullptr;

private slots:
    void init() { d2xx = FakeD2xx::install(); }
    void cleanupTestCase() { installD2xx(nullptr); }

    void countDevices_data()
    {
        QTest::addColumn<int>("attached");
        QTest::addColumn<uint>("status");
        QTest::addColumn<int>("expected");
        QTest::newRow("none") << 0 << uint(FT_OK) << 0;
        QTest::newRow("three") << 3 << uint(FT_OK) << 3;
        QTest::newRow("low 8 bits of 300") << 300 << uint(FT_OK) << 44;
        QTest::newRow("failed count") << 3 << uint(FT_IO_ERROR) << 0;
    }
    void countDevices()
    {
        QFETCH(int, attached);
        QFETCH(uint, status);
        QFETCH(int, expected);
        for (int i = 0; i < attached; ++i)
            d2xx->devices << QStringLiteral("dev%1").arg(i);
        d2xx->countStatus = status;
        FTDI adapter(QStringLiteral("VXA"));
        QCOMPARE(int(adapter.countDevices()), expected);
        QCOMPARE(adapter.lastStatus(), FT_STATUS(status));
    }

    void deviceDescription_data()
    {
        QTest::addColumn<QString>("attached");
        QTest::addColumn<uint>("status");
        QTest::addColumn<QString>("expected");
        QTest::newRow("plain") << "virtualcan/can0" << uint(FT_OK) << "virtualcan/can0";
        QTest::newRow("latin-1") << QStringLiteral("Adapt\u00e9r \u00b5") << uint(FT_OK) << QStringLiteral("Adapt\u00e9r \u00b5");
        QTest::newRow("failure gives the status number") << "x" << uint(FT_DEVICE_NOT_FOUND) << "2";
        QTest::newRow("other failure") << "x" << uint(FT_OTHER_ERROR) << "18";
    }
    void deviceDescription()
    {
        QFETCH(QString, attached);
        QFETCH(uint, status);
        QFETCH(QString, expected);
        d2xx->devices << attached;
        d2xx->descriptionStatus = status;
        FTDI adapter(QStringLiteral("VXA"));
        QCOMPARE(adapter.deviceDescription(0), expected);
        QCOMPARE(adapter.lastStatus(), FT_STATUS(status));
    }

    void openPulsesRtsOnlyWhenOpened()
    {
        d2xx->devices << QStringLiteral("Adapt\u00e9r");
        FTDI adapter(QStringLiteral("Adapt\u00e9r"));
        QCOMPARE(adapter.open(), FT_STATUS(FT_OK));
        QCOMPARE(d2xx->openedDescriptions.last(), QByteArray("Adapt\xe9r"));
        QCOMPARE(d2xx->log, (QStringList{QStringLiteral("open Adapt\u00e9r"), "clrRts", "setRts"}));

        d2xx->log.clear();
        adapter.close();
        QCOMPARE(d2xx->log, (QStringList{"setDtr", "close"}));

        d2xx->log.clear();
        adapter.setDescription(QStringLiteral("absent"));
        QCOMPARE(adapter.open(), FT_STATUS(FT_DEVICE_NOT_FOUND));
        QVERIFY(!adapter.isOpen());
        adapter.close();
        QCOMPARE(d2xx->log, QStringList{"open absent"});
    }

    // The vendor library frees a handle in FT_Close: each one is closed
    // exactly once, and nothing is called on it afterwards.
    void eachHandleIsClosedOnce()
    {
        d2xx->devices << QStringLiteral("A");
        {
            FTDI adapter(QStringLiteral("A"));
            QCOMPARE(adapter.open(), FT_STATUS(FT_OK));
            adapter.close();
            adapter.close();
            adapter.queueStatus();
            QCOMPARE(adapter.lastStatus(), FT_STATUS(FT_INVALID_HANDLE));
            QCOMPARE(adapter.open(), FT_STATUS(FT_OK));
            QCOMPARE(adapter.open(), FT_STATUS(FT_OK)); // the first one is released, not leaked
        }
        QCOMPARE(d2xx->handlesOpened, 3);
        QCOMPARE(d2xx->handlesClosed, 3);
        QVERIFY(!d2xx->anyHandleOpen());
        QCOMPARE(d2xx->callsOnClosedHandles, QStringList{});
        QCOMPARE(d2xx->log.count(QStringLiteral("close")), 3);
        QCOMPARE(d2xx->log.count(QStringLiteral("setDtr")), 3);
    }

    void destructorReleasesLines()
    {
        {
            FTDI adapter(QStringLiteral("VXA"));
        }
        QCOMPARE(d2xx->log, QStringList{});
        d2xx->devices << QStringLiteral("VXA");
        {
            FTDI adapter(QStringLiteral("VXA"));
            adapter.open();
            d2xx->log.clear();
        }
        QCOMPARE(d2xx->log, (QStringList{"setDtr", "close"}));
    }

    // readyRead fires when bytes arrive, whenever their number changes
    // while bytes wait, and once when a query fails after bytes were seen.
    void queueStatusSignals()
    {
        d2xx->devices << QStringLiteral("A");
        FTDI adapter(QStringLiteral("A"));
        QCOMPARE(adapter.open(), FT_STATUS(FT_OK));
        QSignalSpy spy(&adapter, SIGNAL(readyRead()));

        d2xx->queueCount = 0;
        adapter.queueStatus(); // resets the shared last count
        QCOMPARE(spy.count(), 0);

        d2xx->queueCount = 12;
        adapter.queueStatus();
        QCOMPARE(spy.count(), 1);
        adapter.queueStatus();
        QCOMPARE(spy.count(), 1);
        d2xx->queueCount = 24;
        adapter.queueStatus();
        QCOMPARE(spy.count(), 2);

        // An emptied queue forgets the count: the same number of bytes
        // arriving afresh is news again.
        d2xx->queueCount = 0;
        adapter.queueStatus();
        QCOMPARE(spy.count(), 2);
        d2xx->queueCount = 24;
        adapter.queueStatus();
        QCOMPARE(spy.count(), 3);

        d2xx->queueStatus = FT_IO_ERROR;
        adapter.queueStatus();
        QCOMPARE(spy.count(), 4);
        adapter.queueStatus();
        QCOMPARE(spy.count(), 4);
        QCOMPARE(adapter.lastStatus(), FT_STATUS(FT_IO_ERROR));

        d2xx->queueStatus = FT_OK;
        d2xx->queueCount = 0;
        adapter.queueStatus();
        QCOMPARE(spy.count(), 4);
        d2xx->queueCount = 24;
        adapter.queueStatus();
        QCOMPARE(spy.count(), 5);
    }

    void closedHandleStaysSilent()
    {
        FTDI adapter(QStringLiteral("VXA"));
        adapter.queueStatus(); // settles the count shared with earlier objects
        QSignalSpy spy(&adapter, SIGNAL(readyRead()));
        for (int poll = 0; poll < 3; ++poll)
            adapter.queueStatus();
        QCOMPARE(spy.count(), 0);
        QCOMPARE(adapter.lastStatus(), FT_STATUS(FT_INVALID_HANDLE));
    }
};

RVK_TEST_MAIN(TestFtdi)
#include "tst_ftdi.moc"
