// rvk-ssu-admin against the test database, on a table of its own so that the
// shared table the other tests use is never stripped of its keys.
#include "tests/support/testmain.h"

#include "ssu/reportschema.h"
#include "tests/support/databasetest.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>
#include <QSqlError>

namespace {
const char *const Table = "rvkreport_admintest";

struct ToolRun
{
    int exitCode = -1;
    QString out;
    QString err;
};

ToolRun runTool(const QStringList &arguments, const QString &password)
{
    const DatabaseHost host = rvktest::testDatabaseHost();
    QProcess process;
    process.start(QCoreApplication::applicationDirPath() + QStringLiteral("/rvk-ssu-admin"),
                  QStringList{QStringLiteral("--hosts"), QStringLiteral("%1:%2").arg(host.name).arg(host.port),
                              QStringLiteral("--table"), QLatin1String(Table)}
                      + arguments);
    process.write(password.toUtf8() + '\n');
    process.closeWriteChannel();
    ToolRun run;
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit)
        return run;
    run.exitCode = process.exitCode();
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

ToolRun asAdmin(const QStringList &arguments = {})
{
    return runTool(arguments, rvktest::testAdminPassword());
}

QStringList indexesOf(const QString &table)
{
    QSqlQuery query(rvktest::adminConnection());
    query.prepare(QStringLiteral("SELECT DISTINCT index_name FROM information_schema.statistics "
                                 "WHERE table_schema = DATABASE() AND table_name = ? ORDER BY index_name"));
    query.addBindValue(table);
    QStringList names;
    if (query.exec())
        while (query.next())
            names << query.value(0).toString();
    return names;
}

int rowCount()
{
    QSqlQuery query(rvktest::adminConnection());
    return query.exec(QStringLiteral("SELECT COUNT(*) FROM %1").arg(QLatin1String(Table))) && query.next()
        ? query.value(0).toInt()
        : -1;
}
const char *const Copies = "RVKSSUdb_admin.rvkreport_admintest_deleted";

int rowsOf(quint32 sn)
{
    QSqlQuery query(rvktest::adminConnection());
    return query.exec(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE sn = %2").arg(QLatin1String(Table)).arg(sn))
            && query.next()
        ? query.value(0).toInt()
        : -1;
}

// What a station does: its own account, its own statements.
bool asStation(const QString &statement)
{
    return QSqlQuery(rvktest::stationConnection()).exec(statement);
}

// The copies "deleted" lists, each line's fields.
QList<QStringList> listed(const QStringList &filter)
{
    QList<QStringList> lines;
    const ToolRun run = asAdmin(QStringList{QStringLiteral("deleted")} + filter);
    if (run.exitCode != 0)
        return {{QStringLiteral("failed"), run.err}};
    for (const QString &line : run.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts).mid(1))
        lines << line.split(QLatin1Char('\t'));
    return lines;
}
} // namespace

class TestSsuAdmin : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void aTableWithoutKeysGetsThemAllInOneStep();
    void aSecondRunAddsNothing();
    void deletedReportsAreCopiedOutOfTheStationsReach();
    void aDeletedReportIsRestoredOnceAndNeverOverAStoredOne();
    void storedTextReachesTheTerminalDefused();
    void aRefusedStatementLeavesTheTableAsItWas_data();
    void aRefusedStatementLeavesTheTableAsItWas();
    void thePasswordIsNotTakenFromTheCommandLine_data();
    void thePasswordIsNotTakenFromTheCommandLine();

private:
    // The table as an older installation left it: no keys, a few reports,
    // with one of them twice when asked.
    bool resetTable(bool duplicate);
};

void TestSsuAdmin::initTestCase()
{
    QVERIFY2(QFileInfo::exists(QCoreApplication::applicationDirPath() + QStringLiteral("/rvk-ssu-admin")),
             "build the rvk-ssu-admin target first");
    QVERIFY2(rvktest::databaseReachable(), "start the test database: scripts/test-db start");
}

