#pragma once

#include "protocol/canmessage.h"

#include <QObject>
#include <QString>
#include <QTimer>

// The adapter's CAN channel, over whichever driver backend is installed:
// the driver's result codes become typed results here, once, and received
// frames are announced by framesArrived(). A backend that tells of its
// frames (Qt's CAN interfaces) is not polled; the vendor's library, which
// cannot, is asked every millisecond.
class AdapterLink : public QObject
{
    Q_OBJECT
public:
    // The channel as the driver reports it.
    enum class State { Up, NoChannel, Connecting, Lost, BusOff, ReadError, WriteError, Unknown };
    enum class OpenResult { Opened, Connecting, NotOpened, SetupRefused, NotUp };

    explicit AdapterLink(QObject *parent = nullptr);

    // Opens and sets up the channel on the adapter the description names;
    // a channel that did not come up is closed again. A network-backed bus
    // may still be connecting (Connecting): its state() says when it is up.
    OpenResult open(const QString &description);
    void close();
    State state() const;
    // The check before every request and command: a channel the driver
    // reports failed is closed, so the next open starts clean. False then,
    // and for a bus the open left connecting, which stays open.
    bool guard();
    bool send(const CanMessage &message);
    // Frames sent that have not left the adapter's backend yet.
    bool writesPending() const;
    bool hasFrame() const;
    // Whether frames are looked for every millisecond: only for a backend
    // that does not tell of them.
    bool isPolling() const { return poll.isActive(); }
    // The next received frame, if one waits.
    bool takeFrame(CanMessage *message);

signals:
    // One or more frames wait; takeFrame() them.
    void framesArrived();

private:
    void watchReceiving();
    void announce();
    QTimer poll;
    bool announcing = false;
    bool connectingOpen = false;
};
