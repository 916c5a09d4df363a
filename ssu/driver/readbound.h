#pragma once

#include <QtGlobal>

#include <memory>

struct st_mysql;

// Bounds what the client library may read from one connection's socket while
// a statement's answer is read, before it holds it.
//
// The library reads a result's column definitions inside the call that sends
// the statement, all of them, into memory of its own, and offers no hook
// between them: a server announcing millions of columns makes the station
// hold gigabytes before the call returns. So the bound sits below the
// library, where the bytes arrive: the connection's transport functions (the
// plug-in interface of ma_pvio.h) are replaced by ones that pass every read
// through, count it against the budget of the phase under way and refuse to
// read past it: the socket is cut, the read sees the connection ended, and
// the library's call fails like a lost connection.
//
// The first packet of an answer (the column count) is checked as it arrives,
// so an absurd count fails at once; the byte budget is what holds whatever
// the packets say.
//
// Over TLS the library hands the socket to the TLS library, which reads it
// itself: the transport functions then see the handshake only, and an
// answer is bounded by the statement's deadline and the packet size alone.
// That peer has shown the SSU's own certificate.
class ReadBound
{
public:
    ReadBound();
    ~ReadBound();
    ReadBound(const ReadBound &) = delete;
    ReadBound &operator=(const ReadBound &) = delete;

    // Puts the connection's reads under this bound; the connection must be
    // open. Unbounded until begin(). Must outlive the connection's close.
    void attach(st_mysql *mysql);

    // The reads that follow, until end(), may take at most bytes, and an
    // answer that announces more than columns columns is refused.
    void begin(qint64 bytes, int columns);
    void end();
    // The last phase was refused (its reads went past the bound); its
    // connection was cut.
    bool refused() const;
    // The bytes read in the last phase.
    qint64 bytesRead() const;

    struct Transport;

private:
    std::unique_ptr<Transport> transport;
};