bool TestSsuAdmin::resetTable(bool duplicate)
{
    const QString table = QLatin1String(Table);
    QSqlQuery query(rvktest::adminConnection());
    if (!query.exec(createReportTableStatement()
                        .replace(QStringLiteral("EXISTS rvkreport("), QStringLiteral("EXISTS %1(").arg(table)))
        || !query.exec(QStringLiteral("DELETE FROM %1").arg(table)))
        return false;
    // The administrator may not drop tables either, so the keys go instead.
    for (const QString &index : indexesOf(table)) {
        if (!query.exec(index == QLatin1String("PRIMARY")
                            ? QStringLiteral("ALTER TABLE %1 DROP COLUMN id").arg(table)
                            : QStringLiteral("DROP INDEX %1 ON %2").arg(index, table)))
            return false;
    }
    const QString insert = QStringLiteral(
        "INSERT INTO %1 VALUES (%2, '2026-12-08 10:00', '2024-03-15', '3.2.2', 40, '%3', '1:00', '100', '100', "
        "'100', '100', '100', '100', 0, '100', '100', '100', '100', '100', '100', 0)");
    for (int i = 0; i < 3; ++i)
        if (!query.exec(insert.arg(table).arg(82000 + i).arg(QStringLiteral("342:56"))))
            return false;
    return !duplicate || query.exec(insert.arg(table).arg(82000).arg(QStringLiteral("342:56")));
}

void TestSsuAdmin::aTableWithoutKeysGetsThemAllInOneStep()
{
    QVERIFY(resetTable(false));
    const ToolRun check = asAdmin({QStringLiteral("--check")});
    QCOMPARE(check.exitCode, 1);
    QVERIFY2(check.out.startsWith(QLatin1String("5 ")), qPrintable(check.out));

    const ToolRun run = asAdmin();
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    QVERIFY2(run.out.contains(QLatin1String("PRIMARY KEY")), qPrintable(run.out));
    QCOMPARE(indexesOf(QLatin1String(Table)),
             (QStringList{"PRIMARY", "rvkreport_date_sn", "rvkreport_duplicate", "rvkreport_release_sn_date",
                          "rvkreport_sn_date"}));
    QCOMPARE(rowCount(), 3);

    const ToolRun complete = asAdmin({QStringLiteral("--check")});
    QCOMPARE(complete.exitCode, 0);
    QVERIFY2(complete.out.startsWith(QLatin1String("0 ")), qPrintable(complete.out));
}

void TestSsuAdmin::aSecondRunAddsNothing()
{
    QCOMPARE(missingReportKeys(rvktest::adminConnection(), QLatin1String(Table)), 0);
    const QStringList before = indexesOf(QLatin1String(Table));
    const ToolRun run = asAdmin();
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    QVERIFY2(run.out.contains(QLatin1String("nothing missing")), qPrintable(run.out));
    QCOMPARE(indexesOf(QLatin1String(Table)), before);
}

