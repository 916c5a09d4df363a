#pragma once

#include <QDateTime>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

class QTextStream;

// The copy of every report deleted from the shared table: a trigger on the
// table copies each deleted row, with the account that deleted it, the host
// it came from and the time, into a table of the administrator's own
// database (<database>_admin), which the stations' grants on their database
// do not reach. A station's delete, whether the delete button's or the
// duplicate rule replacing a row, can then be undone here.
class DeletedReports
{
public:
    DeletedReports(QSqlDatabase db, const QString &database, const QString &table);

    // The administrator's database and the copy's table in it.
    QString adminDatabase() const { return database + QLatin1String("_admin"); }
    QString copyTable() const;

    // Whether the copy's table and the trigger, as this version makes it, are
    // there; false with *error empty when something is missing, with the
    // server's text when the catalogue could not be asked.
    bool inPlace(QString *error);
    // Creates what is missing: the database, the copy's table, the trigger
    // (replaced when it differs, or was made by another account, which the
    // trigger runs as). Returns false with the server's text on failure;
    // *added says what was made, empty when nothing was missing.
    bool ensure(QStringList *added, QString *error);

    struct Filter
    {
        quint32 serial = 0; // 0: all
        QDateTime since;    // invalid: all
    };
    // Writes the copies the filter selects, oldest first, one tab-separated
    // line each, every stored text made safe for a terminal. The number of
    // lines, or -1 with *error.
    int list(const Filter &filter, QTextStream &out, QString *error);

    enum class Restored { Done, PresentAgain, NoSuchCopy, Failed };
    // Puts the copy back into the shared table in one transaction and removes
    // it from the copies. A report of the same serial number and operating
    // times stored meanwhile is kept (the duplicate rule's unique key), and
    // the copy stays; *detail says which report, or the server's text.
    Restored restore(qint64 copyId, QString *detail);

private:
    QString triggerName() const { return table + QLatin1String("_keep_deleted"); }
    QString triggerBody() const;

    QSqlDatabase db;
    QString database;
    QString table;
};
