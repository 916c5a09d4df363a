// The lookups behind the comparison and the history against the test
// MariaDB, through the station's session: a module's reports among twins
// and other modules' reports. This file owns serial numbers 63500..63519.
#include "report/reportcomparison.h"
#include "ssu/ssusession.h"
#include "tests/support/sessioncalls.h"
#include "tests/support/databasetest.h"

#include <QCoreApplication>
#include <QTest>

#include <ctime>

namespace {
constexpr quint32 Module = 63505;
constexpr quint32 Neighbour = 63506;
constexpr quint32 Unknown = 63507;

bool insertReport(quint32 sn, const QString &date, const QString &totalTime, const QString &firmware = "3.2.2")
{
    QSqlQuery query(rvktest::adminConnection());
    query.prepare(QStringLiteral("INSERT INTO rvkreport VALUES (?, ?, '2024-03-05', ?, 4, ?, '1:00', "
                                 "'10,20,30,40,0,0', '100,0,0,0', '0,0,100,0,0', '0,0,0,0,0,100', '0,50,50,0,0,0', "
                                 "'100,0,0,0,0', 7, '10,20,30,40,0,0', '100,0,0,0', '0,0,100,0,0', '0,0,0,0,0,100', "
                                 "'0,50,50,0,0,0', '100,0,0,0,0', 8)"));
    for (const QVariant &value : QVariantList{sn, date, firmware, totalTime})
        query.addBindValue(value);
    return query.exec();
}

QStringList totalTimes(const QVector<ModuleReport> &reports)
{
    QStringList times;
    for (const ModuleReport &report : reports)
        times << report.values.total_time;
    return times;
}
} // namespace

class TestModuleHistory : public rvktest::DatabaseTestCase
{
    Q_OBJECT
public:
    TestModuleHistory()
        : DatabaseTestCase(63500, 63519)
    {
    }

private slots:
    void initTestCase();
    void cleanupTestCase();
    void latestReportAmongTwinsAndNeighbours();
    void historyInTheOrderTheModuleMadeIt();
    void withoutConnectionNothingIsFound();
    void dateTheLocalClockSkipsReadsAsStored();

private:
    SsuSession session;
};

void TestModuleHistory::initTestCase()
{
    // A zone with daylight saving, whatever the machine's: 30.03.2025 02:30
    // does not exist on its clocks.
    qputenv("TZ", "Europe/Berlin");
    tzset();
    QVERIFY2(databaseReady(), DatabaseMissing);
    // The module's reports arrive out of order; the last minute holds twins
    // whose operating times only compare as numbers ("99:59" < "100:00").
    QVERIFY(insertReport(Module, "2024-05-01 10:00", "50:00"));
    QVERIFY(insertReport(Module, "2024-07-01 10:00", "99:59"));
    QVERIFY(insertReport(Module, "2024-07-01 10:00", "100:00", "3.2.3"));
    QVERIFY(insertReport(Module, "2024-06-01 10:00", "80:00"));
    QVERIFY(insertReport(Module, "2024-04-01 10:00", "9:30"));
    // Later reports of the modules around it.
    QVERIFY(insertReport(Neighbour, "2024-08-01 10:00", "500:00"));
    QVERIFY(insertReport(Module - 1, "2024-09-01 10:00", "600:00"));
    QVERIFY(bringOnline(session));
}

void TestModuleHistory::cleanupTestCase()
{
    deleteOwnRows();
}

void TestModuleHistory::latestReportAmongTwinsAndNeighbours()
{
    ReportValues latest;
    QCOMPARE(rvktest::Sync::latest(&session, Module, &latest), StoredReportResult::Done);
    QCOMPARE(latest.sn, Module);
    QCOMPARE(latest.date, QStringLiteral("01.07.2024 10:00"));
    QCOMPARE(latest.total_time, QStringLiteral("100:00"));
    QCOMPARE(latest.firmware_version, QStringLiteral("3.2.3"));
    QCOMPARE(latest.impacts, 7u);
    QCOMPARE(latest.totalPercents.value(4), QStringLiteral("0,50,50,0,0,0"));

    ReportValues none;
    QCOMPARE(rvktest::Sync::latest(&session, Unknown, &none), StoredReportResult::NotFound);
}

void TestModuleHistory::historyInTheOrderTheModuleMadeIt()
{
    QVector<ModuleReport> reports;
    QVERIFY(rvktest::Sync::history(&session, Module, &reports));
    QCOMPARE(totalTimes(reports), (QStringList{"9:30", "50:00", "80:00", "99:59", "100:00"}));
    QVERIFY(session.hasRowKey());
    QVERIFY(!reports.first().rowId.isNull());
    QVERIFY(reports.at(3).rowId != reports.at(4).rowId);

    QVERIFY(rvktest::Sync::history(&session, Unknown, &reports));
    QVERIFY(reports.isEmpty());
}

void TestModuleHistory::withoutConnectionNothingIsFound()
{
    SsuSession offline;
    ReportValues values;
    values.total_time = QStringLiteral("untouched");
    QCOMPARE(rvktest::Sync::latest(&offline, Module, &values), StoredReportResult::Failed);
    QCOMPARE(values.total_time, QStringLiteral("untouched"));
    QVector<ModuleReport> reports{ModuleReport()};
    QVERIFY(!rvktest::Sync::history(&offline, Module, &reports));
    QVERIFY(reports.isEmpty());
}

// The column has no zone: a stored date inside the local clock's spring
// gap reads as it is stored, in the lookup, the history and the comparison.
void TestModuleHistory::dateTheLocalClockSkipsReadsAsStored()
{
    constexpr quint32 Skipped = 63510;
    QVERIFY(insertReport(Skipped, "2025-03-29 02:30", "10:00"));
    QVERIFY(insertReport(Skipped, "2025-03-30 02:30", "34:00"));
    ReportValues latest;
    QCOMPARE(rvktest::Sync::latest(&session, Skipped, &latest), StoredReportResult::Done);
    QCOMPARE(latest.date, QStringLiteral("30.03.2025 02:30"));
    QVector<ModuleReport> reports;
    QVERIFY(rvktest::Sync::history(&session, Skipped, &reports));
    QCOMPARE(reports.size(), 2);
    QCOMPARE(reports.last().values.date, QStringLiteral("30.03.2025 02:30"));
    const ReportComparison comparison = compareReports(reports.first().values, reports.last().values);
    QCOMPARE(comparison.daysBetween, 1.0);
    QCOMPARE(comparison.totalMinutesAdded, qint64(24 * 60));
}

QTEST_GUILESS_MAIN(TestModuleHistory)
#include "tst_modulehistory_db.moc"
