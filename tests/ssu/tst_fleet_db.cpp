// The fleet summary against the test MariaDB, on tables of this file's own
// (the shared table holds whatever other tests store meanwhile, and the
// summary reads a whole table). Its rows use serial numbers 64000..64099.
#include "ssu/fleetquery.h"
#include "ssu/driver/ssuconnection.h"
#include "tests/support/databasetest.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QLocale>
#include <QTest>

#include <QHash>

#include <algorithm>
#include <cmath>

Q_DECLARE_METATYPE(FleetGrouping)

namespace {
// With the administrator's keys and indexes, and as a table created before
// them, which has no row key.
const QString KeyedTable = QStringLiteral("rvkfleet_test");
const QString PlainTable = QStringLiteral("rvkfleet_test_nokey");
const char *const Connection = "fleet";

struct Report
{
    int sn;
    const char *date;
    const char *release;
    const char *firmware;
    const char *total;
    const char *rotation;
    const char *vibration;
    int impacts;
};

// In the order stored. Only each module's latest report counts:
//   64001 released 2020-01-01, latest 2024-01-01 "3.2.2" 100:00, 3 impacts,
//         age 1461 days = 4 years, 25 h a year; its earlier "3.1.0" report
//         forms no group.
//   64002 released 2020-01-20, twins at 2024-03-01 09:00: the one with
//         more operating time (300:00, 9 impacts) counts, not its twin
//         (200:00); age
//         1461 + 31 + 10 = 1502 days.
//   64003 release date unknown (stored as 1970-01-01), "3.2.2", 0:00: no
//         age, no operating time.
//   64004 released 2023-03-15, latest 2024-03-15 "3.3.0" 1000:00, 20
//         impacts, age 366 days; its earlier report under "3.2.2" does not
//         count there.
//   64005 released 2024-03-20, 2024-09-20 "3.3.0" 1234:05 = 74045 minutes,
//         30 impacts, age 184 days.
// in_voltage, out_voltage, current and temperature put all time in bins
// 2, 3, 4 and 5; the inter-repair lists put all in bin 1 and 99 impacts,
// which no total figure may show.
const Report Reports[] = {
    {64001, "2023-06-01 08:00", "2020-01-01", "3.1.0", "50:00", "100,0,0,0,0,0", "0,100,0,0,0", 90},
    {64001, "2024-01-01 08:00", "2020-01-01", "3.2.2", "100:00", "10,20,30,40,0,0", "100,0,0,0,0", 3},
    {64002, "2024-03-01 09:00", "2020-01-20", "3.2.2", "200:00", "0,0,0,0,0,100", "0,100,0,0,0", 7},
    {64002, "2024-03-01 09:00", "2020-01-20", "3.2.2", "300:00", "0,0,0,0,100,0", "0,0,0,0,100", 9},
    {64003, "2024-02-01 10:00", "1970-01-01", "3.2.2", "0:00", "0,0,0,0,0,0", "0,0,0,0,0", 0},
    {64004, "2023-09-01 10:00", "2023-03-15", "3.2.2", "10:00", "0,100,0,0,0,0", "100,0,0,0,0", 100},
    {64004, "2024-03-15 12:00", "2023-03-15", "3.3.0", "1000:00", "0,0,100,0,0,0", "0,0,100,0,0", 20},
    {64005, "2024-09-20 08:00", "2024-03-20", "3.3.0", "1234:05", "0,0,0,100,0,0", "0,0,100,0,0", 30},
};

bool insert(const QString &table, const Report &report)
{
    QSqlQuery query(rvktest::adminConnection());
    query.prepare(QStringLiteral("INSERT INTO %1 (sn, date, release_date, firmware_version, impact_level, total_time, "
                                 "repair_time, rotation, in_voltage, out_voltage, current, temperature, vibration, "
                                 "impacts, irt_rotation, irt_in_voltage, irt_out_voltage, irt_current, "
                                 "irt_temperature, irt_vibration, irt_impacts) VALUES (?, ?, ?, ?, 1, ?, '1:00', ?, "
                                 "'0,100,0,0', '0,0,100,0,0', '0,0,0,100,0,0', '0,0,0,0,100,0', ?, ?, "
                                 "'100,0,0,0,0,0', '100,0,0,0', '100,0,0,0,0', '100,0,0,0,0,0', '100,0,0,0,0,0', "
                                 "'100,0,0,0,0', 99)")
                      .arg(table));
    for (const QVariant &value : QVariantList{report.sn, report.date, report.release, report.firmware, report.total,
                                              report.rotation, report.vibration, report.impacts})
        query.addBindValue(value);
    return query.exec();
}

constexpr double Nan = std::numeric_limits<double>::quiet_NaN();

bool near(double actual, double expected)
{
    if (std::isnan(expected))
        return std::isnan(actual);
    return std::fabs(actual - expected) < 1e-6 * qMax(1.0, std::fabs(expected));
}

#define COMPARE_NEAR(actual, expected)                                                                                 \
    QVERIFY2(near((actual), (expected)),                                                                               \
             qPrintable(QStringLiteral("%1 is %2, expected %3").arg(#actual).arg((actual), 0, 'g', 12).arg((expected), 0, 'g', 12)))

// Bins of the six parameters with all of a group's time in bins 2, 3, 4 and
// 5 of the four that no module varies.
void compareFixedShares(const FleetGroup &group)
{
    const int fullBin[] = {-1, 1, 2, 3, 4, -1};
    for (int p = 1; p <= 4; ++p) {
        for (int k = 0; k < group.binShares.at(p).size(); ++k)
            COMPARE_NEAR(group.binShares.at(p).at(k), k == fullBin[p] ? 100.0 : 0.0);
    }
}

// Group "3.2.2" and release month "2020-01" both hold 64001 (6000 min) and
// 64002 (18000 min) with time; 64003 adds no time. Rotation: 10/20/30/40 %
// of 6000 and 100 % in bin 5 of 18000 minutes, out of 24000: 2.5, 5, 7.5,
// 10, 75, 0. Vibration: 6000 in bin 1, 18000 in bin 5: 25 and 75.
// Impacts 3 + 9 over 400 h: 3 per 100 h. Ages 4 and 1502/365.25 years,
// hours a year 25 and 300/(1502/365.25) = 72.953.
void compareEarlyModules(const FleetGroup &group)
{
    const QVector<double> rotation{2.5, 5, 7.5, 10, 75, 0};
    const QVector<double> vibration{25, 0, 0, 0, 75};
    for (int k = 0; k < 6; ++k)
        COMPARE_NEAR(group.binShares.at(0).at(k), rotation.at(k));
    for (int k = 0; k < 5; ++k)
        COMPARE_NEAR(group.binShares.at(5).at(k), vibration.at(k));
    compareFixedShares(group);
    COMPARE_NEAR(group.impactsPer100Hours, 3.0);
    const double age2 = 1502 / 365.25;
    COMPARE_NEAR(group.ageYears.median, (4.0 + age2) / 2);
    COMPARE_NEAR(group.ageYears.p10, 4.0 + 0.1 * (age2 - 4.0));
    COMPARE_NEAR(group.ageYears.p90, 4.0 + 0.9 * (age2 - 4.0));
    const double perYear2 = 300 / age2;
    COMPARE_NEAR(group.hoursPerYear.median, (25 + perYear2) / 2);
    COMPARE_NEAR(group.hoursPerYear.p10, 25 + 0.1 * (perYear2 - 25));
    COMPARE_NEAR(group.hoursPerYear.p90, 25 + 0.9 * (perYear2 - 25));
    QCOMPARE(group.modulesWithAge, 2);
}

QStringList keys(const FleetSummary &summary)
{
    QStringList list;
    for (const FleetGroup &group : summary.groups)
        list << group.key;
    return list;
}
} // namespace

class TestFleet : public QObject
{
    Q_OBJECT

private:
    QSqlDatabase reading() { return QSqlDatabase::database(QLatin1String(Connection), false); }
    SsuTarget target;

    Attempt<FleetSummary> readWithRowLimit(const QString &table, FleetGrouping grouping, int rowLimit)
    {
        SsuLinkPolicy policy = SsuConnection::policy(target);
        if (rowLimit > 0)
            policy.rowLimit = rowLimit;
        QSqlDatabase db = SsuConnection::open(QStringLiteral("fleet-limited"), target, policy);
        const Attempt<FleetSummary> read = readFleet(db, grouping, table);
        db = QSqlDatabase();
        SsuConnection::remove(QStringLiteral("fleet-limited"));
        return read;
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(rvktest::databaseReachable(), "start the test database: scripts/test-db start");
        QSqlQuery admin(rvktest::adminConnection());
        const QString create = createReportTableStatement();
        for (const QString &table : {KeyedTable, PlainTable}) {
            QVERIFY(admin.exec(QString(create).replace(QLatin1String("rvkreport"), table)));
            QVERIFY(admin.exec(QStringLiteral("DELETE FROM %1 WHERE sn BETWEEN 64000 AND 64099").arg(table)));
            for (const Report &report : Reports)
                QVERIFY(insert(table, report));
        }
        ensureReportIndexes(rvktest::adminConnection(), KeyedTable);
        QVERIFY(reportTableHasRowKey(rvktest::adminConnection(), KeyedTable));
        QVERIFY(!reportTableHasRowKey(rvktest::adminConnection(), PlainTable));

        const DatabaseHost host = rvktest::testDatabaseHost();
        target.hosts = QStringLiteral("%1:%2").arg(host.name).arg(host.port);
        target.password = rvktest::testDatabasePassword();
        QVERIFY(SsuConnection::open(QLatin1String(Connection), target).isOpen());
    }

    void cleanupTestCase()
    {
        SsuConnection::remove(QLatin1String(Connection));
        for (const QString &table : {KeyedTable, PlainTable})
            QSqlQuery(rvktest::adminConnection())
                .exec(QStringLiteral("DELETE FROM %1 WHERE sn BETWEEN 64000 AND 64099").arg(table));
    }

    // Edge rows on tables of their own, serial numbers 77000..77099: firmware
    // texts the column's collation calls equal ("3.2.2 " and "3.2.2", "RC"
    // and "rc"), a report stored twice, same-minute twins
    // with one operating time, and a damaged operating time. Each module is
    // one group of its own: every figure must hold that module, once.
    void everyModuleCountedOnceInEveryFigureOfItsGroup_data()
    {
        QTest::addColumn<bool>("rowKey");
        QTest::newRow("row key") << true;
        QTest::newRow("no row key") << false;
    }
    void everyModuleCountedOnceInEveryFigureOfItsGroup()
    {
        QFETCH(bool, rowKey);
        const QString table = rowKey ? QStringLiteral("rvkfleet_edge_key") : QStringLiteral("rvkfleet_edge_plain");
        QSqlQuery admin(rvktest::adminConnection());
        QVERIFY(admin.exec(createReportTableStatement().replace(QLatin1String("rvkreport"), table)));
        QVERIFY(admin.exec(QStringLiteral("DELETE FROM %1").arg(table)));
        // The row key alone, without the unique duplicate index, as a
        // table keyed before that index could be added.
        if (rowKey && !reportTableHasRowKey(rvktest::adminConnection(), table))
            QVERIFY(admin.exec(QStringLiteral("ALTER TABLE %1 ADD COLUMN id BIGINT UNSIGNED NOT NULL AUTO_INCREMENT "
                                              "INVISIBLE PRIMARY KEY").arg(table)));
        const Report rows[] = {
            {77001, "2024-01-01 08:00", "1970-01-01", "3.2.2 ", "10:00", "100,0,0,0,0,0", "100,0,0,0,0", 1},
            {77002, "2024-01-01 08:00", "1970-01-01", "3.2.2", "20:00", "100,0,0,0,0,0", "100,0,0,0,0", 2},
            {77003, "2024-01-01 08:00", "1970-01-01", "3.3.0-RC", "30:00", "100,0,0,0,0,0", "100,0,0,0,0", 3},
            {77004, "2024-01-01 08:00", "1970-01-01", "3.3.0-rc", "40:00", "100,0,0,0,0,0", "100,0,0,0,0", 4},
            // Stored twice, every byte the same.
            {77007, "2024-01-01 08:00", "1970-01-01", "4.0.0", "70:00", "100,0,0,0,0,0", "100,0,0,0,0", 7},
            {77007, "2024-01-01 08:00", "1970-01-01", "4.0.0", "70:00", "100,0,0,0,0,0", "100,0,0,0,0", 7},
            // Twins of one minute and one operating time: one of them counts.
            {77008, "2024-01-01 08:00", "1970-01-01", "4.1.0", "80:00", "0,100,0,0,0,0", "100,0,0,0,0", 8},
            {77008, "2024-01-01 08:00", "1970-01-01", "4.1.0", "80:00", "100,0,0,0,0,0", "100,0,0,0,0", 8},
            // A damaged operating time: a module, but no hours to show.
            {77009, "2024-01-01 08:00", "1970-01-01", "4.2.0", "-1:30", "100,0,0,0,0,0", "100,0,0,0,0", 9},
        };
        for (const Report &report : rows)
            QVERIFY2(insert(table, report), qPrintable(QString::number(report.sn)));
        const Attempt<FleetSummary> read = readFleet(reading(), FleetGrouping::FirmwareVersion, table);
        QVERIFY(admin.exec(QStringLiteral("DELETE FROM %1").arg(table)));
        QVERIFY2(read.ok, qPrintable(read.error));
        const FleetSummary &summary = read.value;

        const QStringList expectedKeys{"3.2.2", "3.2.2 ", "3.3.0-RC", "3.3.0-rc", "4.0.0", "4.1.0", "4.2.0"};
        QStringList sorted = keys(summary);
        std::sort(sorted.begin(), sorted.end());
        QCOMPARE(sorted, expectedKeys);
        const QHash<QString, double> hours{{"3.2.2 ", 10}, {"3.2.2", 20}, {"3.3.0-RC", 30}, {"3.3.0-rc", 40},
                                           {"4.0.0", 70},
                                           {"4.1.0", 80}, {"4.2.0", Nan}};
        for (const FleetGroup &group : summary.groups) {
            QVERIFY2(group.modules == 1, qPrintable(group.key));
            COMPARE_NEAR(group.hours.median, hours.value(group.key));
            COMPARE_NEAR(group.hours.p10, hours.value(group.key));
            // Impacts are the serial number's last digit, per its hours.
            const double expectedImpacts = std::isnan(hours.value(group.key)) ? Nan : 100.0 / 10.0;
            COMPARE_NEAR(group.impactsPer100Hours, expectedImpacts);
            if (group.key == QLatin1String("4.1.0")) {
                // The twin that sorts last by its bytes: rotation all in bin 1.
                COMPARE_NEAR(group.binShares.at(0).at(0), 100.0);
                COMPARE_NEAR(group.binShares.at(0).at(1), 0.0);
            }
        }
    }

    void percentileIsLinearBetweenClosestRanks_data()
    {
        QTest::addColumn<QVector<double>>("values");
        QTest::addColumn<double>("fraction");
        QTest::addColumn<double>("expected");
        QTest::newRow("none") << QVector<double>{} << 0.5 << Nan;
        QTest::newRow("one, p10") << QVector<double>{7} << 0.1 << 7.0;
        QTest::newRow("one, p90") << QVector<double>{7} << 0.9 << 7.0;
        QTest::newRow("odd median") << QVector<double>{300, 0, 100} << 0.5 << 100.0;
        QTest::newRow("even median") << QVector<double>{4, 1, 3, 2} << 0.5 << 2.5;
        // Ranks 0..3: p10 at 0.3, p90 at 2.7.
        QTest::newRow("p10 of four") << QVector<double>{4, 1, 3, 2} << 0.1 << 1.3;
        QTest::newRow("p90 of four") << QVector<double>{4, 1, 3, 2} << 0.9 << 3.7;
        QTest::newRow("ends") << QVector<double>{5, 9} << 1.0 << 9.0;
    }
    void percentileIsLinearBetweenClosestRanks()
    {
        QFETCH(QVector<double>, values);
        QFETCH(double, fraction);
        QFETCH(double, expected);
        COMPARE_NEAR(fleetPercentile(values, fraction), expected);
    }

    // The same answer whether the modules' rows come in one page or in
    // pages of two (a row limit of 4), and whether twins are told apart by
    // the row key or by their operating times.
    void countsEachModuleByItsLatestReport_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<int>("rowLimit");
        QTest::newRow("row key") << KeyedTable << 0;
        QTest::newRow("row key, pages of two modules") << KeyedTable << 4;
        QTest::newRow("no row key") << PlainTable << 0;
        QTest::newRow("no row key, pages of two modules") << PlainTable << 4;
    }
    void countsEachModuleByItsLatestReport()
    {
        QFETCH(QString, table);
        QFETCH(int, rowLimit);
        const Attempt<FleetSummary> read = readWithRowLimit(table, FleetGrouping::FirmwareVersion, rowLimit);
        QVERIFY2(read.ok, qPrintable(read.error));
        const FleetSummary &summary = read.value;
        QVERIFY(summary.readAt.isValid());
        QCOMPARE(keys(summary), QStringList({"3.2.2", "3.3.0"}));

        const FleetGroup &early = summary.groups.at(0);
        QCOMPARE(early.modules, 3);
        // Hours 0, 100, 300: ranks 0..2, p10 at 0.2, p90 at 1.8.
        COMPARE_NEAR(early.hours.median, 100.0);
        COMPARE_NEAR(early.hours.p10, 20.0);
        COMPARE_NEAR(early.hours.p90, 260.0);
        compareEarlyModules(early);

        // 64004 (60000 min, rotation bin 3) and 64005 (74045 min, bin 4).
        const FleetGroup &late = summary.groups.at(1);
        QCOMPARE(late.modules, 2);
        const double hours5 = 1234 + 5 / 60.0;
        COMPARE_NEAR(late.hours.median, (1000 + hours5) / 2);
        COMPARE_NEAR(late.hours.p10, 1000 + 0.1 * (hours5 - 1000));
        COMPARE_NEAR(late.hours.p90, 1000 + 0.9 * (hours5 - 1000));
        const QVector<double> rotation{0, 0, 100.0 * 60000 / 134045, 100.0 * 74045 / 134045, 0, 0};
        for (int k = 0; k < 6; ++k)
            COMPARE_NEAR(late.binShares.at(0).at(k), rotation.at(k));
        COMPARE_NEAR(late.binShares.at(5).at(2), 100.0);
        compareFixedShares(late);
        // 50 impacts over 134045/60 hours.
        COMPARE_NEAR(late.impactsPer100Hours, 50 * 100.0 / (134045 / 60.0));
        const double age4 = 366 / 365.25;
        const double age5 = 184 / 365.25;
        COMPARE_NEAR(late.ageYears.median, (age4 + age5) / 2);
        COMPARE_NEAR(late.hoursPerYear.p10, hours5 / age5 < 1000 / age4
                                                ? hours5 / age5 + 0.1 * (1000 / age4 - hours5 / age5)
                                                : 1000 / age4 + 0.1 * (hours5 / age5 - 1000 / age4));
    }

    // Release month and year group the same modules: 64001 and 64002 share
    // January 2020; 64003's unknown date forms the empty group, which has
    // no operating time and so no shares, impacts rate or age.
    void groupsByReleaseMonthAndYear_data()
    {
        QTest::addColumn<FleetGrouping>("grouping");
        QTest::addColumn<QStringList>("expectedKeys");
        QTest::newRow("month") << FleetGrouping::ReleaseMonth << QStringList{"", "2020-01", "2023-03", "2024-03"};
        QTest::newRow("year") << FleetGrouping::ReleaseYear << QStringList{"", "2020", "2023", "2024"};
    }
    void groupsByReleaseMonthAndYear()
    {
        QFETCH(FleetGrouping, grouping);
        QFETCH(QStringList, expectedKeys);
        const Attempt<FleetSummary> read = readFleet(reading(), grouping, KeyedTable);
        QVERIFY2(read.ok, qPrintable(read.error));
        const FleetSummary &summary = read.value;
        QCOMPARE(summary.grouping, grouping);
        QCOMPARE(keys(summary), expectedKeys);
        QCOMPARE(summary.groups.at(0).modules, 1);
        COMPARE_NEAR(summary.groups.at(0).hours.median, 0.0);
        COMPARE_NEAR(summary.groups.at(0).impactsPer100Hours, Nan);
        COMPARE_NEAR(summary.groups.at(0).binShares.at(0).at(0), Nan);
        COMPARE_NEAR(summary.groups.at(0).ageYears.median, Nan);
        QCOMPARE(summary.groups.at(0).modulesWithAge, 0);

        const FleetGroup &early = summary.groups.at(1);
        QCOMPARE(early.modules, 2);
        COMPARE_NEAR(early.hours.median, 200.0);
        compareEarlyModules(early);
        QCOMPARE(summary.groups.at(2).modules, 1);
        COMPARE_NEAR(summary.groups.at(2).hours.p10, 1000.0);
        COMPARE_NEAR(summary.groups.at(3).impactsPer100Hours, 30 * 100.0 / (74045 / 60.0));
    }

    void writesCsvWithPointDecimals()
    {
        // Figures are written with "." whatever the user's locale.
        QLocale::setDefault(QLocale(QLocale::German));
        const Attempt<FleetSummary> read = readFleet(reading(), FleetGrouping::ReleaseMonth, KeyedTable);
        QVERIFY2(read.ok, qPrintable(read.error));
        const FleetSummary &summary = read.value;
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QVERIFY(writeFleetCsv(summary, &buffer));
        QLocale::setDefault(QLocale::c());

        QVERIFY(bytes.endsWith('\n'));
        const QList<QByteArray> lines = bytes.trimmed().split('\n');
        QCOMPARE(lines.size(), 5);
        const QList<QByteArray> header = lines.at(0).split(',');
        // Key and count, three figures of hours, age and hours a year, 32
        // bins and the impacts rate.
        QCOMPARE(header.size(), 2 + 9 + 32 + 1);
        QCOMPARE(header.mid(0, 5), QList<QByteArray>({"group", "modules", "hours_median", "hours_p10", "hours_p90"}));
        QCOMPARE(header.at(8), QByteArray("hours_per_year_median"));
        QCOMPARE(header.at(11), QByteArray("rotation_bin1_share"));
        QCOMPARE(header.at(17), QByteArray("in_voltage_bin1_share"));
        QCOMPARE(header.at(42), QByteArray("vibration_bin5_share"));
        QCOMPARE(header.last(), QByteArray("impacts_per_100h"));

        // The unknown month: no age, shares or impacts rate, so empty cells.
        const QList<QByteArray> unknown = lines.at(1).split(',');
        QCOMPARE(unknown.size(), header.size());
        QCOMPARE(unknown.mid(0, 5), QList<QByteArray>({"", "1", "0.000", "0.000", "0.000"}));
        QCOMPARE(unknown.at(5), QByteArray());
        QCOMPARE(unknown.at(11), QByteArray());
        QCOMPARE(unknown.last(), QByteArray());

        const QList<QByteArray> early = lines.at(2).split(',');
        QCOMPARE(early.size(), header.size());
        QCOMPARE(early.mid(0, 5), QList<QByteArray>({"2020-01", "2", "200.000", "120.000", "280.000"}));
        QCOMPARE(early.mid(11, 6), QList<QByteArray>({"2.500", "5.000", "7.500", "10.000", "75.000", "0.000"}));
        QCOMPARE(early.last(), QByteArray("3.000"));
        // 1234:05 is 1234.0833 hours.
        QCOMPARE(lines.at(4).split(',').mid(0, 3), QList<QByteArray>({"2024-03", "1", "1234.083"}));
    }

    void csvQuotesAKeyWithACommaAndRefusesAClosedDevice()
    {
        FleetSummary summary;
        FleetGroup group;
        group.key = QStringLiteral("3,2 \"beta\"");
        group.modules = 1;
        summary.groups << group;
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QVERIFY(writeFleetCsv(summary, &buffer));
        QVERIFY(bytes.split('\n').at(1).startsWith("\"3,2 \"\"beta\"\"\",1,"));
        QBuffer closed;
        QVERIFY(!writeFleetCsv(summary, &closed));
    }

    void failsWholeWithAMessage_data()
    {
        QTest::addColumn<bool>("open");
        QTest::addColumn<QString>("table");
        QTest::newRow("no connection") << false << KeyedTable;
        QTest::newRow("missing table") << true << QStringLiteral("rvkfleet_absent");
        QTest::newRow("not a table name") << true << QStringLiteral("rvkreport; DROP TABLE x");
    }
    void failsWholeWithAMessage()
    {
        QFETCH(bool, open);
        QFETCH(QString, table);
        const Attempt<FleetSummary> read = readFleet(open ? reading() : QSqlDatabase(), FleetGrouping::FirmwareVersion, table);
        QVERIFY(!read.ok);
        QVERIFY(read.value.groups.isEmpty());
        QVERIFY(!read.error.isEmpty());
        QCOMPARE(read.value.grouping, FleetGrouping::FirmwareVersion);
        // The connection is left usable, outside any transaction.
        if (open)
            QVERIFY(readFleet(reading(), FleetGrouping::FirmwareVersion, KeyedTable).ok);
    }
};

QTEST_GUILESS_MAIN(TestFleet)

#include "tst_fleet_db.moc"
