#pragma once

#include <QSqlDatabase>
#include <QString>

// What every connection to the SSU database is opened with and checked for.
// The server sits across a plant network, so it is treated as possibly
// hostile: it may stop answering, ask for local files, or be an impostor.
namespace SsuConnection {

// Seconds a connection attempt may take before it counts as failed.
constexpr int ConnectTimeoutSeconds = 5;
// Seconds a single read or write on an opened connection may stall. A server
// that crashed after accepting a statement, or a VPN/NAT that dropped the
// link's state, would otherwise keep the window frozen for ever; with this
// bound every statement returns (failed) within about 20 s.
constexpr int ReadWriteTimeoutSeconds = 20;

// The QMYSQL connect options: the time-outs above and, when caFile is not
// empty, TLS with the server's certificate chain checked against that CA.
QString connectOptions(const QString &caFile);

// To be called right after db.open() succeeded; closes the connection and
// returns false when it cannot be made safe:
// - the client library's LOAD DATA LOCAL INFILE support is switched off, so
//   a server can no longer answer a statement with a request for a file of
//   the station's user (QMYSQL has no connect option for it and hands out
//   its native handle only after open(); the SET NAMES that open() sends
//   itself comes before, and only a verified TLS server closes that gap);
// - when TLS is required (a CA file is configured), a connection that the
//   client library left unencrypted because the server offered no TLS is
//   refused: the library itself falls back to plain text silently.
bool secureOpenedConnection(QSqlDatabase &db, bool requireTls);

// To be called after secureOpenedConnection(); closes the connection and
// returns false when the server is a cluster node that is not ready for
// statements (outside the primary component: it accepts the login and then
// refuses every statement), so the next node is tried. A server that is no
// cluster node is ready.
bool nodeReady(QSqlDatabase &db);

} // namespace SsuConnection
