#pragma once

#include "ssu/driver/readbound.h"

#include <QDeadlineTimer>
#include <QSqlDriver>
#include <QSqlError>
#include <QString>

struct st_mysql;

// What every SSU connection is held to. The server sits across a plant
// network and is treated as possibly hostile: an impostor with a certificate
// for another host, a server that asks for the password in a form it can
// read, one that trickles or stalls, asks for local files or sends more than
// was asked for.
struct SsuLinkPolicy
{
    // PEM file of the CA that issues the SSU's certificates. When set, the
    // link is TLS only, and the certificate must come from that CA and name
    // the host being connected to, before the password is sent.
    QString caFile;
    // The whole connect (TCP, TLS and login), and each statement from its
    // sending to its last row, may take this long; then its socket is closed.
    // The opener holds a host's whole open, readiness checks included, to
    // connectMs (SsuDriver::holdTo).
    int connectMs = 5000;
    int statementMs = 20000;
    // Every row the server sends is one protocol packet; a report row is a
    // few kilobytes, so a larger packet is not one of the SSU's.
    unsigned long maxPacketBytes = 1024 * 1024;
    // The most rows, and bytes, a statement's result may hold unless a
    // caller sets a tighter row limit for its next statements.
    int rowLimit = 10000;
    qint64 resultBytes = 32 * 1024 * 1024;
    // What an answer may bring before its rows: the column count and the
    // column definitions (a report row has under a hundred columns of some
    // 60 bytes each). The library keeps several times the bytes it reads
    // for each definition, so these bound what it holds to a few MB.
    int maxColumns = 1024;
    qint64 resultHeadBytes = 512 * 1024;
};

// A Qt SQL driver over the MariaDB client library's non-blocking API, so that
// every check above is made where the library offers it: server certificate
// and host name verified, only the native password method allowed (nothing
// is sent to a server that asks for another), TLS enforced before the login,
// LOAD DATA LOCAL refused from the first byte, and total deadlines instead of
// per-read time-outs. Texts bound to prepared statements go into the
// statement as hex literals with their character set named, which parse the
// same whatever character set the server reads statements in. Each result is
// read whole when the statement runs, within the column, row and byte bounds
// (ReadBound holds the column definitions, which the library reads before
// any row is asked for); a result beyond them fails the statement and closes
// the connection, as a result left half-read cannot be skipped cheaply. Used
// from one thread at a time, like every Qt SQL connection.
class SsuDriver : public QSqlDriver
{
    Q_OBJECT
public:
    explicit SsuDriver(const SsuLinkPolicy &policy, QObject *parent = nullptr);
    ~SsuDriver() override;

    bool hasFeature(DriverFeature feature) const override;
    bool open(const QString &database, const QString &user, const QString &password, const QString &host, int port,
              const QString &options) override;
    void close() override;
    QSqlResult *createResult() const override;
    bool beginTransaction() override;
    bool commitTransaction() override;
    bool rollbackTransaction() override;
    QString formatValue(const QSqlField &field, bool trimStrings = false) const override;
    QString escapeIdentifier(const QString &identifier, IdentifierType type) const override;

    const SsuLinkPolicy &policy() const { return linkPolicy; }
    // The row limit for the statements that follow (0: the policy's).
    void setRowLimit(int rows) { rowLimitOverride = rows; }
    int rowLimit() const { return rowLimitOverride > 0 ? rowLimitOverride : linkPolicy.rowLimit; }
    // The connection was closed by the driver itself (a statement past its
    // deadline, a result beyond the bounds), not lost: trying the statement
    // again on a fresh connection would only fail again.
    bool wasGivenUp() const { return givenUp; }
    // Ends the open and every statement that follows by deadline at the
    // latest, besides the policy's own bounds, until given Forever.
    void holdTo(const QDeadlineTimer &deadline) { outerDeadline = deadline; }

private:
    friend class SsuResult;
    // Runs a statement without result rows, within the deadline.
    bool command(const QByteArray &statement);
    void fail(const QString &text, QSqlError::ErrorType type);
    // Closes the socket first, so that closing never waits on the server.
    void drop();

    SsuLinkPolicy linkPolicy;
    st_mysql *mysql = nullptr;
    ReadBound readBound;
    int rowLimitOverride = 0;
    bool givenUp = false;
    QDeadlineTimer outerDeadline{QDeadlineTimer::Forever};
};
