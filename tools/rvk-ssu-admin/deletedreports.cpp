#include "deletedreports.h"

#include "protocol/terminaltext.h"
#include "ssu/reportschema.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QTextStream>
#include <QVariant>

namespace {
// The report table's own column definitions, so the copy always has the
// columns the table was created with.
QString reportColumnDefinitions()
{
    const QString create = createReportTableStatement();
    const int open = create.indexOf(QLatin1Char('('));
    return create.mid(open + 1, create.lastIndexOf(QLatin1Char(')')) - open - 1);
}

QStringList reportColumns()
{
    QStringList names;
    for (const QString &definition : reportColumnDefinitions().split(QLatin1Char(',')))
        names << definition.section(QLatin1Char(' '), 0, 0);
    return names;
}

// The copies are read a page at a time: a result may hold only so many rows.
constexpr int ListPage = 1000;

QString serverText(const QSqlError &error)
{
    return terminalSafe(error.text());
}
} // namespace

DeletedReports::DeletedReports(QSqlDatabase db, const QString &database, const QString &table)
    : db(db)
    , database(database)
    , table(table)
{
}

QString DeletedReports::copyTable() const
{
    return adminDatabase() + QLatin1Char('.') + table + QLatin1String("_deleted");
}

QString DeletedReports::triggerBody() const
{
    const QStringList columns = reportColumns();
    QStringList old;
    for (const QString &column : columns)
        old << QLatin1String("OLD.") + column;
    // USER() is the account as the client logged in and the host it came
    // from; CURRENT_USER() would name the trigger's definer, the
    // administrator. A host never holds '@', a user name may.
    return QStringLiteral("INSERT INTO %1 (deleted_at, deleted_by, deleted_from, %2) VALUES (NOW(), "
                          "LEFT(USER(), CHAR_LENGTH(USER()) - CHAR_LENGTH(SUBSTRING_INDEX(USER(), '@', -1)) - 1), "
                          "SUBSTRING_INDEX(USER(), '@', -1), %3)")
        .arg(copyTable(), columns.join(QLatin1String(", ")), old.join(QLatin1String(", ")));
}

namespace {
struct Catalogue
{
    bool asked = false;
    bool tablePresent = false;
    bool triggerPresent = false;
    QString triggerBody;
    QString triggerDefiner;
    QString currentUser;
};

Catalogue readCatalogue(QSqlDatabase db, const QString &adminDatabase, const QString &copyName,
                               const QString &trigger, QString *error)
{
    Catalogue found;
    QSqlQuery query(db);
    query.prepare(QStringLiteral("SELECT COUNT(*) FROM information_schema.tables WHERE table_schema = ? AND "
                                 "table_name = ?"));
    query.addBindValue(adminDatabase);
    query.addBindValue(copyName);
    if (!query.exec() || !query.next()) {
        *error = serverText(query.lastError());
        return found;
    }
    found.tablePresent = query.value(0).toInt() > 0;
    query.prepare(QStringLiteral("SELECT action_statement, definer FROM information_schema.triggers WHERE "
                                 "trigger_schema = DATABASE() AND trigger_name = ?"));
    query.addBindValue(trigger);
    if (!query.exec()) {
        *error = serverText(query.lastError());
        return found;
    }
    if (query.next()) {
        found.triggerPresent = true;
        found.triggerBody = query.value(0).toString();
        found.triggerDefiner = query.value(1).toString();
    }
    if (!query.exec(QStringLiteral("SELECT CURRENT_USER()")) || !query.next()) {
        *error = serverText(query.lastError());
        return found;
    }
    found.currentUser = query.value(0).toString();
    found.asked = true;
    return found;
}
} // namespace

bool DeletedReports::inPlace(QString *error)
{
    error->clear();
    const Catalogue found = readCatalogue(db, adminDatabase(), table + QLatin1String("_deleted"), triggerName(), error);
    return found.asked && found.tablePresent && found.triggerPresent && found.triggerBody == triggerBody();
}

bool DeletedReports::ensure(QStringList *added, QString *error)
{
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("CREATE DATABASE IF NOT EXISTS %1").arg(adminDatabase()))) {
        *error = serverText(query.lastError());
        return false;
    }
    const Catalogue found = readCatalogue(db, adminDatabase(), table + QLatin1String("_deleted"), triggerName(), error);
    if (!found.asked)
        return false;
    if (!found.tablePresent) {
        // A key of its own: a cluster applies deletes and replicates rows
        // reliably only on tables with one.
        const QString create = QStringLiteral(
            "CREATE TABLE IF NOT EXISTS %1(deleted_id BIGINT UNSIGNED NOT NULL AUTO_INCREMENT PRIMARY KEY, "
            "deleted_at DATETIME NOT NULL, deleted_by VARCHAR(128) NOT NULL, deleted_from VARCHAR(255) NOT NULL, "
            "%2, INDEX deleted_sn (sn, deleted_at), INDEX deleted_time (deleted_at))");
        if (!query.exec(create.arg(copyTable(), reportColumnDefinitions()))) {
            *error = serverText(query.lastError());
            return false;
        }
        *added << QStringLiteral("the table %1").arg(copyTable());
    }
    const bool sameBody = found.triggerPresent && found.triggerBody == triggerBody();
    if (sameBody && found.triggerDefiner == found.currentUser)
        return true;
    // The trigger runs with its definer's rights: made again by this
    // account, it keeps working when an earlier administrator's account is
    // dropped. OR REPLACE swaps it under the table's lock, so no delete
    // happens between the old trigger and the new one.
    const QString create = QStringLiteral("CREATE %1 TRIGGER %2 AFTER DELETE ON %3 FOR EACH ROW %4")
                               .arg(found.triggerPresent ? QStringLiteral("OR REPLACE") : QString(), triggerName(),
                                    table, triggerBody());
    if (!query.exec(create)) {
        *error = serverText(query.lastError());
        return false;
    }
    *added << (found.triggerPresent ? QStringLiteral("the trigger %1, made again by %2")
                                          .arg(triggerName(), terminalSafe(found.currentUser))
                                    : QStringLiteral("the trigger %1").arg(triggerName()));
    return true;
}

