#include "tests/support/streamingdatabaseserver.h"

#include <QElapsedTimer>
#include <QMutexLocker>
#include <QTcpServer>
#include <QTcpSocket>

#include <thread>
#include <vector>

namespace {
// Long password, found rows, long flag, connect with database, 4.1 protocol,
// transactions, secure connection, multi results, plugin auth; no TLS.
constexpr quint32 Capabilities = 0x0001 | 0x0002 | 0x0004 | 0x0008 | 0x0200 | 0x2000 | 0x8000 | 0x20000 | 0x80000;
// Written out in pieces of this size, so that an endless answer never
// gathers in the server's memory.
constexpr int FlushBytes = 64 * 1024;

QByteArray littleEndian(quint64 value, int bytes)
{
    QByteArray out;
    for (int i = 0; i < bytes; ++i)
        out.append(char((value >> (8 * i)) & 0xff));
    return out;
}

QByteArray lengthEncoded(quint64 value)
{
    if (value < 251)
        return QByteArray(1, char(value));
    if (value < 65536)
        return '\xfc' + littleEndian(value, 2);
    if (value < 16777216)
        return '\xfd' + littleEndian(value, 3);
    return '\xfe' + littleEndian(value, 8);
}

QByteArray lengthEncoded(const QByteArray &text)
{
    return lengthEncoded(quint64(text.size())) + text;
}

QByteArray framed(quint8 sequence, const QByteArray &payload)
{
    return littleEndian(quint64(payload.size()), 3) + char(sequence) + payload;
}

QByteArray greeting()
{
    QByteArray payload;
    payload.append(char(10));
    payload.append("5.5.5-10.11.0-MariaDB");
    payload.append('\0');
    payload.append(littleEndian(7, 4));
    payload.append("abcdefgh");
    payload.append('\0');
    payload.append(littleEndian(Capabilities & 0xffff, 2));
    payload.append(char(45));
    payload.append(littleEndian(2, 2));
    payload.append(littleEndian(Capabilities >> 16, 2));
    payload.append(char(21));
    payload.append(QByteArray(10, '\0'));
    payload.append("ijklmnopqrst");
    payload.append('\0');
    payload.append("mysql_native_password");
    payload.append('\0');
    return framed(0, payload);
}

bool readPacket(QTcpSocket &socket, QByteArray *payload, const std::atomic<bool> &stopping)
{
    auto readExactly = [&](qint64 bytes, QByteArray *out) {
        out->clear();
        while (out->size() < bytes) {
            if (stopping || socket.state() != QAbstractSocket::ConnectedState)
                return false;
            if (socket.bytesAvailable() == 0 && !socket.waitForReadyRead(100))
                continue;
            out->append(socket.read(bytes - out->size()));
        }
        return true;
    };
    QByteArray header;
    if (!readExactly(4, &header))
        return false;
    return readExactly(quint8(header[0]) | (quint8(header[1]) << 8) | (quint8(header[2]) << 16), payload);
}

// Leaves the accepted sockets' descriptors to the serving threads.
class DescriptorServer : public QTcpServer
{
public:
    QList<qintptr> accepted;

protected:
    void incomingConnection(qintptr descriptor) override { accepted << descriptor; }
};
} // namespace

bool StreamingDatabaseServer::Reply::packet(const QByteArray &payload)
{
    pending += framed(sequence++, payload);
    return pending.size() < FlushBytes || flush();
}

bool StreamingDatabaseServer::Reply::flush()
{
    while (!pending.isEmpty()) {
        if (server.m_stopping || socket.state() != QAbstractSocket::ConnectedState)
            return false;
        const qint64 written = socket.write(pending);
        if (written < 0)
            return false;
        pending.remove(0, int(written));
        server.m_sent += written;
        while (socket.bytesToWrite() > 0) {
            if (server.m_stopping || socket.state() != QAbstractSocket::ConnectedState)
                return false;
            socket.waitForBytesWritten(100);
        }
    }
    return true;
}

bool StreamingDatabaseServer::Reply::endPacket()
{
    return packet(QByteArray::fromHex("fe00000200")) && flush();
}

