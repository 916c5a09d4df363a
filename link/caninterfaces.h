#pragma once

#include <QString>
#include <QStringList>

// How a CAN interface is named where the tool expects an adapter
// description: "<plugin>/<interface>", for example "socketcan/can0",
// "peakcan/usb0" or "virtualcan/can0". The interface part is passed to the
// plugin unchanged, so it may itself contain slashes (a private virtual bus
// such as "virtualcan/tcp://127.0.0.1:40123/can0").
struct AdapterDescription
{
    QString plugin;
    QString interfaceName;

    bool isValid() const { return !plugin.isEmpty() && !interfaceName.isEmpty(); }
    QString toString() const;
    static AdapterDescription parse(const QString &text);
};

// The virtual bus every machine has; it stands in for the adapter when no
// CAN hardware is attached.
QString defaultVirtualBusDescription();

// The adapters to offer: the hardware interfaces when there are any,
// otherwise exactly the virtual bus, so a machine without hardware connects
// to it without any user action. Once hardware has been seen during the run,
// its absence means an adapter was unplugged: nothing is offered then, so
// the link waits for the adapter instead of coming up on a bus without the
// module (and the adapter list keeps showing what is missing).
QStringList adaptersToOffer(const QStringList &hardwareInterfaces, bool hardwareSeenBefore = false);

// Asks every CAN plugin that can be loaded for its interfaces and returns
// the descriptions of those that can be opened, virtual bus excluded.
// A plugin whose vendor library is missing is asked only once per run: the
// list is refreshed every second while the link is down, and the plugins
// complain on the console each time they fail to load.
QStringList hardwareCanInterfaces();

// adaptersToOffer(hardwareCanInterfaces(), whether any was found before in
// this run).
QStringList attachedCanAdapters();