void TestSsuAdmin::deletedReportsAreCopiedOutOfTheStationsReach()
{
    const ToolRun check = asAdmin({QStringLiteral("--check")});
    QCOMPARE(check.exitCode, 0);
    QVERIFY2(check.out.contains(QLatin1String("deleted reports are copied")), qPrintable(check.out));
    QVERIFY(QSqlQuery(rvktest::adminConnection()).exec(QStringLiteral("DELETE FROM %1").arg(QLatin1String(Copies))));

    QVERIFY(asStation(QStringLiteral("DELETE FROM %1 WHERE sn = 82001").arg(QLatin1String(Table))));
    QCOMPARE(rowsOf(82001), 0);
    const QList<QStringList> copies = listed({QStringLiteral("--serial"), QStringLiteral("82001")});
    QCOMPARE(copies.size(), 1);
    QCOMPARE(copies.first().size(), 7);
    QVERIFY2(copies.first().at(2).startsWith(QLatin1String("RVKuser@")), qPrintable(copies.first().join(' ')));
    QCOMPARE(copies.first().at(3), QStringLiteral("82001"));
    QCOMPARE(copies.first().at(5), QStringLiteral("342:56"));
    QCOMPARE(listed({QStringLiteral("--since"), QDate::currentDate().toString(Qt::ISODate)}).size(), 1);
    QCOMPARE(listed({QStringLiteral("--since"), QDate::currentDate().addDays(1).toString(Qt::ISODate)}).size(), 0);
    QCOMPARE(listed({QStringLiteral("--serial"), QStringLiteral("82002")}).size(), 0);

    // The stations may neither read the copies nor remove them.
    QVERIFY(!asStation(QStringLiteral("SELECT COUNT(*) FROM %1").arg(QLatin1String(Copies))));
    QVERIFY(!asStation(QStringLiteral("DELETE FROM %1").arg(QLatin1String(Copies))));
    QVERIFY(!asStation(QStringLiteral("DROP TRIGGER rvkreport_admintest_keep_deleted")));
    QCOMPARE(listed({QStringLiteral("--serial"), QStringLiteral("82001")}).size(), 1);
}

void TestSsuAdmin::aDeletedReportIsRestoredOnceAndNeverOverAStoredOne()
{
    const QString copy = listed({QStringLiteral("--serial"), QStringLiteral("82001")}).value(0).value(0);
    QVERIFY(!copy.isEmpty());
    const ToolRun restored = asAdmin({QStringLiteral("restore"), copy});
    QVERIFY2(restored.exitCode == 0, qPrintable(restored.err));
    QVERIFY2(restored.out.contains(QLatin1String("restored")), qPrintable(restored.out));
    QCOMPARE(rowsOf(82001), 1);
    QCOMPARE(listed({QStringLiteral("--serial"), QStringLiteral("82001")}).size(), 0);
    const ToolRun again = asAdmin({QStringLiteral("restore"), copy});
    QCOMPARE(again.exitCode, 3);
    QVERIFY2(again.err.contains(QLatin1String("no such deleted report")), qPrintable(again.err));

    // Deleted once more, then the same report stored again by a station: the
    // stored one stays, and so does the copy.
    QVERIFY(asStation(QStringLiteral("DELETE FROM %1 WHERE sn = 82001").arg(QLatin1String(Table))));
    const QString second = listed({QStringLiteral("--serial"), QStringLiteral("82001")}).value(0).value(0);
    QVERIFY(!second.isEmpty());
    QVERIFY(asStation(QStringLiteral("INSERT INTO %1 VALUES (82001, '2026-12-09 11:00', '2024-03-15', '3.2.2', 40, "
                                     "'342:56', '1:00', '100', '100', '100', '100', '100', '100', 0, '100', '100', "
                                     "'100', '100', '100', '100', 0)")
                          .arg(QLatin1String(Table))));
    QCOMPARE(rowsOf(82001), 1);
    const ToolRun present = asAdmin({QStringLiteral("restore"), second});
    QVERIFY2(present.exitCode == 0, qPrintable(present.err));
    QVERIFY2(present.out.contains(QLatin1String("stored again")), qPrintable(present.out));
    QCOMPARE(rowsOf(82001), 1);
    QCOMPARE(listed({QStringLiteral("--serial"), QStringLiteral("82001")}).size(), 1);
}