bool StreamingDatabaseServer::Reply::resultHead(quint64 columns)
{
    return packet(lengthEncoded(columns));
}

bool StreamingDatabaseServer::Reply::column(const QByteArray &name)
{
    QByteArray payload = lengthEncoded("def") + lengthEncoded("RVKSSUdb") + lengthEncoded("rvkreport")
        + lengthEncoded("rvkreport") + lengthEncoded(name) + lengthEncoded(name);
    payload.append(char(0x0c));
    payload.append(littleEndian(45, 2));
    payload.append(littleEndian(255, 4));
    payload.append(char(0xfd));
    payload.append(littleEndian(0, 2));
    payload.append(char(0));
    payload.append(littleEndian(0, 2));
    return packet(payload);
}

bool StreamingDatabaseServer::Reply::row(const QList<QByteArray> &cells)
{
    QByteArray payload;
    for (const QByteArray &cell : cells)
        payload += lengthEncoded(cell);
    return packet(payload);
}

bool StreamingDatabaseServer::Reply::ok()
{
    return packet(QByteArray::fromHex("00000002000000")) && flush();
}

bool StreamingDatabaseServer::Reply::error(const QByteArray &text)
{
    return packet("\xff" + littleEndian(1064, 2) + "#42000" + text) && flush();
}

bool StreamingDatabaseServer::Reply::emptyResult()
{
    return resultHead(2) && column("Variable_name") && column("Value") && endOfColumns() && endOfRows();
}

bool StreamingDatabaseServer::Reply::pause(int ms)
{
    if (!flush())
        return false;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms) {
        if (server.m_stopping || socket.state() != QAbstractSocket::ConnectedState)
            return false;
        // Notices a client that closed.
        if (socket.waitForReadyRead(50))
            socket.readAll();
    }
    return true;
}

StreamingDatabaseServer::StreamingDatabaseServer(const QHostAddress &address, Answer answer)
    : m_address(address)
    , m_answer(std::move(answer))
{
    start();
    m_ready.acquire();
}

StreamingDatabaseServer::~StreamingDatabaseServer()
{
    m_stopping = true;
    wait();
}

QString StreamingDatabaseServer::hosts() const
{
    return QStringLiteral("%1:%2").arg(m_address.toString()).arg(m_port);
}

QList<QByteArray> StreamingDatabaseServer::statements() const
{
    QMutexLocker lock(&m_mutex);
    return m_statements;
}

void StreamingDatabaseServer::run()
{
    DescriptorServer server;
    server.listen(m_address, 0);
    m_port = server.serverPort();
    m_ready.release();
    std::vector<std::thread> clients;
    while (!m_stopping) {
        server.waitForNewConnection(100);
        for (const qintptr descriptor : qAsConst(server.accepted)) {
            clients.emplace_back([this, descriptor] {
                QTcpSocket socket;
                socket.setSocketDescriptor(descriptor);
                serve(socket);
                socket.abort();
            });
        }
        server.accepted.clear();
    }
    for (std::thread &client : clients)
        client.join();
}

void StreamingDatabaseServer::serve(QTcpSocket &socket)
{
    socket.write(greeting());
    socket.waitForBytesWritten(1000);
    QByteArray payload;
    if (!readPacket(socket, &payload, m_stopping))
        return;
    socket.write(framed(2, QByteArray::fromHex("00000002000000")));
    socket.waitForBytesWritten(1000);
    while (readPacket(socket, &payload, m_stopping)) {
        if (payload.isEmpty() || payload.at(0) == 0x01)
            return;
        const QByteArray statement = payload.mid(1);
        {
            QMutexLocker lock(&m_mutex);
            m_statements << statement;
        }
        Reply reply(*this, socket);
        if (m_answer)
            m_answer(statement, reply);
        if (reply.sequence == 1) {
            const QByteArray verb = statement.trimmed().left(4).toUpper();
            if (verb == "SELE" || verb == "SHOW")
                reply.emptyResult();
            else
                reply.ok();
        }
        if (!reply.flush())
            return;
    }
}
