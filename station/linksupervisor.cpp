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
    connecting.setInterval(10);
    connect(&connecting, &QTimer::timeout, this, &LinkSupervisor::watchConnecting);
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

AdapterLink::OpenResult LinkSupervisor::openAtStart()
{
    pulseAdapterLines();
    refreshAdapters();
    const AdapterLink::OpenResult result = openLink();
    if (result != AdapterLink::OpenResult::Opened)
        emit linkStateChanged(false);
    supervision.start();
    return result;
}

AdapterLink::OpenResult LinkSupervisor::openLink()
{
    const AdapterLink::OpenResult result = adapterLink.open(adapter->description());
    if (result == AdapterLink::OpenResult::Opened)
        linkUp();
    else if (result == AdapterLink::OpenResult::Connecting) {
        connectingSince.start();
        connecting.start();
    }
    return result;
}

void LinkSupervisor::watchConnecting()
{
    const AdapterLink::State state = adapterLink.state();
    if (state == AdapterLink::State::Connecting && !connectingSince.hasExpired(StationTimings::current().connectWaitMs))
        return;
    connecting.stop();
    // A bus that did not come is the supervision's to report.
    if (state == AdapterLink::State::Up)
        linkUp();
}

void LinkSupervisor::linkUp()
{
    adapterSettled = true;
    shownUp = true;
    ignoringLoss = false;
    emit linkStateChanged(true);
}

void LinkSupervisor::superviseLink()
{
    // A choice of adapter made while a reconnection waits in a backend's
    // open may run this timer; the reconnection takes care of the link.
    if (reconnecting || paused)
        return;
    switch (adapterLink.state()) {
    case AdapterLink::State::Up:
        if (!shownUp)
            linkUp();
        ignoringLoss = false;
        return;
    case AdapterLink::State::Connecting:
        // A bus connecting is given its time; one that never comes, or a
        // driver that keeps saying so, is a loss like any other.
        if (connectingSince.isValid() && !connectingSince.hasExpired(StationTimings::current().connectWaitMs))
            return;
        break;
    default:
        break;
    }
    shownUp = false;
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
    AdapterLink::OpenResult result;
    quint32 choice = 0;
    do {
        choice = adapterChoices;
        connecting.stop();
        shownUp = false;
        emit linkStateChanged(false);
        adapterLink.close();
        pulseAdapterLines();
        refreshAdapters();
        result = openLink();
        // A backend whose open runs the event loop may see the user choose
        // another adapter meanwhile; that choice closed this open, so go on
        // with the chosen one.
    } while (result != AdapterLink::OpenResult::Opened && result != AdapterLink::OpenResult::Connecting
             && choice != adapterChoices);
    reconnecting = false;
}

void LinkSupervisor::chooseAdapter(const QString &description)
{
    adapter->setDescription(description);
    adapterSettled = true;
    ++adapterChoices;
    ProgramIdentity::nativeSettings().setValue(QLatin1String(adapterKey), description);
    // Connect now: the user has just said which adapter to use. A
    // reconnection under way is abandoned by the close and then goes on
    // with the chosen adapter itself.
    if (reconnecting)
        adapterLink.close();
    else
        reconnect();
}
