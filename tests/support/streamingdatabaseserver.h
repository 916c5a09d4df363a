#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QMutex>
#include <QSemaphore>
#include <QThread>

#include <atomic>
#include <functional>

class QTcpSocket;

// A database impostor whose answers are written as they are made, so that an
// answer can be endless or far larger than memory: millions of column
// definitions, page after page of rows, or nothing for a long while. Each
// client is served on a thread of its own; the login is accepted whatever it
// holds.
class StreamingDatabaseServer : public QThread
{
    Q_OBJECT
public:
    // One answer under way. Every call returns false once the client has
    // gone (or the server is stopping): the answer should end then.
    class Reply
    {
    public:
        bool resultHead(quint64 columns);
        bool column(const QByteArray &name);
        bool endOfColumns() { return endPacket(); }
        bool row(const QList<QByteArray> &cells);
        bool endOfRows() { return endPacket(); }
        bool ok();
        bool error(const QByteArray &text);
        // An empty result of two columns: what a server that is no cluster
        // node says to the readiness check.
        bool emptyResult();
        // Sends nothing for ms milliseconds (or until the client goes).
        bool pause(int ms);

    private:
        friend class StreamingDatabaseServer;
        Reply(StreamingDatabaseServer &server, QTcpSocket &socket) : server(server), socket(socket) {}
        bool packet(const QByteArray &payload);
        bool endPacket();
        bool flush();
        StreamingDatabaseServer &server;
        QTcpSocket &socket;
        QByteArray pending;
        quint8 sequence = 1;
    };

    // Answers one statement; by default (no answer, or one that wrote
    // nothing) an OK for commands and an empty result for SELECT and SHOW.
    using Answer = std::function<void(const QByteArray &statement, Reply &reply)>;

    StreamingDatabaseServer(const QHostAddress &address, Answer answer);
    ~StreamingDatabaseServer() override;

    QHostAddress address() const { return m_address; }
    quint16 port() const { return m_port; }
    // "address:port", as a database host value.
    QString hosts() const;
    // Bytes written to all clients so far.
    qint64 bytesSent() const { return m_sent; }
    // The statements received so far, in order.
    QList<QByteArray> statements() const;

protected:
    void run() override;

private:
    void serve(QTcpSocket &socket);

    QHostAddress m_address;
    Answer m_answer;
    quint16 m_port = 0;
    mutable QMutex m_mutex;
    QList<QByteArray> m_statements;
    QSemaphore m_ready;
    std::atomic<bool> m_stopping{false};
    std::atomic<qint64> m_sent{0};
};
