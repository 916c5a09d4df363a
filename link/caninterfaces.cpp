#include "link/caninterfaces.h"

#include <QCanBus>
#include <QCanBusDevice>
#include <QSet>
#include <memory>

namespace {
const QString virtualPlugin = QStringLiteral("virtualcan");
// The D2XX description buffer is 64 bytes with its terminating zero.
constexpr int maxDescriptionBytes = 63;
} // namespace

QString AdapterDescription::toString() const
{
    return plugin + QLatin1Char('/') + interfaceName;
}

AdapterDescription AdapterDescription::parse(const QString &text)
{
    AdapterDescription description;
    const int slash = text.indexOf(QLatin1Char('/'));
    if (slash <= 0)
        return description;
    description.plugin = text.left(slash).trimmed();
    description.interfaceName = text.mid(slash + 1).trimmed();
    return description;
}

QString defaultVirtualBusDescription()
{
    return AdapterDescription{virtualPlugin, QStringLiteral("can0")}.toString();
}

QStringList adaptersToOffer(const QStringList &hardwareInterfaces, bool hardwareSeenBefore)
{
    if (hardwareInterfaces.isEmpty() && !hardwareSeenBefore)
        return {defaultVirtualBusDescription()};
    return hardwareInterfaces;
}

QStringList hardwareCanInterfaces()
{
    static QSet<QString> unusablePlugins;
    QCanBus *bus = QCanBus::instance();
    QStringList found;
    const QStringList plugins = bus->plugins();
    for (const QString &plugin : plugins) {
        if (plugin == virtualPlugin || unusablePlugins.contains(plugin))
            continue;
        QString error;
        const QList<QCanBusDeviceInfo> devices = bus->availableDevices(plugin, &error);
        if (!error.isEmpty()) {
            unusablePlugins.insert(plugin);
            continue;
        }
        for (const QCanBusDeviceInfo &info : devices) {
            // Some plugins list a fixed interface whether or not their vendor
            // library is installed; only a device that can be created counts.
            std::unique_ptr<QCanBusDevice> device(bus->createDevice(plugin, info.name(), &error));
            if (!device) {
                unusablePlugins.insert(plugin);
                break;
            }
            const QString description = AdapterDescription{plugin, info.name()}.toString();
            if (description.toLatin1().size() <= maxDescriptionBytes)
                found.append(description);
        }
    }
    return found;
}

QStringList attachedCanAdapters()
{
    static bool hardwareSeen = false;
    const QStringList hardware = hardwareCanInterfaces();
    const QStringList offered = adaptersToOffer(hardware, hardwareSeen);
    hardwareSeen = hardwareSeen || !hardware.isEmpty();
    return offered;
}
