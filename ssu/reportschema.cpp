#include "ssu/reportschema.h"

#include "report/reportfields.h"

#include <QHash>
#include <QSqlQuery>
#include <QStringList>
#include <QVariant>

const char *const ConnectionName = "RVKReport";

namespace {
// The type follows from the text form: a count is a number, the two dates
// are the server's dates (searched and ordered as such), everything else is
// stored as the text the document prints.
const char *columnType(FieldForm form)
{
    switch (form) {
    case FieldForm::Number:
        return "INT UNSIGNED";
    case FieldForm::ReadoutDate:
        return "DATETIME";
    case FieldForm::ReleaseDate:
        return "DATE";
    default:
        return "TEXT";
    }
}
} // namespace

QString createReportTableStatement()
{
    QStringList columns;
    for (const ReportField &field : reportFields())
        columns << field.column + QLatin1Char(' ') + QLatin1String(columnType(field.form)) + QLatin1String(" NOT NULL");
    return QLatin1String("CREATE TABLE IF NOT EXISTS rvkreport(") + columns.join(QLatin1Char(',')) + QLatin1String(");");
}

QString listingProjection(bool rowKey)
{
    QStringList columns;
    for (const ReportField &field : reportFields()) {
        if (field.listed)
            columns << field.column;
    }
    if (rowKey)
        columns << QStringLiteral("id");
    return QLatin1String("SELECT ") + columns.join(QLatin1String(", ")) + QLatin1String(" FROM rvkreport");
}

namespace {
struct ReportIndex
{
    const char *name;
    const char *kind;
    const char *columns;
};

// Each search index ends with the columns the listings are ordered by after
// their own, so the server reads a window in index order instead of sorting.
// The operating times are texts of a few characters ("123456:07"); a prefix
// of 32 holds them whole and keeps the index small.
//
// The duplicate rule keeps one row per serial number and pair of operating
// times. Its transaction is enough on one server, whose locks order two
// stations storing the same report; the nodes of a cluster share no locks,
// and only a unique key makes one of two such commits fail (that station
// archives the report and stores it again later) instead of leaving two rows.
const ReportIndex Indexes[] = {
    {"rvkreport_sn_date", "INDEX", "sn, date"},
    {"rvkreport_date_sn", "INDEX", "date, sn"},
    {"rvkreport_release_sn_date", "INDEX", "release_date, sn, date"},
    {"rvkreport_duplicate", "UNIQUE INDEX", "sn, total_time(32), repair_time(32)"},
};

// A cluster applies a DELETE on a table without a primary key by scanning
// the table on every node, and may apply it differently. INVISIBLE keeps
// "SELECT *", INSERTs without a column list and older programs seeing the
// same columns as before.
const char *const RowKeyAddition = "ADD COLUMN id BIGINT UNSIGNED NOT NULL AUTO_INCREMENT INVISIBLE PRIMARY KEY";

bool exec(QSqlDatabase db, const QString &statement)
{
    QSqlQuery query(db);
    return query.exec(statement);
}

// One at a time, each with the privilege it needs (ALTER for the key, INDEX
// for the indexes), so that what the server allows is still added. A table
// that already holds duplicate reports gets the duplicate index without
// uniqueness, which keeps its lookups fast.
int addOneByOne(QSqlDatabase db, const QString &table, bool addRowKey, const QList<const ReportIndex *> &missing)
{
    int added = 0;
    if (addRowKey && exec(db, QStringLiteral("ALTER TABLE %1 %2").arg(table, QLatin1String(RowKeyAddition))))
        ++added;
    for (const ReportIndex *index : missing) {
        const QString create = QStringLiteral("CREATE %1 %2 ON %3 (%4)");
        const QString name = QLatin1String(index->name);
        const QString columns = QLatin1String(index->columns);
        if (exec(db, create.arg(QLatin1String(index->kind), name, table, columns))
            || exec(db, create.arg(QStringLiteral("INDEX"), name, table, columns)))
            ++added;
    }
    return added;
}

const ReportIndex &duplicateIndex()
{
    return Indexes[sizeof(Indexes) / sizeof(Indexes[0]) - 1];
}

// Two stations storing one report through two cluster nodes leave two rows
// as long as the duplicate index is not unique. Dropping and adding it in
// one ALTER is atomic: with duplicates still present the server refuses the
// whole statement and the plain index stays.
bool makeDuplicateIndexUnique(QSqlDatabase db, const QString &table)
{
    QSqlQuery lookup(db);
    lookup.prepare(QStringLiteral("SELECT MIN(non_unique) FROM information_schema.statistics "
                                  "WHERE table_schema = DATABASE() AND table_name = ? AND index_name = ?"));
    lookup.addBindValue(table);
    lookup.addBindValue(QLatin1String(duplicateIndex().name));
    if (!lookup.exec() || !lookup.next() || lookup.value(0).isNull() || lookup.value(0).toInt() == 0)
        return false;
    const QString name = QLatin1String(duplicateIndex().name);
    return exec(db, QStringLiteral("ALTER TABLE %1 DROP INDEX %2, ADD UNIQUE INDEX %2 (%3)")
                        .arg(table, name, QLatin1String(duplicateIndex().columns)));
}

struct Missing
{
    // The clauses of one ALTER TABLE that completes the table.
    QStringList additions;
    bool rowKey = false;
    QList<const ReportIndex *> indexes;
    bool duplicateIndexPresent = false;
};

// What the table lacks; with uniqueAgain, a duplicate index there without
// uniqueness is made unique by the same statement. False when the catalogue
// cannot be asked.
bool findMissing(QSqlDatabase db, const QString &table, bool uniqueAgain, Missing *missing)
{
    // CREATE INDEX IF NOT EXISTS is not understood by every MySQL server, so
    // the catalogue is asked first.
    QSqlQuery lookup(db);
    lookup.prepare(QStringLiteral("SELECT index_name, MIN(non_unique) FROM information_schema.statistics "
                                  "WHERE table_schema = DATABASE() AND table_name = ? GROUP BY index_name"));
    lookup.addBindValue(table);
    if (!lookup.exec())
        return false;
    QHash<QString, bool> unique;
    while (lookup.next())
        unique.insert(lookup.value(0).toString().toLower(), lookup.value(1).toInt() == 0);

    missing->rowKey = !unique.contains(QStringLiteral("primary"));
    if (missing->rowKey)
        missing->additions << QLatin1String(RowKeyAddition);
    for (const ReportIndex &index : Indexes) {
        const QString name = QLatin1String(index.name);
        const QString columns = QLatin1String(index.columns);
        const auto found = unique.constFind(name);
        if (found == unique.constEnd()) {
            missing->indexes << &index;
            missing->additions << QStringLiteral("ADD %1 %2 (%3)").arg(QLatin1String(index.kind), name, columns);
        } else if (uniqueAgain && &index == &duplicateIndex() && !found.value()) {
            missing->additions << QStringLiteral("DROP INDEX %1, ADD UNIQUE INDEX %1 (%2)").arg(name, columns);
        }
    }
    missing->duplicateIndexPresent = unique.contains(QLatin1String(duplicateIndex().name));
    return true;
}
} // namespace

