#pragma once

#include <QList>
#include <QString>

// One database server the program may connect to.
struct DatabaseHost {
    QString name;
    int port = 0;

    bool operator==(const DatabaseHost &other) const { return name == other.name && port == other.port; }
};

// The deployment's database host value may name the nodes of a replicated
// cluster: "db1,db2:3307,10.0.0.5". Each entry is a host name or IPv4 address,
// optionally with ":port"; entries without a port use defaultPort. Blank
// entries are skipped and an entry with an unusable port is dropped rather
// than tried on a port nobody chose. Order is kept: connections try the
// hosts in the order the administrator listed them.
QList<DatabaseHost> parseDatabaseHosts(const QString &value, int defaultPort);
