#include "ssu/driver/databasehosts.h"

#include <QStringList>

QList<DatabaseHost> parseDatabaseHosts(const QString &value, int defaultPort)
{
    QList<DatabaseHost> hosts;
    const QStringList entries = value.split(QLatin1Char(','), Qt::SkipEmptyParts);
    for (QString entry : entries) {
        entry = entry.trimmed();
        if (entry.isEmpty())
            continue;
        DatabaseHost host{entry, defaultPort};
        // A bare IPv6 address holds several colons and no port.
        const int colon = entry.count(QLatin1Char(':')) == 1 ? entry.indexOf(QLatin1Char(':')) : -1;
        if (colon >= 0) {
            bool ok = false;
            const int port = entry.mid(colon + 1).toInt(&ok);
            if (!ok || port < 1 || port > 65535 || colon == 0)
                continue;
            host = {entry.left(colon), port};
        }
        if (!hosts.contains(host))
            hosts.append(host);
    }
    return hosts;
}
