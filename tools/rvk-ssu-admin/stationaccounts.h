#pragma once

#include <QSqlDatabase>
#include <QString>

class QTextStream;

// Accounts of single stations, for plants that want to revoke one station
// without changing every other's password. Each account may do on the report
// table what the shared account does there (read, store, delete, create it
// when missing) and nothing anywhere else. The stations this tool made are
// kept in the administrator's database (<database>_admin.stations), as the
// administrator's account may not list the server's accounts.
class StationAccounts
{
public:
    StationAccounts(QSqlDatabase db, const QString &database, const QString &table);

    // A station's name: letters, digits, '_' and '-', at most 24 characters.
    static bool validName(const QString &name);
    static QString accountOf(const QString &name) { return QLatin1String("RVKst_") + name; }

    // Creates the station's account with a random password and writes its
    // station file (StationAccount) to file, encrypted with key; *token is a
    // login token for service mode at that station. Nothing is left behind
    // when a step fails (no account without a file, no file without an
    // account); false with the reason in *error.
    bool add(const QString &name, const QString &file, quint64 key, QString *token, QString *error);
    // Writes the stations, one per line; their number, or -1 with *error.
    int list(QTextStream &out, QString *error);
    enum class Revoked { Done, Unknown, Failed };
    // Takes the account's rights away, which ends its statements on
    // connections already open, and drops it.
    Revoked revoke(const QString &name, QString *error);

private:
    QString registry() const { return database + QLatin1String("_admin.stations"); }
    bool ensureRegistry(QString *error);
    QString accountSpec(const QString &name) const { return QStringLiteral("'%1'@'%'").arg(accountOf(name)); }

    QSqlDatabase db;
    QString database;
    QString table;
};