QString reportMigrationStatement(QSqlDatabase db, const QString &table)
{
    Missing missing;
    if (!findMissing(db, table, true, &missing) || missing.additions.isEmpty())
        return QString();
    return QStringLiteral("ALTER TABLE %1 ").arg(table) + missing.additions.join(QLatin1String(", "));
}

int ensureReportIndexes(QSqlDatabase db, const QString &table)
{
    Missing missing;
    if (!findMissing(db, table, false, &missing))
        return 0;
    const QStringList &additions = missing.additions;
    // Made unique here only when it was there before this pass: one just
    // added has had its chance.
    const int uniqueNow = missing.duplicateIndexPresent && makeDuplicateIndexUnique(db, table) ? 1 : 0;
    if (additions.isEmpty())
        return uniqueNow;
    // One pass over the table when the server allows it. Another station
    // starting at the same moment may add some first; what it added serves
    // as well, and the refusal here only leads to the slower path.
    if (exec(db, QStringLiteral("ALTER TABLE %1 ").arg(table) + additions.join(QLatin1String(", "))))
        return uniqueNow + additions.size();
    return uniqueNow + addOneByOne(db, table, missing.rowKey, missing.indexes);
}

int missingReportKeys(QSqlDatabase db, const QString &table)
{
    Missing missing;
    return findMissing(db, table, true, &missing) ? missing.additions.size() : -1;
}

bool reportTableHasRowKey(QSqlDatabase db, const QString &table)
{
    QSqlQuery lookup(db);
    lookup.prepare(QStringLiteral("SELECT COUNT(*) FROM information_schema.columns "
                                  "WHERE table_schema = DATABASE() AND table_name = ? AND column_name = 'id'"));
    lookup.addBindValue(table);
    return lookup.exec() && lookup.next() && lookup.value(0).toInt() > 0;
}
