// rvk-ktx-bridge: the Linux end of the stand-in ktxdrv.dll that the Windows
// program loads under Wine (tests/windows/bridgektxdrv.cpp). It joins a CAN
// bus through Qt SerialBus and relays frames between it and one TCP client,
// each frame as the driver's 12-byte record.
//
//     rvk-ktx-bridge <tcp port> <plugin/interface>
//     rvk-ktx-bridge 40990 virtualcan/tcp://127.0.0.1:40991/can0

#include "link/canbusdriver.h"
#include "link/caninterfaces.h"
#include "protocol/canmessage.h"

#include <QCanBus>
#include <QCanBusDevice>
#include <QCoreApplication>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <cstdio>
#include <memory>

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    const QStringList arguments = application.arguments();
    const AdapterDescription bus = AdapterDescription::parse(arguments.value(2));
    bool portOk = false;
    const quint16 port = quint16(arguments.value(1).toUInt(&portOk));
    if (!portOk || !bus.isValid()) {
        std::fprintf(stderr, "usage: rvk-ktx-bridge <tcp port> <plugin/interface>\n");
        return 2;
    }

    QString error;
    std::unique_ptr<QCanBusDevice> device(QCanBus::instance()->createDevice(bus.plugin, bus.interfaceName, &error));
    if (!device || !device->connectDevice()) {
        std::fprintf(stderr, "rvk-ktx-bridge: cannot join %s: %s\n", qPrintable(bus.toString()),
                     qPrintable(device ? device->errorString() : error));
        return 1;
    }
    QTcpServer server;
    if (!server.listen(QHostAddress::LocalHost, port)) {
        std::fprintf(stderr, "rvk-ktx-bridge: cannot listen on port %u: %s\n", port, qPrintable(server.errorString()));
        return 1;
    }

    QPointer<QTcpSocket> client;
    QObject::connect(&server, &QTcpServer::newConnection, [&] {
        // The program reopens the driver after a lost link: the newest
        // connection is the one in use.
        if (client)
            client->deleteLater();
        client = server.nextPendingConnection();
        client->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        QObject::connect(client, &QTcpSocket::readyRead, [&] {
            while (client && client->bytesAvailable() >= qint64(sizeof(CanMessage)))
                device->writeFrame(CanBusDriver::toFrame(CanMessage::fromBytes(client->read(sizeof(CanMessage)))));
        });
    });
    QObject::connect(device.get(), &QCanBusDevice::framesReceived, [&] {
        while (device->framesAvailable() > 0) {
            const QCanBusFrame frame = device->readFrame();
            if (client && frame.isValid())
                client->write(CanBusDriver::toCanMessage(frame).toBytes());
        }
    });
    std::fprintf(stderr, "rvk-ktx-bridge: %s on port %u\n", qPrintable(bus.toString()), port);
    return application.exec();
}
