// Adapter descriptions and the CAN interfaces presented as D2XX devices.
#include "link/canbusd2xx.h"
#include "link/caninterfaces.h"
#include "tests/support/testmain.h"

class TestAdapters : public QObject
{
    Q_OBJECT

private slots:
    void parse_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("plugin");
        QTest::addColumn<QString>("interfaceName");
        QTest::newRow("socketcan") << "socketcan/can0" << "socketcan" << "can0";
        QTest::newRow("url interface") << "virtualcan/tcp://127.0.0.1:40123/can0" << "virtualcan"
                                       << "tcp://127.0.0.1:40123/can0";
        QTest::newRow("spaces trimmed") << " peakcan / usb0 " << "peakcan" << "usb0";
        QTest::newRow("default adapter name") << "VXA" << "" << "";
        QTest::newRow("no plugin") << "/can0" << "" << "";
        QTest::newRow("no interface") << "socketcan/" << "socketcan" << "";
        QTest::newRow("empty") << "" << "" << "";
    }
    void parse()
    {
        QFETCH(QString, text);
        QFETCH(QString, plugin);
        QFETCH(QString, interfaceName);
        const AdapterDescription description = AdapterDescription::parse(text);
        QCOMPARE(description.plugin, plugin);
        QCOMPARE(description.interfaceName, interfaceName);
        QCOMPARE(description.isValid(), !plugin.isEmpty() && !interfaceName.isEmpty());
        if (description.isValid())
            QCOMPARE(AdapterDescription::parse(description.toString()).interfaceName, interfaceName);
    }

    void virtualBusOnlyWithoutHardware()
    {
        QCOMPARE(adaptersToOffer({}), QStringList{QStringLiteral("virtualcan/can0")});
        const QStringList hardware{QStringLiteral("socketcan/can0"), QStringLiteral("peakcan/usb0")};
        QCOMPARE(adaptersToOffer(hardware), hardware);
        QCOMPARE(adaptersToOffer(hardware, true), hardware);
        // Hardware seen earlier in the run and gone now was unplugged: the
        // virtual bus must not stand in for it.
        QCOMPARE(adaptersToOffer({}, true), QStringList{});
        QVERIFY(!hardwareCanInterfaces().join(QLatin1Char(' ')).contains(QLatin1String("virtualcan")));
    }

    void listsEnumeratedInterfaces()
    {
        QStringList attached{QStringLiteral("socketcan/can0"), QStringLiteral("socketcan/can1")};
        int enumerations = 0;
        CanBusD2xx d2xx([&] {
            ++enumerations;
            return attached;
        });
        quint32 count = 99;
        QCOMPARE(d2xx.listDevices(&count, nullptr, FT_LIST_NUMBER_ONLY), FT_STATUS(FT_OK));
        QCOMPARE(count, 2u);

        // Descriptions come from the snapshot the count was taken on.
        attached.prepend(QStringLiteral("socketcan/vcan9"));
        char buffer[64];
        QCOMPARE(d2xx.listDevices(reinterpret_cast<void *>(quintptr(1)), buffer, FT_LIST_BY_INDEX | FT_OPEN_BY_DESCRIPTION),
                 FT_STATUS(FT_OK));
        QCOMPARE(QByteArray(buffer), QByteArray("socketcan/can1"));
        QCOMPARE(d2xx.listDevices(reinterpret_cast<void *>(quintptr(2)), buffer, FT_LIST_BY_INDEX | FT_OPEN_BY_DESCRIPTION),
                 FT_STATUS(FT_DEVICE_NOT_FOUND));
        QCOMPARE(enumerations, 1);
    }

    void descriptionFitsTheBuffer()
    {
        const QString longName = QStringLiteral("socketcan/") + QString(80, QLatin1Char('x'));
        CanBusD2xx d2xx([&] { return QStringList{longName}; });
        quint32 count = 0;
        d2xx.listDevices(&count, nullptr, FT_LIST_NUMBER_ONLY);
        QByteArray buffer(80, char(0x55));
        QCOMPARE(d2xx.listDevices(nullptr, buffer.data(), FT_LIST_BY_INDEX | FT_OPEN_BY_DESCRIPTION), FT_STATUS(FT_OK));
        QCOMPARE(buffer.at(63), '\0');
        QCOMPARE(buffer.at(64), char(0x55));
    }

    void opensOnlyAttachedInterfaces()
    {
        CanBusD2xx d2xx([] { return QStringList{QStringLiteral("virtualcan/can0")}; });
        FT_HANDLE handle = nullptr;
        QByteArray wrong("VXA");
        QCOMPARE(d2xx.openEx(wrong.data(), FT_OPEN_BY_DESCRIPTION, &handle), FT_STATUS(FT_DEVICE_NOT_FOUND));
        QCOMPARE(d2xx.setDtr(handle), FT_STATUS(FT_INVALID_HANDLE));

        QByteArray right("virtualcan/can0");
        QCOMPARE(d2xx.openEx(right.data(), FT_OPEN_BY_DESCRIPTION, &handle), FT_STATUS(FT_OK));
        QVERIFY(handle);
        QCOMPARE(d2xx.clrRts(handle), FT_STATUS(FT_OK));
        QCOMPARE(d2xx.setRts(handle), FT_STATUS(FT_OK));
        QCOMPARE(d2xx.setDtr(handle), FT_STATUS(FT_OK));
        quint32 queued = 7;
        QCOMPARE(d2xx.getQueueStatus(handle, &queued), FT_STATUS(FT_OK));
        QCOMPARE(queued, 0u);
        QCOMPARE(d2xx.close(handle), FT_STATUS(FT_OK));

        // The handle is kept after close, and the adapter object keeps using it.
        QCOMPARE(d2xx.close(handle), FT_STATUS(FT_INVALID_HANDLE));
        QCOMPARE(d2xx.getQueueStatus(handle, &queued), FT_STATUS(FT_INVALID_HANDLE));
    }
};

RVK_TEST_MAIN(TestAdapters)
#include "tst_adapters.moc"
