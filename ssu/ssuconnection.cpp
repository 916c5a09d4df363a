#include "ssu/ssuconnection.h"

#include <QSqlDriver>
#include <QSqlQuery>
#include <QVariant>

#include <mysql.h>

namespace SsuConnection {

namespace {
// QMYSQL hands out its MYSQL* only while the connection is open.
MYSQL *nativeHandle(const QSqlDatabase &db)
{
    if (!db.isOpen() || !db.driver())
        return nullptr;
    const QVariant handle = db.driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "MYSQL*") != 0)
        return nullptr;
    return *static_cast<MYSQL *const *>(handle.constData());
}
} // namespace

QString connectOptions(const QString &caFile)
{
    QString options = QStringLiteral("MYSQL_OPT_CONNECT_TIMEOUT=%1;MYSQL_OPT_READ_TIMEOUT=%2;MYSQL_OPT_WRITE_TIMEOUT=%2")
                          .arg(ConnectTimeoutSeconds)
                          .arg(ReadWriteTimeoutSeconds);
    // Given a CA, the client library checks the server's certificate chain
    // against it during the handshake and refuses a certificate it did not
    // issue; the host name in the certificate is not compared (QMYSQL cannot
    // set MYSQL_OPT_SSL_VERIFY_SERVER_CERT before it connects), so the CA
    // must be one that signs only SSU servers.
    if (!caFile.isEmpty())
        options += QStringLiteral(";SSL_CA=") + caFile;
    return options;
}

bool secureOpenedConnection(QSqlDatabase &db, bool requireTls)
{
    MYSQL *mysql = nativeHandle(db);
    if (!mysql) {
        db.close();
        return false;
    }
    // The library checks this flag whenever the server asks for a file, so
    // clearing it after the connect covers every later statement.
    const unsigned int off = 0;
    const bool switchedOff = mysql_options(mysql, MYSQL_OPT_LOCAL_INFILE, &off) == 0;
    if (!switchedOff || (requireTls && !mysql_get_ssl_cipher(mysql))) {
        db.close();
        return false;
    }
    return true;
}

bool nodeReady(QSqlDatabase &db)
{
    // A server built with cluster support but not running as a node reports
    // wsrep_ready OFF too, so readiness is asked of cluster nodes only.
    QSqlQuery status(db);
    bool ready = status.exec(QStringLiteral("SHOW VARIABLES LIKE 'wsrep_on'"));
    if (ready && status.next() && status.value(1).toString().compare(QLatin1String("ON"), Qt::CaseInsensitive) == 0) {
        ready = status.exec(QStringLiteral("SHOW STATUS LIKE 'wsrep_ready'")) && status.next()
            && status.value(1).toString().compare(QLatin1String("ON"), Qt::CaseInsensitive) == 0;
    }
    status = QSqlQuery();
    if (!ready)
        db.close();
    return ready;
}

} // namespace SsuConnection
