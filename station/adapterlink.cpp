#include "station/adapterlink.h"

#include "link/ktxcanfunctions.h"

#include <QPointer>

namespace {
constexpr qint32 FirstFailure = -6;
constexpr qint32 LastFailure = -1;

bool failed(qint32 result)
{
    return result >= FirstFailure && result <= LastFailure;
}
} // namespace

AdapterLink::AdapterLink(QObject *parent)
    : QObject(parent)
{
    poll.setInterval(1);
    connect(&poll, &QTimer::timeout, this, [this] {
        if (hasFrame())
            emit framesArrived();
    });
}

// Asked at every open, not before: nothing arrives without a channel, and a
// backend installed after this link (a test's fake, a library loaded late)
// must be heard too. The notice may outlive
// this object inside the backend, so it holds a guarded pointer.
void AdapterLink::watchReceiving()
{
    QPointer<AdapterLink> self(this);
    const bool notifies = ktxCANNotifyOnReceive([self] {
        if (self)
            self->announce();
    });
    if (notifies)
        poll.stop();
    else
        poll.start();
}

// The backend tells from inside its own receiving; the frames are taken once
// it has returned, and many frames in one go make one announcement.
void AdapterLink::announce()
{
    if (announcing)
        return;
    announcing = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            announcing = false;
            emit framesArrived();
        },
        Qt::QueuedConnection);
}

AdapterLink::OpenResult AdapterLink::open(const QString &description)
{
    watchReceiving();
    const QByteArray utf8 = description.toUtf8();
    quint32 output1 = 0;
    quint32 output2 = 0;
    const qint32 opened = ktxCANOpen(utf8.constData(), &output1, &output2, 19200, 500);
    if (opened == 1 || (opened >= 16 && opened <= 19)) {
        ktxCANClose();
        return OpenResult::NotOpened;
    }
    const KtxCANSetupRecord setupRecord;
    if (failed(ktxCANSetup(&setupRecord))) {
        ktxCANClose();
        return OpenResult::SetupRefused;
    }
    QByteArray deviceInfo(2048, '\0');
    ktxCANDeviceInfo(deviceInfo.data());
    // One look at the channel: -2 is a network bus still connecting, any
    // other failure closes it so the next open starts clean.
    const qint32 info = ktxCANInfo();
    connectingOpen = info == -2;
    if (connectingOpen)
        return OpenResult::Connecting;
    if (failed(info)) {
        ktxCANClose();
        return OpenResult::NotUp;
    }
    // Frames that came while the channel opened were told of before anyone
    // listened.
    if (hasFrame())
        announce();
    return OpenResult::Opened;
}

void AdapterLink::close()
{
    connectingOpen = false;
    ktxCANClose();
}

AdapterLink::State AdapterLink::state() const
{
    switch (ktxCANInfo()) {
    case 0:
        return State::Up;
    case -1:
        return State::NoChannel;
    case -2:
        return State::Connecting;
    case -3:
        return State::Lost;
    case -4:
        return State::BusOff;
    case -5:
        return State::ReadError;
    case -6:
        return State::WriteError;
    default:
        return State::Unknown;
    }
}

bool AdapterLink::guard()
{
    const qint32 info = ktxCANInfo();
    // A bus this open left connecting is given its time to come up; its
    // supervision bounds the wait. Any other failure, -2 from a driver
    // that opened at once included, closes the channel.
    if (info == -2 && connectingOpen)
        return false;
    connectingOpen = false;
    if (failed(info)) {
        ktxCANClose();
        return false;
    }
    return true;
}

bool AdapterLink::send(const CanMessage &message)
{
    return !failed(ktxCANWrite(&message));
}

bool AdapterLink::writesPending() const
{
    return ktxCANWritesPending();
}

bool AdapterLink::hasFrame() const
{
    return ktxCANIsNewMsg() & 0xFF;
}

bool AdapterLink::takeFrame(CanMessage *message)
{
    if (!hasFrame())
        return false;
    ktxCANRead(message);
    return true;
}
