#pragma once

// Helpers for tests that need the SSU database (tests named "_db"): the test
// MariaDB of scripts/test-db must be running. Widget-free, so tests of the
// database session alone use them without linking a window.
//
// Header-only because the support library does not link the database units;
// every test executable that includes this does.
//
// Database tests run in parallel with other test programs on one shared table,
// so a test should use serial numbers of its own and look only at those rows
// (rowsForSerial, deleteSerials) rather than empty the whole table.

#include "ssu/driver/databasehosts.h"
#include "ssu/driver/databasethread.h"
#include "ssu/ssusession.h"
#include "ssu/deployment.h"
#include "ssu/reportschema.h"
#include "ssu/tokenencoder.h"
#include "tests/support/httpfileserver.h"
#include "tests/support/sessioncalls.h"
#include "tests/support/testaddresses.h"

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QVariant>

namespace rvktest {

inline const char *passwordPath()
{
    return "/downloads/ssu.pas";
}

// The test server's password for "RVKuser" (scripts/test-db).
inline QString testDatabasePassword()
{
    return qEnvironmentVariable("RVK_TEST_DB_PASSWORD", QStringLiteral("rvk-test-password"));
}

// The password file as a deployer serves it, encrypted with the build's key.
inline QByteArray passwordFile(const QString &password = testDatabasePassword())
{
    return TokenEncoder(Deployment::key()).encryptText(password).toLatin1() + '\n';
}

// A login token that decrypts to the password.
inline QString loginToken(const QString &password = testDatabasePassword())
{
    return TokenEncoder(Deployment::key()).encryptText(password);
}

// The test server's password for "RVKadmin", the account of the
// administrator's step (scripts/test-db).
inline QString testAdminPassword()
{
    return qEnvironmentVariable("RVK_TEST_DB_ADMIN_PASSWORD", QStringLiteral("rvk-test-admin-password"));
}

// Brings a session (SsuSession, or the SSUDialog that owns one) into the
// connected state the way the program does: serves the encrypted password on
// the server, points the session at it, starts the download and waits until
// the session reports the connection opened (signalIndicator(true)); the
// download slot has then also created the table (and the dialog its model).
// Returns false when no connection was reported in time.
template <class Session>
bool bringOnline(Session &session, HttpFileServer &server, const QString &password = testDatabasePassword(),
                 int timeoutMs = 15000)
{
    server.serve(QLatin1String(passwordPath()), passwordFile(password));
    session.setDownloadUrl(server.url(QLatin1String(passwordPath())));
    QSignalSpy indicator(&session, SIGNAL(signalIndicator(bool)));
    session.startDownload();
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < timeoutMs) {
        for (const QList<QVariant> &arguments : indicator)
            if (arguments.value(0).toBool())
                return true;
        indicator.wait(100);
    }
    return false;
}

// Runs the statement on the session's own connection, on its database
// thread, as the program's statements run; the first row's values, empty
// when the statement failed or returned no row.
inline QVariantList onSessionConnection(SsuSession *session, const QString &statement)
{
    const QString name = session->connectionName();
    return onDatabaseThread<QVariantList>(session->databaseThread(), [name, statement] {
        QSqlQuery query(QSqlDatabase::database(name, false));
        QVariantList values;
        if (query.exec(statement) && query.next())
            for (int i = 0; i < query.record().count(); ++i)
                values << query.value(i);
        return values;
    });
}

// Whether the statement ran on the session's own connection.
inline bool execOnSessionConnection(SsuSession *session, const QString &statement)
{
    const QString name = session->connectionName();
    return onDatabaseThread<bool>(session->databaseThread(), [name, statement] {
        QSqlQuery query(QSqlDatabase::database(name, false));
        return query.exec(statement);
    });
}

// A connection of the test's own to the test database, opened if it is not.
inline QSqlDatabase testConnection(const QString &name, const QString &user, const QString &password)
{
    QSqlDatabase db = QSqlDatabase::contains(name) ? QSqlDatabase::database(name, false)
                                                   : QSqlDatabase::addDatabase(QStringLiteral("QMYSQL"), name);
    if (!db.isOpen()) {
        db.setDatabaseName(QStringLiteral("RVKSSUdb"));
        const DatabaseHost host = testDatabaseHost();
        db.setHostName(host.name);
        db.setPort(host.port);
        db.setUserName(user);
        db.setPassword(password);
        db.open();
    }
    return db;
}

