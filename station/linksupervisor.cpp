#include "station/linksupervisor.h"

#include "link/ftdi.h"
#include "protocol/programidentity.h"
#include "station/timing.h"

#include <QSettings>

namespace {
const char *const adapterKey = "Settings/Adapter";
// Matches no interface, so without a remembered choice the adapter is the
// one interface present, or the user's pick among several.
const char *const defaultAdapter = "VXA";
} // namespace

LinkSupervisor::LinkSupervisor(QObject *parent)
    : QObject(parent)
    , adapter(std::make_unique<FTDI>(rememberedAdapter()))
{
    supervision.setInterval(StationTimings::current().supervisionMs);
    connect(&supervision, &QTimer::timeout, this, &LinkSupervisor::superviseLink);
}

LinkSupervisor::~LinkSupervisor()
{
    adapterLink.close();
    pulseAdapterLines();
}

QString LinkSupervisor::rememberedAdapter()
{
    const QString remembered = ProgramIdentity::nativeSettings().value(QLatin1String(adapterKey)).toString();
    return remembered.isEmpty() ? QString::fromLatin1(defaultAdapter) : remembered;
}

QString LinkSupervisor::adapterDescription() const
{
    return adapter->description();
}

// Pulses RTS and sets DTR on the chosen adapter before the driver takes it.
void LinkSupervisor::pulseAdapterLines()
{
    adapter->open();
    adapter->close();
}

void LinkSupervisor::refreshAdapters()
{
    const int count = adapter->countDevices();
    if (count == 0)
        return;
    QStringList adapters;
    int current = 0;
    for (int i = 0; i < count; ++i) {
        adapters << adapter->deviceDescription(i);
        if (adapters.last() == adapter->description())
            current = i;
    }
    if (count == 1 && !adapterSettled)
        adapter->setDescription(adapters.first());
    emit adaptersChanged(adapters, current);
}

bool LinkSupervisor::openAtStart()
{
    pulseAdapterLines();
    refreshAdapters();
    const bool opened = adapterLink.open(adapter->description()) == AdapterLink::OpenResult::Opened;
    adapterSettled = opened;
    emit linkStateChanged(opened);
    // Supervision starts only now: the open may run the event loop for
    // longer than a tick (a network bus connecting), and a tick inside it
    // would close the half-open channel.
    supervision.start();
    return opened;
}

void LinkSupervisor::superviseLink()
{
    // A choice of adapter made while a reconnection waits in the driver's
    // open runs in that open's nested event loop, and so may this timer;
    // the reconnection under way takes care of the link.
    if (reconnecting || paused)
        return;
    if (adapterLink.state() == AdapterLink::State::Up) {
        ignoringLoss = false;
        return;
    }
    // Qt delivers this timer again only once this slot has returned, so no
    // second report of the loss comes while its handler asks the user.
    emit linkStateChanged(false);
    if (!ignoringLoss)
        emit linkLost();
    reconnect();
}

void LinkSupervisor::reconnect()
{
    reconnecting = true;
    bool opened = false;
    quint32 choice = 0;
    do {
        choice = adapterChoices;
        emit linkStateChanged(false);
        adapterLink.close();
        pulseAdapterLines();
        refreshAdapters();
        opened = adapterLink.open(adapter->description()) == AdapterLink::OpenResult::Opened;
        // An adapter chosen while the open waited has closed that open; go
        // on with the chosen one.
    } while (!opened && choice != adapterChoices);
    if (opened) {
        adapterSettled = true;
        emit linkStateChanged(true);
    }
    reconnecting = false;
}

void LinkSupervisor::chooseAdapter(const QString &description)
{
    adapter->setDescription(description);
    adapterSettled = true;
    ++adapterChoices;
    ProgramIdentity::nativeSettings().setValue(QLatin1String(adapterKey), description);
    // Connect now: the user has just said which adapter to use. A
    // reconnection that waits in the driver's open is abandoned by the close
    // and then goes on with the chosen adapter itself.
    if (reconnecting)
        adapterLink.close();
    else
        reconnect();
}