int DeletedReports::list(const Filter &filter, QTextStream &out, QString *error)
{
    QString statement = QStringLiteral("SELECT deleted_id, deleted_at, deleted_by, deleted_from, sn, date, "
                                       "total_time, repair_time FROM %1 WHERE deleted_id > ?")
                            .arg(copyTable());
    if (filter.serial != 0)
        statement += QLatin1String(" AND sn = ?");
    if (filter.since.isValid())
        statement += QLatin1String(" AND deleted_at >= ?");
    statement += QStringLiteral(" ORDER BY deleted_id LIMIT %1").arg(ListPage);
    QSqlQuery query(db);
    const QString dateFormat = QStringLiteral("yyyy-MM-dd HH:mm:ss");
    qint64 after = 0;
    int listed = 0;
    for (;;) {
        query.prepare(statement);
        query.addBindValue(after);
        if (filter.serial != 0)
            query.addBindValue(filter.serial);
        if (filter.since.isValid())
            query.addBindValue(filter.since.toString(dateFormat));
        if (!query.exec()) {
            *error = serverText(query.lastError());
            return -1;
        }
        int page = 0;
        while (query.next()) {
            ++page;
            after = query.value(0).toLongLong();
            QStringList fields{QString::number(after), query.value(1).toDateTime().toString(dateFormat),
                               query.value(2).toString() + QLatin1Char('@') + query.value(3).toString(),
                               query.value(4).toString(), query.value(5).toDateTime().toString(dateFormat),
                               query.value(6).toString(), query.value(7).toString()};
            // A tab inside a stored text would shift the columns.
            for (QString &field : fields)
                field = terminalSafe(field).replace(QLatin1Char('\t'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
            out << fields.join(QLatin1Char('\t')) << '\n';
        }
        listed += page;
        if (page < ListPage)
            return listed;
    }
}

DeletedReports::Restored DeletedReports::restore(qint64 copyId, QString *detail)
{
    const auto fail = [this, detail](const QSqlQuery &query) {
        *detail = serverText(query.lastError());
        db.rollback();
        return Restored::Failed;
    };
    QSqlQuery query(db);
    if (!db.transaction()) {
        *detail = serverText(db.lastError());
        return Restored::Failed;
    }
    // Locked, so two administrators restoring the same copy put it back once.
    query.prepare(QStringLiteral("SELECT sn, date, total_time, repair_time FROM %1 WHERE deleted_id = ? FOR UPDATE")
                      .arg(copyTable()));
    query.addBindValue(copyId);
    if (!query.exec())
        return fail(query);
    if (!query.next()) {
        db.rollback();
        return Restored::NoSuchCopy;
    }
    *detail = terminalSafe(QStringLiteral("serial number %1, dated %2, operating times %3 and %4")
                               .arg(query.value(0).toString(),
                                    query.value(1).toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm")),
                                    query.value(2).toString(), query.value(3).toString()));
    const QString reportDetail = *detail;
    query.prepare(QStringLiteral("SELECT COUNT(*) FROM %1 t JOIN %2 c ON t.sn = c.sn AND t.total_time = c.total_time "
                                 "AND t.repair_time = c.repair_time WHERE c.deleted_id = ?")
                      .arg(table, copyTable()));
    query.addBindValue(copyId);
    if (!query.exec() || !query.next())
        return fail(query);
    if (query.value(0).toInt() > 0) {
        db.rollback();
        return Restored::PresentAgain;
    }
    const QString columns = reportColumns().join(QLatin1String(", "));
    query.prepare(QStringLiteral("INSERT INTO %1 (%2) SELECT %2 FROM %3 WHERE deleted_id = ?")
                      .arg(table, columns, copyTable()));
    query.addBindValue(copyId);
    if (!query.exec()) {
        // A station stored the same report between the look and the insert.
        if (query.lastError().nativeErrorCode() == QLatin1String("1062")) {
            db.rollback();
            *detail = reportDetail;
            return Restored::PresentAgain;
        }
        return fail(query);
    }
    query.prepare(QStringLiteral("DELETE FROM %1 WHERE deleted_id = ?").arg(copyTable()));
    query.addBindValue(copyId);
    if (!query.exec())
        return fail(query);
    if (!db.commit()) {
        *detail = serverText(db.lastError());
        db.rollback();
        return Restored::Failed;
    }
    return Restored::Done;
}
