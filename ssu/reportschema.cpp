#include "reportschema.h"

#include <QSqlQuery>
#include <QStringList>
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

namespace {
struct ReportIndex
{
    const char *name;
    const char *columns;
};

// Each index ends with the columns the listings are ordered by after their
// own, so the server reads a window in index order instead of sorting. The
// operating times are texts of a few characters ("123456:07"); a prefix of 16
// holds them whole and keeps the index small.
const ReportIndex Indexes[] = {
    {"rvkreport_sn_date", "sn, date"},
    {"rvkreport_date_sn", "date, sn"},
    {"rvkreport_release_sn_date", "release_date, sn, date"},
    {"rvkreport_duplicate", "sn, total_time(16), repair_time(16)"},
};
} // namespace

int ensureReportIndexes(QSqlDatabase db, const QString &table)
{
    // CREATE INDEX IF NOT EXISTS is not understood by every MySQL server, so
    // the catalogue is asked first.
    QSqlQuery lookup(db);
    lookup.prepare(QStringLiteral("SELECT DISTINCT index_name FROM information_schema.statistics "
                                  "WHERE table_schema = DATABASE() AND table_name = ?"));
    lookup.addBindValue(table);
    if (!lookup.exec())
        return 0;
    QStringList present;
    while (lookup.next())
        present << lookup.value(0).toString().toLower();

    QStringList additions;
    for (const ReportIndex &index : Indexes) {
        if (!present.contains(QLatin1String(index.name)))
            additions << QStringLiteral("ADD INDEX %1 (%2)").arg(QLatin1String(index.name), QLatin1String(index.columns));
    }
    if (additions.isEmpty())
        return 0;
    // Another station starting at the same moment may add them first; its
    // indexes serve as well, and the refusal here is harmless.
    QSqlQuery alter(db);
    if (!alter.exec(QStringLiteral("ALTER TABLE %1 ").arg(table) + additions.join(QLatin1String(", "))))
        return 0;
    return additions.size();
}
