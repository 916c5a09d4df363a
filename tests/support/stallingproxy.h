#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QMutex>
#include <QSemaphore>
#include <QThread>

// A loopback TCP proxy in front of a server, in a thread of its own so it
// keeps forwarding while the test's thread is blocked in a synchronous
// client call. Once stallAfter() is armed, a connection whose client sends
// the marker still delivers that data to the server, but every answer of the
// server on it is swallowed from then on: a server that accepted a statement
// and then went silent, as after a crash or when a NAT dropped the link's
// state. Closing either side closes the other. holdAnswers() delays every
// answer instead, as a slow server would.
//
//   StallingProxy proxy(QHostAddress("127.0.0.1"), 3666);
//   dialog.setDatabaseServer(proxy.address().toString(), proxy.port(), {});
//   proxy.stallAfter("INSERT INTO rvkreport");
class StallingProxy : public QThread
{
    Q_OBJECT
public:
    StallingProxy(const QHostAddress &address, quint16 targetPort);
    ~StallingProxy() override;

    QHostAddress address() const { return m_address; }
    // The port the proxy listens on (picked free), 0 if it could not listen.
    quint16 port() const { return m_port; }

    void stallAfter(const QByteArray &marker);
    // Holds every answer of the server this long before passing it on (in
    // order): a slow server or link, under which a user acts while each
    // statement is answered. 0 passes answers at once.
    void holdAnswers(int milliseconds);
    void forwardEverything();
    // From now on new connections are closed as soon as they come: a server
    // that has gone away for new clients.
    void refuseNewConnections(bool refuse);
    // Breaks the index-th connection the proxy accepted (0 the first), as a
    // server that dropped an idle client does.
    void dropConnection(int index);
    // How many connections have been stalled so far.
    int stalledConnections() const;

protected:
    void run() override;

private:
    // Called from the proxy's thread.
    bool shouldStall(const QByteArray &clientData);

    QHostAddress m_address;
    quint16 m_targetPort = 0;
    quint16 m_port = 0;
    mutable QMutex m_mutex;
    QByteArray m_marker;
    int m_stalled = 0;
    int m_holdMs = 0;
    bool m_refusing = false;
    QList<QObject *> m_clients;
    QSemaphore m_ready;
};
