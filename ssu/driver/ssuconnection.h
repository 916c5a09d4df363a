#pragma once

#include "ssu/driver/ssudriver.h"

#include <QSqlDatabase>
#include <QString>

#include <functional>

// Where and as whom a connection to the SSU database is opened.
struct SsuTarget
{
    // "host[:port],...": a cluster's nodes, tried in the administrator's order.
    QString hosts;
    // PEM file of the CA that issues the SSU's certificates; empty: no TLS.
    QString caFile;
    QString user = QStringLiteral("RVKuser");
    QString password;
    QString database = QStringLiteral("RVKSSUdb");
};

// The one way every connection to the SSU is opened, whoever opens it: the
// session's, the row counter's and the administrator's tool's. Each goes
// through SsuDriver with the same safeguards.
namespace SsuConnection {

constexpr int DefaultPort = 3666;
// The policy bounds one host's open (TCP, TLS, login and the readiness
// checks after it) and one statement, from its sending to its last row, by
// SsuTimings. A server that trickles a byte at a time gains nothing: the
// socket is closed when the time is up, and the next host is tried.
SsuLinkPolicy policy(const SsuTarget &target);

// Opens the connection called name, in the calling thread, to the first of
// the target's hosts that accepts it and is ready for statements (a cluster
// node outside the primary component accepts the login and then refuses
// every statement, so the next node is tried). The connection is invalid or
// closed when none did. An earlier connection of that name is replaced.
QSqlDatabase open(const QString &name, const SsuTarget &target);
// The same under another policy: one made from policy(target) and adjusted,
// e.g. the administrator's longer statement deadline.
QSqlDatabase open(const QString &name, const SsuTarget &target, const SsuLinkPolicy &policy);

// Closes and forgets the connection called name, if any.
void remove(const QString &name);

// Runs read on the connection called name. When it fails because the
// connection is not open (the server dropped it: idle limit, restart, a
// cluster node taking over; or it was never opened), the connection is
// opened again once and read runs once more. A read that failed on an open
// connection (a server error) is not repeated. Writes do not come here: a
// failed upload goes to the archive instead.
bool readWithReopen(const QString &name, const SsuTarget &target, const std::function<bool(QSqlDatabase)> &read);

} // namespace SsuConnection