// A connection of the test's own ("rvktest-admin") for looking at and
// preparing the table behind the program's back, on the administrator's
// account: stations may not alter the table. Creates the table if needed,
// with its keys, as rvk-ssu-admin does.
inline QSqlDatabase adminConnection()
{
    const QString name = QStringLiteral("rvktest-admin");
    const bool wasOpen = QSqlDatabase::contains(name) && QSqlDatabase::database(name, false).isOpen();
    QSqlDatabase db = testConnection(name, QStringLiteral("RVKadmin"), testAdminPassword());
    if (!wasOpen && db.isOpen() && QSqlQuery(db).exec(createReportTableStatement())) {
        const QString migration = reportMigrationStatement(db);
        if (!migration.isEmpty())
            QSqlQuery(db).exec(migration);
    }
    return db;
}

// A connection of the test's own ("rvktest-station") on the stations'
// account, which may end the program's connections: the administrator's
// account has no right over another account's.
inline QSqlDatabase stationConnection()
{
    return testConnection(QStringLiteral("rvktest-station"), QStringLiteral("RVKuser"), testDatabasePassword());
}

inline bool databaseReachable()
{
    return adminConnection().isOpen();
}

// Removes the rows of the given serial numbers.
inline void deleteSerials(const QList<quint32> &serials)
{
    QSqlQuery query(adminConnection());
    for (quint32 serial : serials) {
        query.prepare(QStringLiteral("DELETE FROM rvkreport WHERE sn = ?"));
        query.addBindValue(serial);
        query.exec();
    }
}

// Empties the whole table. Only for tests that own the database for their run.
inline void clearReportTable()
{
    QSqlQuery(adminConnection()).exec(QStringLiteral("DELETE FROM rvkreport"));
}

// The rows of one serial number: every column as text, ordered by date.
inline QList<QVariantMap> rowsForSerial(quint32 serial)
{
    QList<QVariantMap> rows;
    QSqlQuery query(adminConnection());
    query.prepare(QStringLiteral("SELECT * FROM rvkreport WHERE sn = ? ORDER BY date"));
    query.addBindValue(serial);
    if (!query.exec())
        return rows;
    while (query.next()) {
        QVariantMap row;
        const QSqlRecord record = query.record();
        for (int i = 0; i < record.count(); ++i)
            row.insert(record.fieldName(i), query.value(i));
        rows.append(row);
    }
    return rows;
}

// Sets word index of a record (little-endian), growing the record if needed.
inline void setReportWord(QByteArray &record, int index, qint32 value)
{
    if (record.size() < 4 * index + 4)
        record.append(QByteArray(4 * index + 4 - record.size(), '\0'));
    const quint32 bits = quint32(value);
    for (int i = 0; i < 4; ++i)
        record[4 * index + i] = char((bits >> (8 * i)) & 0xFF);
}

// A full 296-byte record with every word 0 except those given (word -> value).
inline QByteArray reportRecordWith(const QList<QPair<int, qint32>> &words)
{
    QByteArray record(296, '\0');
    for (const auto &word : words)
        setReportWord(record, word.first, word.second);
    return record;
}

// Removes the rows of the serial numbers first..last in one statement.
inline void deleteSerialRange(quint32 first, quint32 last)
{
    QSqlQuery query(adminConnection());
    query.prepare(QStringLiteral("DELETE FROM rvkreport WHERE sn BETWEEN ? AND ?"));
    query.addBindValue(first);
    query.addBindValue(last);
    query.exec();
}

// Base of the test classes that work on the test database: the password
// server, the serial numbers the test case owns and the set-up every such
// test case needs. The derived class has Q_OBJECT; this one adds no slots.
class DatabaseTestCase : public QObject
{
public:
    DatabaseTestCase(quint32 firstSerial, quint32 lastSerial)
        : firstSerial(firstSerial)
        , lastSerial(lastSerial)
    {
        useTestEndpoints();
    }

protected:
    // What a database test says when the server does not answer.
    static constexpr const char *DatabaseMissing = "start the test database: scripts/test-db start";

    // For initTestCase: true when the test database answers; then the rows an
    // earlier, interrupted run left behind are removed.
    bool databaseReady()
    {
        if (!databaseReachable())
            return false;
        deleteOwnRows();
        return true;
    }
    void deleteOwnRows() { deleteSerialRange(firstSerial, lastSerial); }
    // Connects a session or dialog through this test case's password server.
    template <class Session>
    bool bringOnline(Session &session)
    {
        return rvktest::bringOnline(session, server);
    }

    HttpFileServer server;
    const quint32 firstSerial;
    const quint32 lastSerial;
};

} // namespace rvktest
