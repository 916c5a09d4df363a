#include "stationaccounts.h"

#include "protocol/terminaltext.h"
#include "ssu/stationaccount.h"
#include "ssu/tokenencoder.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QTextStream>
#include <QVariant>

namespace {
// Letters and digits only: the password goes into CREATE USER, where no
// value can be bound. 32 of 62 symbols are about 190 bits.
QString randomPassword()
{
    static const char symbols[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    QString password;
    for (int i = 0; i < 32; ++i)
        password += QLatin1Char(symbols[QRandomGenerator::system()->bounded(int(sizeof(symbols)) - 1)]);
    return password;
}

QString serverText(const QSqlError &error)
{
    return terminalSafe(error.text());
}
} // namespace

StationAccounts::StationAccounts(QSqlDatabase db, const QString &database, const QString &table)
    : db(db)
    , database(database)
    , table(table)
{
}

bool StationAccounts::validName(const QString &name)
{
    static const QRegularExpression pattern(QStringLiteral("\\A[A-Za-z0-9_-]{1,24}\\z"));
    return pattern.match(name).hasMatch();
}

bool StationAccounts::ensureRegistry(QString *error)
{
    QSqlQuery query(db);
    if (query.exec(QStringLiteral("CREATE DATABASE IF NOT EXISTS %1_admin").arg(database))
        && query.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS %1(name VARCHAR(32) NOT NULL PRIMARY KEY, "
                                     "account VARCHAR(32) NOT NULL, added_at DATETIME NOT NULL, "
                                     "added_by VARCHAR(128) NOT NULL)")
                          .arg(registry())))
        return true;
    *error = serverText(query.lastError());
    return false;
}

bool StationAccounts::add(const QString &name, const QString &file, quint64 key, QString *token, QString *error)
{
    if (QFileInfo::exists(file)) {
        *error = QStringLiteral("%1 exists already; name another file with --output").arg(file);
        return false;
    }
    if (!ensureRegistry(error))
        return false;
    QSqlQuery query(db);
    query.prepare(QStringLiteral("INSERT INTO %1 (name, account, added_at, added_by) VALUES (?, ?, NOW(), "
                                 "CURRENT_USER())")
                      .arg(registry()));
    query.addBindValue(name);
    query.addBindValue(accountOf(name));
    if (!query.exec()) {
        *error = query.lastError().nativeErrorCode() == QLatin1String("1062")
            ? QStringLiteral("station %1 exists already; revoke it first to give it a new account").arg(name)
            : serverText(query.lastError());
        return false;
    }
    StationAccount account;
    account.user = accountOf(name);
    account.password = randomPassword();
    // Undoes what was done so far, so that a failed step leaves neither an
    // account nobody has the password of nor a station listed without one.
    const auto undo = [&](bool accountMade) {
        QSqlQuery cleanup(db);
        if (accountMade)
            cleanup.exec(QStringLiteral("DROP USER IF EXISTS %1").arg(accountSpec(name)));
        cleanup.prepare(QStringLiteral("DELETE FROM %1 WHERE name = ?").arg(registry()));
        cleanup.addBindValue(name);
        cleanup.exec();
        return false;
    };
    if (!query.exec(QStringLiteral("CREATE USER %1 IDENTIFIED BY '%2'").arg(accountSpec(name), account.password))) {
        *error = serverText(query.lastError());
        return undo(false);
    }
    // On the report table alone: the administrator's database, and any
    // other table of the stations' database, stay out of its reach.
    if (!query.exec(QStringLiteral("GRANT SELECT, INSERT, DELETE, CREATE ON %1.%2 TO %3")
                        .arg(database, table, accountSpec(name)))) {
        *error = serverText(query.lastError());
        return undo(true);
    }
    const Attempt<> written = account.write(file, key);
    if (!written.ok) {
        *error = written.error;
        return undo(true);
    }
    const Attempt<std::optional<StationAccount>> check = StationAccount::read(file, key);
    if (!check.ok || !check.value || check.value->password != account.password) {
        *error = QStringLiteral("internal error: the station file does not read back");
        QFile::remove(file);
        return undo(true);
    }
    *token = TokenEncoder(key).encryptText(account.password);
    return true;
}

int StationAccounts::list(QTextStream &out, QString *error)
{
    QSqlQuery query(db);
    if (!ensureRegistry(error))
        return -1;
    if (!query.exec(QStringLiteral("SELECT name, account, added_at, added_by FROM %1 ORDER BY name").arg(registry()))) {
        *error = serverText(query.lastError());
        return -1;
    }
    int listed = 0;
    while (query.next()) {
        out << terminalSafe(QStringLiteral("%1\t%2\t%3\t%4")
                                .arg(query.value(0).toString(), query.value(1).toString(),
                                     query.value(2).toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm")),
                                     query.value(3).toString()))
            << '\n';
        ++listed;
    }
    return listed;
}

StationAccounts::Revoked StationAccounts::revoke(const QString &name, QString *error)
{
    if (!ensureRegistry(error))
        return Revoked::Failed;
    QSqlQuery query(db);
    query.prepare(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE name = ?").arg(registry()));
    query.addBindValue(name);
    if (!query.exec() || !query.next()) {
        *error = serverText(query.lastError());
        return Revoked::Failed;
    }
    if (query.value(0).toInt() == 0)
        return Revoked::Unknown;
    // Table rights are checked at every statement, so taking them away ends
    // the station's work on connections it holds open; dropping the account
    // alone would leave those working until they close.
    if (!query.exec(QStringLiteral("REVOKE ALL PRIVILEGES, GRANT OPTION FROM %1").arg(accountSpec(name)))
        && query.lastError().nativeErrorCode() != QLatin1String("1269")) {
        *error = serverText(query.lastError());
        return Revoked::Failed;
    }
    if (!query.exec(QStringLiteral("DROP USER IF EXISTS %1").arg(accountSpec(name)))) {
        *error = serverText(query.lastError());
        return Revoked::Failed;
    }
    query.prepare(QStringLiteral("DELETE FROM %1 WHERE name = ?").arg(registry()));
    query.addBindValue(name);
    if (!query.exec()) {
        *error = serverText(query.lastError());
        return Revoked::Failed;
    }
    return Revoked::Done;
}
