#include "tests/support/hostiledatabaseserver.h"

#include <QElapsedTimer>
#include <QMutexLocker>
#include <QTcpServer>
#include <QTcpSocket>

#include <thread>
#include <vector>

namespace {
// Long password, found rows, long flag, connect with database, local files,
// 4.1 protocol, transactions, secure connection, multi results, plugin auth:
// what a real server offers, TLS left out.
constexpr quint32 Capabilities = 0x0001 | 0x0002 | 0x0004 | 0x0008 | 0x0080 | 0x0200 | 0x2000 | 0x8000 | 0x20000
    | 0x80000;

QByteArray lengthEncoded(const QByteArray &text)
{
    QByteArray out;
    if (text.size() < 251) {
        out.append(char(text.size()));
    } else {
        const bool threeBytes = text.size() >= 65536;
        out.append(char(threeBytes ? 0xfd : 0xfc));
        for (int i = 0; i < (threeBytes ? 3 : 2); ++i)
            out.append(char((text.size() >> (8 * i)) & 0xff));
    }
    return out + text;
}

QByteArray packet(quint8 sequence, const QByteArray &payload)
{
    QByteArray out;
    out.append(char(payload.size() & 0xff));
    out.append(char((payload.size() >> 8) & 0xff));
    out.append(char((payload.size() >> 16) & 0xff));
    out.append(char(sequence));
    return out + payload;
}

QByteArray littleEndian(quint32 value, int bytes)
{
    QByteArray out;
    for (int i = 0; i < bytes; ++i)
        out.append(char((value >> (8 * i)) & 0xff));
    return out;
}

QByteArray greeting(const QByteArray &method)
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
    payload.append(method);
    payload.append('\0');
    return packet(0, payload);
}

QByteArray ok(quint8 sequence)
{
    return packet(sequence, QByteArray::fromHex("00000002000000"));
}

QByteArray endOfRows(quint8 sequence)
{
    return packet(sequence, QByteArray::fromHex("fe00000200"));
}

QByteArray columnDefinition(quint8 sequence, const QByteArray &name, quint32 length, quint8 type = 0xfd)
{
    QByteArray payload = lengthEncoded("def") + lengthEncoded("RVKSSUdb") + lengthEncoded("rvkreport")
        + lengthEncoded("rvkreport") + lengthEncoded(name) + lengthEncoded(name);
    payload.append(char(0x0c));
    payload.append(littleEndian(45, 2));
    payload.append(littleEndian(length, 4));
    payload.append(char(type));
    payload.append(littleEndian(0, 2));
    payload.append(char(0));
    payload.append(littleEndian(0, 2));
    return packet(sequence, payload);
}

// Reads one whole packet, or returns false when the client went away.
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
    const qint64 length = quint8(header[0]) | (quint8(header[1]) << 8) | (quint8(header[2]) << 16);
    return readExactly(length, payload);
}

void send(QTcpSocket &socket, const QByteArray &bytes)
{
    socket.write(bytes);
    socket.waitForBytesWritten(1000);
}
} // namespace

HostileDatabaseServer::HostileDatabaseServer(const QHostAddress &address, const Script &script, quint16 port)
    : m_address(address)
    , m_script(script)
    , m_port(port)
{
    start();
    m_ready.acquire();
}

HostileDatabaseServer::~HostileDatabaseServer()
{
    m_stopping = true;
    wait();
}

QByteArray HostileDatabaseServer::received() const
{
    QMutexLocker lock(&m_mutex);
    return m_received;
}

void HostileDatabaseServer::record(const QByteArray &bytes)
{
    QMutexLocker lock(&m_mutex);
    m_received += bytes;
}

namespace {
// Hands out the accepted sockets' descriptors, so that each client is served
// on a thread of its own: the program keeps two connections (the session's
// and the row counter's).
class DescriptorServer : public QTcpServer
{
public:
    QList<qintptr> accepted;

protected:
    void incomingConnection(qintptr descriptor) override { accepted << descriptor; }
};
} // namespace

void HostileDatabaseServer::run()
{
    DescriptorServer server;
    server.listen(m_address, m_port);
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

void HostileDatabaseServer::serve(QTcpSocket &socket)
{
    const QByteArray hello = greeting(m_script.greetingMethod);
    if (m_script.greetingTrickleMs > 0) {
        for (char byte : hello) {
            send(socket, QByteArray(1, byte));
            QThread::msleep(ulong(m_script.greetingTrickleMs));
            if (m_stopping || socket.state() != QAbstractSocket::ConnectedState)
                return;
        }
    } else {
        send(socket, hello);
    }
    QByteArray payload;
    if (!readPacket(socket, &payload, m_stopping))
        return;
    record(payload);
    quint8 sequence = 2;
    if (!m_script.switchTo.isEmpty()) {
        send(socket, packet(sequence, "\xfe" + m_script.switchTo + QByteArray(1, '\0') + "abcdefghijklmnopqrst"
                                          + QByteArray(1, '\0')));
        if (!readPacket(socket, &payload, m_stopping))
            return;
        record(payload);
        sequence += 2;
    }
    send(socket, ok(sequence));

    while (readPacket(socket, &payload, m_stopping)) {
        record(payload);
        if (payload.isEmpty() || payload.at(0) == 0x01)
            return;
        const QByteArray statement = payload.mid(1);
        Answer answer;
        if (m_script.answer)
            answer = m_script.answer(statement);
        quint8 seq = 1;
        switch (answer.kind) {
        case Answer::Silence:
            while (!m_stopping && socket.state() == QAbstractSocket::ConnectedState) {
                if (socket.waitForReadyRead(100))
                    record(socket.readAll());
            }
            return;
        case Answer::Trickle: {
            // One byte of a result header, then a byte now and then: each
            // read sees progress, so no per-read time-out ever fires.
            const QByteArray start = packet(seq, QByteArray(1, '\x01'));
            for (char byte : start + columnDefinition(2, "x", 10)) {
                send(socket, QByteArray(1, byte));
                for (int i = 0; i < 10 && !m_stopping; ++i)
                    QThread::msleep(100);
                if (m_stopping || socket.state() != QAbstractSocket::ConnectedState)
                    return;
            }
            return;
        }
        case Answer::LocalFile: {
            send(socket, packet(seq, "\xfb" + answer.fileName));
            // The client answers with the file's content, or an empty packet.
            if (!readPacket(socket, &payload, m_stopping))
                return;
            record(payload);
            while (!payload.isEmpty() && readPacket(socket, &payload, m_stopping))
                record(payload);
            send(socket, ok(quint8(seq + 2)));
            break;
        }
        case Answer::Rows: {
            const QList<QByteArray> columns = answer.columns.isEmpty() ? QList<QByteArray>{"Variable_name", "Value"}
                                                                       : answer.columns;
            send(socket, packet(seq++, QByteArray(1, char(columns.size()))));
            for (const QByteArray &column : columns)
                send(socket, columnDefinition(seq++, column, answer.cellLength, answer.columnType));
            send(socket, endOfRows(seq++));
            QByteArray row;
            for (int i = 0; i < columns.size(); ++i)
                row += lengthEncoded(answer.cellText);
            QByteArray batch;
            for (qint64 i = 0; i < answer.rows; ++i) {
                batch += packet(seq++, row);
                if (batch.size() > 64 * 1024) {
                    socket.write(batch);
                    batch.clear();
                    // A client that gave up closes: stop sending then.
                    if (!socket.waitForBytesWritten(2000) || m_stopping)
                        return;
                }
            }
            send(socket, batch + endOfRows(seq++));
            break;
        }
        }
    }
}
