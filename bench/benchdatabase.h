#pragma once

// Helpers for the benchmarks on the test database (scripts/test-db), which
// fill the shared table with reports of their own and remove them again.

#include "tests/support/databasetest.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QTextStream>

namespace bench {

// Runs the statement on the administrator's connection; a failure is
// printed with the statement's start.
inline bool adminExec(const QString &statement)
{
    QSqlQuery query(rvktest::adminConnection());
    if (query.exec(statement))
        return true;
    QTextStream(stderr) << statement.left(80) << ": " << query.lastError().text() << '\n';
    return false;
}

// Runs "INSERT ... FROM seq_%1_to_%2" over 0..rows-1 in slices of 100,000
// numbers, so that no statement runs into the server's limits.
inline bool insertFromSequence(const QString &statement, int rows)
{
    for (int first = 0; first < rows; first += 100000) {
        if (!adminExec(statement.arg(first).arg(qMin(rows, first + 100000) - 1)))
            return false;
    }
    return true;
}

// Removes the reports of the modules from firstSn on. In slices: one
// statement over a million rows would hold its locks and undo for minutes.
inline void deleteModules(quint32 firstSn, int modules)
{
    for (int first = 0; first < modules; first += 500)
        adminExec(QStringLiteral("DELETE FROM rvkreport WHERE sn BETWEEN %1 AND %2")
                      .arg(firstSn + quint32(first))
                      .arg(firstSn + quint32(first) + 499));
}

} // namespace bench
