#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QMutex>
#include <QSemaphore>
#include <QThread>

#include <functional>

// A server that speaks just enough of the MySQL protocol to be an impostor on
// the plant network: it greets with whatever authentication method it likes,
// switches to another after the client's answer, trickles its bytes, answers
// a statement with a request for a local file, or with forged results. It
// runs in a thread of its own, so it keeps answering while the test's thread
// is blocked in a client call, and keeps every byte any client sent.
class HostileDatabaseServer : public QThread
{
    Q_OBJECT
public:
    // What the server answers a statement with.
    struct Answer
    {
        enum Kind { Rows, LocalFile, Trickle, Silence };
        Kind kind = Rows;
        // Rows: the column names and how many rows, each cell cellText, the
        // columns declared cellLength long.
        QList<QByteArray> columns;
        qint64 rows = 0;
        QByteArray cellText = "1";
        quint32 cellLength = 255;
        // The columns' declared type (the protocol's code; VAR_STRING by default).
        quint8 columnType = 0xfd;
        // LocalFile: the file the server asks for.
        QByteArray fileName;
    };

    struct Script
    {
        // The method the greeting names, and the one the server switches to
        // after the client's first answer (empty: none, the login is accepted).
        QByteArray greetingMethod = "mysql_native_password";
        QByteArray switchTo;
        // Milliseconds between bytes of the greeting (0: all at once).
        int greetingTrickleMs = 0;
        // The answer to each statement; by default an empty result, which is
        // what a server that is no cluster node says to the readiness check.
        std::function<Answer(const QByteArray &statement)> answer;
    };

    // Listens on the port given, or on a free one (0).
    HostileDatabaseServer(const QHostAddress &address, const Script &script, quint16 port = 0);
    ~HostileDatabaseServer() override;

    QHostAddress address() const { return m_address; }
    quint16 port() const { return m_port; }
    // Every byte clients sent so far.
    QByteArray received() const;

protected:
    void run() override;

private:
    void serve(class QTcpSocket &socket);
    void record(const QByteArray &bytes);

    QHostAddress m_address;
    Script m_script;
    quint16 m_port = 0;
    mutable QMutex m_mutex;
    QByteArray m_received;
    QSemaphore m_ready;
    std::atomic<bool> m_stopping{false};
};
