#include "reportschema.h"

#include <QSqlQuery>
#include <QVariant>

const char *const ConnectionName = "RVKReport";

const char *const CreateReportTableStatement =
    "CREATE TABLE IF NOT EXISTS rvkreport(sn INT UNSIGNED NOT NULL,date DATETIME NOT NULL,release_date DATE NOT "
    "NULL,firmware_version TEXT NOT NULL,impact_level INT UNSIGNED NOT NULL,total_time TEXT NOT NULL,repair_time TEXT "
    "NOT NULL,rotation TEXT NOT NULL,in_voltage TEXT NOT NULL,out_voltage TEXT NOT NULL,current TEXT NOT "
    "NULL,temperature TEXT NOT NULL,vibration TEXT NOT NULL,impacts INT UNSIGNED NOT NULL,irt_rotation TEXT NOT "
    "NULL,irt_in_voltage TEXT NOT NULL,irt_out_voltage TEXT NOT NULL,irt_current TEXT NOT NULL,irt_temperature TEXT "
    "NOT NULL,irt_vibration TEXT NOT NULL,irt_impacts INT UNSIGNED NOT NULL);";

const char *const AllReportsStatement =
    "SELECT sn, date, release_date, firmware_version, total_time, repair_time FROM rvkreport ORDER BY sn";

void ensureSerialNumberIndex(QSqlDatabase db)
{
    // CREATE INDEX IF NOT EXISTS is not understood by every MySQL server, so
    // the catalogue is asked first.
    QSqlQuery lookup(db);
    lookup.prepare(QStringLiteral("SELECT COUNT(*) FROM information_schema.statistics WHERE table_schema = DATABASE() "
                                  "AND table_name = 'rvkreport' AND index_name = 'rvkreport_sn'"));
    if (!lookup.exec() || !lookup.next() || lookup.value(0).toInt() > 0)
        return;
    QSqlQuery create(db);
    create.exec(QStringLiteral("CREATE INDEX rvkreport_sn ON rvkreport (sn)"));
}

void ensureRowKey(QSqlDatabase db)
{
    QSqlQuery lookup(db);
    lookup.prepare(QStringLiteral("SELECT COUNT(*) FROM information_schema.statistics WHERE table_schema = DATABASE() "
                                  "AND table_name = 'rvkreport' AND index_name = 'PRIMARY'"));
    if (!lookup.exec() || !lookup.next() || lookup.value(0).toInt() > 0)
        return;
    QSqlQuery alter(db);
    alter.exec(QStringLiteral("ALTER TABLE rvkreport ADD COLUMN id BIGINT UNSIGNED NOT NULL AUTO_INCREMENT INVISIBLE "
                              "PRIMARY KEY"));
}

void ensureReportKey(QSqlDatabase db)
{
    QSqlQuery lookup(db);
    lookup.prepare(QStringLiteral("SELECT COUNT(*) FROM information_schema.statistics WHERE table_schema = DATABASE() "
                                  "AND table_name = 'rvkreport' AND index_name = 'rvkreport_report'"));
    if (!lookup.exec() || !lookup.next() || lookup.value(0).toInt() > 0)
        return;
    // The operating times are TEXT, so the key covers a prefix far longer
    // than any "hours:minutes" text.
    QSqlQuery create(db);
    if (!create.exec(QStringLiteral("CREATE UNIQUE INDEX rvkreport_report ON rvkreport (sn, total_time(32), "
                                    "repair_time(32))")))
        create.exec(QStringLiteral("CREATE INDEX rvkreport_report ON rvkreport (sn, total_time(32), repair_time(32))"));
}
