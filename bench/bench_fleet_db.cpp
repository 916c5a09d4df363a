// The fleet summary over 10,000 and then 1,000,000 stored reports (or the
// sizes given as arguments, e.g. "10000" for a quick run), 50 reports a
// module on average. The reports are made on the server from its sequence
// table; each module has a release date of its own and its firmware
// changes over its reports. For each size it prints the time from calling
// readFleet() to its result for every grouping, and the process's peak
// resident memory (VmHWM). Needs the test database (scripts/test-db start);
// its rows (serial numbers from 800000) are removed afterwards unless
// RVK_BENCH_FLEET_KEEP is set.
#include "bench/benchdatabase.h"
#include "bench/benchsupport.h"
#include "ssu/fleetquery.h"
#include "ssu/driver/ssuconnection.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextStream>

namespace {
constexpr int FirstSn = 800000;
constexpr int ReportsPerModule = 50;
const char *const Connection = "bench-fleet";

QTextStream out(stdout);

// Report seq belongs to a module picked by a hash of seq, so modules hold
// different numbers of reports around the mean; dates and operating times
// grow with seq, so each module's later reports have more hours. Each
// module's release date (up to 2000 days after 2015-01-01) lies before
// its first report. Every 97th report gets a twin of the same minute that
// differs in its inter-repair time, as the duplicate rule allows.
const char *const Fill =
    "INSERT INTO rvkreport (sn, date, release_date, firmware_version, impact_level, total_time, repair_time, "
    "rotation, in_voltage, out_voltage, current, temperature, vibration, impacts, irt_rotation, irt_in_voltage, "
    "irt_out_voltage, irt_current, irt_temperature, irt_vibration, irt_impacts) "
    "SELECT %1 + CRC32(seq) MOD %2, '2020-07-01' + INTERVAL seq * 3 MINUTE, "
    "'2015-01-01' + INTERVAL (CRC32(seq) MOD %2) * 37 MOD 2000 DAY, "
    "CONCAT('3.', CRC32(seq) MOD %2 MOD 4, '.', (seq * 4 DIV %3 + CRC32(seq) MOD %2 MOD 3) MOD 5), seq MOD 5, "
    "CONCAT(seq DIV 60, ':', LPAD(seq MOD 60, 2, '0')), %4, "
    "CONCAT(seq MOD 20, ',20,30,', 30 - seq MOD 20, ',0,0'), CONCAT('0,', seq MOD 50, ',', 100 - seq MOD 50, ',0'), "
    "'0,0,100,0,0', CONCAT('0,0,', seq MOD 100, ',', 100 - seq MOD 100, ',0,0'), '0,50,50,0,0,0', "
    "CONCAT(100 - seq MOD 30, ',', seq MOD 30, ',0,0,0'), seq MOD 7, '10,20,30,40,0,0', '100,0,0,0', "
    "'0,0,100,0,0', '0,0,0,0,0,100', '0,50,50,0,0,0', '100,0,0,0,0', seq MOD 3 FROM seq_%5_to_%6";

bool makeReports(int reports, int modules)
{
    const QString fill = QLatin1String(Fill);
    const QString statement = fill.arg(FirstSn).arg(modules).arg(reports);
    return bench::insertFromSequence(statement.arg(QStringLiteral("'1:00'"), QStringLiteral("%1"),
                                                   QStringLiteral("%2")),
                                     reports)
        && bench::insertFromSequence(QString(statement)
                                         .arg(QStringLiteral("'2:00'"), QStringLiteral("%1"), QStringLiteral("%2"))
                                         .replace(QLatin1String("FROM seq_%1_to_%2"),
                                                  QLatin1String("FROM seq_%1_to_%2 WHERE seq MOD 97 = 0")),
                                     reports);
}

void measure(int reports, const SsuTarget &target)
{
    const int modules = qMax(1, reports / ReportsPerModule);
    bench::deleteModules(FirstSn, modules);
    QElapsedTimer clock;
    clock.start();
    if (!makeReports(reports, modules))
        return;
    // The administrator's step, as on a real SSU, and fresh statistics for
    // the planner after a million rows.
    ensureReportIndexes(rvktest::adminConnection());
    bench::adminExec(QStringLiteral("ANALYZE TABLE rvkreport"));
    out << reports << " reports (and their twins) of " << modules << " modules made in "
        << double(clock.elapsed()) / 1000.0 << " s\n";
    out.flush();

    if (!SsuConnection::open(QLatin1String(Connection), target).isOpen()) {
        out << "  the program's connection did not open\n";
        return;
    }
    const QPair<FleetGrouping, const char *> groupings[] = {
        {FleetGrouping::FirmwareVersion, "firmware version"},
        {FleetGrouping::ReleaseMonth, "release month"},
        {FleetGrouping::ReleaseYear, "release year"},
    };
    for (const auto &grouping : groupings) {
        clock.restart();
        const Attempt<FleetSummary> read =
            readFleet(QSqlDatabase::database(QLatin1String(Connection), false), grouping.first);
        const FleetSummary &summary = read.value;
        const qint64 ms = clock.elapsed();
        int counted = 0;
        for (const FleetGroup &group : summary.groups)
            counted += group.modules;
        out << "  by " << QString::fromLatin1(grouping.second).leftJustified(18) << ms << " ms  "
            << summary.groups.size() << " groups, " << counted << " modules  peak memory " << bench::peakMegabytes()
            << " MB\n";
        if (!read.ok)
            out << "    FAILED: " << read.error << '\n';
        out.flush();
    }
    SsuConnection::remove(QLatin1String(Connection));
    // Left for a look at the statements' plans when asked to.
    if (qEnvironmentVariableIsSet("RVK_BENCH_FLEET_KEEP"))
        out << "  rows kept (RVK_BENCH_FLEET_KEEP)\n";
    else
        bench::deleteModules(FirstSn, modules);
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    QList<int> sizes;
    for (int i = 1; i < argc; ++i)
        sizes << qMax(1, QString::fromLocal8Bit(argv[i]).toInt());
    if (sizes.isEmpty())
        sizes = {10000, 1000000};
    if (!rvktest::databaseReachable()) {
        QTextStream(stderr) << "the test database is not reachable: scripts/test-db start\n";
        return 1;
    }
    out.setRealNumberNotation(QTextStream::FixedNotation);
    out.setRealNumberPrecision(1);

    const DatabaseHost host = rvktest::testDatabaseHost();
    SsuTarget target;
    target.hosts = QStringLiteral("%1:%2").arg(host.name).arg(host.port);
    target.password = rvktest::testDatabasePassword();
    for (const int reports : sizes)
        measure(reports, target);
    out << "\ntarget: at most 2 s and 100 MB peak memory at 1,000,000 reports\n";
    return 0;
}