void TestSsuAdmin::storedTextReachesTheTerminalDefused()
{
    // A station (or whoever has its password) stores escape sequences that
    // would set the title and clear the screen of whoever lists them.
    QVERIFY(asStation(QStringLiteral("INSERT INTO %1 VALUES (82009, '2026-12-08 10:00', '2024-03-15', '3.2.2', 40, "
                                     "CONCAT(CHAR(27), ']0;owned', CHAR(7), CHAR(27), '[2J'), '1:00', '100', '100', "
                                     "'100', '100', '100', '100', 0, '100', '100', '100', '100', '100', '100', 0)")
                          .arg(QLatin1String(Table))));
    QVERIFY(asStation(QStringLiteral("DELETE FROM %1 WHERE sn = 82009").arg(QLatin1String(Table))));
    const ToolRun run = asAdmin({QStringLiteral("deleted"), QStringLiteral("--serial"), QStringLiteral("82009")});
    QCOMPARE(run.exitCode, 0);
    QVERIFY2(run.out.contains(QLatin1String("]0;owned")), qPrintable(run.out));
    QVERIFY(!run.out.contains(QChar(0x1b)));
    QVERIFY(!run.out.contains(QChar(0x07)));
    QVERIFY(run.out.contains(QChar(0xFFFD)));
    const ToolRun restored = asAdmin({QStringLiteral("restore"), run.out.section(QLatin1Char('\n'), 1, 1).section(QLatin1Char('\t'), 0, 0)});
    QVERIFY2(restored.exitCode == 0, qPrintable(restored.err));
    QVERIFY(!restored.out.contains(QChar(0x1b)));
    QCOMPARE(rowsOf(82009), 1);
}

void TestSsuAdmin::aRefusedStatementLeavesTheTableAsItWas_data()
{
    QTest::addColumn<bool>("station");
    QTest::addColumn<bool>("duplicate");
    QTest::addColumn<QString>("reason");
    // The stations' account may create and fill the table, never alter it.
    QTest::newRow("station account") << true << false << QStringLiteral("ALTER command denied");
    // The unique key fails on the report stored twice; the row key and the
    // other indexes, which the server would allow, are not added alone.
    QTest::newRow("a report stored twice") << false << true << QStringLiteral("more than once");
}

void TestSsuAdmin::aRefusedStatementLeavesTheTableAsItWas()
{
    QFETCH(bool, station);
    QFETCH(bool, duplicate);
    QFETCH(QString, reason);
    QVERIFY(resetTable(duplicate));
    const QStringList arguments = station ? QStringList{QStringLiteral("--user"), QStringLiteral("RVKuser")}
                                          : QStringList{};
    const QString password = station ? rvktest::testDatabasePassword() : rvktest::testAdminPassword();

    const ToolRun run = runTool(arguments, password);
    QCOMPARE(run.exitCode, 3);
    QVERIFY2(run.err.contains(reason), qPrintable(run.err));
    QVERIFY2(run.err.contains(QLatin1String("the table was left as it was")), qPrintable(run.err));
    QCOMPARE(indexesOf(QLatin1String(Table)), QStringList());
    QCOMPARE(rowCount(), duplicate ? 4 : 3);

    const ToolRun check = runTool(arguments + QStringList{QStringLiteral("--check")}, password);
    QCOMPARE(check.exitCode, 1);
    QVERIFY2(check.out.startsWith(QLatin1String("5 ")), qPrintable(check.out));
}

void TestSsuAdmin::thePasswordIsNotTakenFromTheCommandLine_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("option") << QStringList{QStringLiteral("--password"), rvktest::testAdminPassword()};
    QTest::newRow("argument") << QStringList{rvktest::testAdminPassword()};
}

void TestSsuAdmin::thePasswordIsNotTakenFromTheCommandLine()
{
    QFETCH(QStringList, arguments);
    // A right password on standard input too: the command line alone is
    // enough to refuse.
    const ToolRun run = asAdmin(arguments + QStringList{QStringLiteral("--check")});
    QCOMPARE(run.exitCode, 2);
    QVERIFY2(run.err.contains(QLatin1String("not taken from the command line")), qPrintable(run.err));
    QVERIFY(run.out.isEmpty());
}

RVK_TEST_MAIN(TestSsuAdmin)
#include "tst_ssuadmin_db.moc"
