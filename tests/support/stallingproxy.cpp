#include "tests/support/stallingproxy.h"

#include <QDeadlineTimer>
#include <QMutexLocker>
#include <QQueue>
#include <QTimer>
#include <QTcpServer>
#include <QTcpSocket>

namespace {
// Both ends of one proxied connection; lives in the proxy's thread.
struct Pair
{
    QTcpSocket *client = nullptr;
    QTcpSocket *upstream = nullptr;
    QByteArray pending; // client data before the upstream is connected
    bool stalled = false;
    // Answers held back, in the order they came, with when each may go.
    QQueue<QPair<QDeadlineTimer, QByteArray>> held;
};

// Passes on every held answer whose time has come, oldest first.
void releaseDue(Pair *pair)
{
    while (!pair->held.isEmpty() && pair->held.head().first.hasExpired())
        pair->client->write(pair->held.dequeue().second);
}
} // namespace

StallingProxy::StallingProxy(const QHostAddress &address, quint16 targetPort)
    : m_address(address)
    , m_targetPort(targetPort)
{
    start();
    m_ready.acquire();
}

StallingProxy::~StallingProxy()
{
    quit();
    wait();
}

void StallingProxy::stallAfter(const QByteArray &marker)
{
    QMutexLocker lock(&m_mutex);
    m_marker = marker;
}

void StallingProxy::holdAnswers(int milliseconds)
{
    QMutexLocker lock(&m_mutex);
    m_holdMs = milliseconds;
}

void StallingProxy::forwardEverything()
{
    QMutexLocker lock(&m_mutex);
    m_marker.clear();
}

void StallingProxy::refuseNewConnections(bool refuse)
{
    QMutexLocker lock(&m_mutex);
    m_refusing = refuse;
}

void StallingProxy::dropConnection(int index)
{
    QMutexLocker lock(&m_mutex);
    if (QObject *client = m_clients.value(index))
        QMetaObject::invokeMethod(client, [client] { static_cast<QTcpSocket *>(client)->abort(); });
}

int StallingProxy::stalledConnections() const
{
    QMutexLocker lock(&m_mutex);
    return m_stalled;
}

bool StallingProxy::shouldStall(const QByteArray &clientData)
{
    QMutexLocker lock(&m_mutex);
    if (m_marker.isEmpty() || !clientData.contains(m_marker))
        return false;
    ++m_stalled;
    return true;
}

void StallingProxy::run()
{
    QTcpServer server;
    if (!server.listen(m_address, 0)) {
        m_ready.release();
        return;
    }
    connect(&server, &QTcpServer::newConnection, &server, [this, &server] {
        while (QTcpSocket *client = server.nextPendingConnection()) {
            {
                QMutexLocker lock(&m_mutex);
                if (m_refusing) {
                    client->abort();
                    client->deleteLater();
                    continue;
                }
                m_clients.append(client);
                connect(client, &QObject::destroyed, client, [this, client] {
                    QMutexLocker lock(&m_mutex);
                    m_clients.replace(m_clients.indexOf(client), nullptr);
                });
            }
            auto *pair = new Pair;
            pair->client = client;
            pair->upstream = new QTcpSocket(client);
            QTcpSocket *upstream = pair->upstream;
            auto finish = [pair] {
                if (pair->client->state() != QAbstractSocket::UnconnectedState)
                    pair->client->disconnectFromHost();
                if (pair->upstream->state() != QAbstractSocket::UnconnectedState)
                    pair->upstream->abort();
            };
            connect(client, &QTcpSocket::readyRead, client, [this, pair] {
                const QByteArray data = pair->client->readAll();
                if (!pair->stalled && shouldStall(data))
                    pair->stalled = true;
                if (pair->upstream->state() == QAbstractSocket::ConnectedState)
                    pair->upstream->write(data);
                else
                    pair->pending += data;
            });
            connect(upstream, &QTcpSocket::connected, upstream, [pair] {
                pair->upstream->write(pair->pending);
                pair->pending.clear();
            });
            connect(upstream, &QTcpSocket::readyRead, upstream, [this, pair] {
                const QByteArray data = pair->upstream->readAll();
                if (pair->stalled)
                    return;
                int hold = 0;
                {
                    QMutexLocker lock(&m_mutex);
                    hold = m_holdMs;
                }
                if (hold <= 0 && pair->held.isEmpty()) {
                    pair->client->write(data);
                    return;
                }
                pair->held.enqueue({QDeadlineTimer(hold), data});
                QTimer::singleShot(hold, pair->client, [pair] { releaseDue(pair); });
            });
            connect(client, &QTcpSocket::disconnected, client, finish);
            connect(upstream, &QTcpSocket::disconnected, upstream, finish);
            // The upstream socket is the client's child and goes last.
            connect(upstream, &QObject::destroyed, [pair] { delete pair; });
            connect(client, &QTcpSocket::disconnected, client, &QObject::deleteLater);
            upstream->connectToHost(m_address, m_targetPort);
        }
    });
    m_port = server.serverPort();
    m_ready.release();
    exec();
    // Open pairs go with their client sockets, children of the server.
}
