// The export of stored reports over a table of 1,000,000 reports (or the
// number given as the first argument or in RVK_BENCH_EXPORT_ROWS, e.g.
// 10000 for a quick run). The reports are made on the server from its
// sequence table, dated in 2095, and exported as CSV to a file and to a
// device that drops what it is given, as JSON to the latter, as CSV ordered
// without the row key, and once more for one day; it prints for each the reports, seconds, reports per
// second and the process's peak resident memory (VmHWM) before and after.
// Needs the test database (scripts/test-db start); its rows (serial numbers
// from 500000000) are removed afterwards.
#include "bench/benchdatabase.h"
#include "bench/benchsupport.h"
#include "ssu/reportexport.h"
#include "ssu/driver/ssuconnection.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

namespace {
constexpr int FirstSn = 500000000;
constexpr int ReportsPerModule = 200;
const char *const Connection = "bench-export";

QTextStream out(stdout);

// Takes every byte and keeps none, so that only the export's own cost shows.
class DropDevice : public QIODevice
{
public:
    DropDevice() { open(QIODevice::WriteOnly); }

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *, qint64 length) override { return length; }
};

// A module's reports an hour apart, the modules a minute apart; every
// 50th report has a twin of the same module and minute.
bool makeReports(int reports)
{
    return bench::insertFromSequence(
        QStringLiteral(
            "INSERT INTO rvkreport SELECT %1 + seq DIV %2, '2095-01-01' + INTERVAL seq MOD %2 * 60 + seq DIV %2 "
            "MINUTE - INTERVAL (seq MOD 50 = 1) * 60 MINUTE, '2094-01-01' + INTERVAL seq MOD 365 DAY, "
            "CONCAT('3.', seq MOD 9, '.', seq MOD 4), seq MOD 5, CONCAT(seq, ':', LPAD(seq MOD 60, 2, '0')), "
            "CONCAT(seq MOD 90, ':00'), '10,20,30,40,0,0', '100,0,0,0', '0,0,100,0,0', '0,0,0,0,0,100', "
            "'0,50,50,0,0,0', '100,0,0,0,0', seq MOD 7, '10,20,30,40,0,0', '100,0,0,0', '0,0,100,0,0', "
            "'0,0,0,0,0,100', '0,50,50,0,0,0', '100,0,0,0,0', seq MOD 3 FROM seq_%3_to_%4")
            .arg(FirstSn)
            .arg(ReportsPerModule),
        reports);
}

void measure(const QString &name, QIODevice *device, const ExportSelection &selection, ExportFormat format,
             bool rowKey = true)
{
    const double peakBefore = bench::peakMegabytes();
    QElapsedTimer clock;
    clock.start();
    const Attempt<qint64> outcome = exportReports(QSqlDatabase::database(QLatin1String(Connection), false), rowKey,
                                                selection, format, device);
    const double seconds = double(clock.nsecsElapsed()) / 1e9;
    out << "  " << name.leftJustified(36) << outcome.value << " reports  " << seconds << " s  "
        << double(outcome.value) / seconds << " reports/s  peak memory " << peakBefore << " -> " << bench::peakMegabytes()
        << " MB\n";
    if (!outcome.ok)
        out << "    FAILED: " << outcome.error << '\n';
    out.flush();
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    QTemporaryDir workDir;
    QString count = qEnvironmentVariable("RVK_BENCH_EXPORT_ROWS", QStringLiteral("1000000"));
    if (argc > 1)
        count = QString::fromLocal8Bit(argv[1]);
    const int reports = qMax(1, count.toInt());
    if (!rvktest::databaseReachable()) {
        QTextStream(stderr) << "the test database is not reachable: scripts/test-db start\n";
        return 1;
    }
    out.setRealNumberNotation(QTextStream::FixedNotation);
    out.setRealNumberPrecision(1);

    bench::deleteModules(FirstSn, reports / ReportsPerModule + 1);
    QElapsedTimer clock;
    clock.start();
    if (!makeReports(reports))
        return 1;
    out << reports << " reports made on the server in " << double(clock.elapsed()) / 1000.0 << " s\n";

    const DatabaseHost host = rvktest::testDatabaseHost();
    SsuTarget target;
    target.hosts = QStringLiteral("%1:%2").arg(host.name).arg(host.port);
    target.password = rvktest::testDatabasePassword();
    if (!SsuConnection::open(QLatin1String(Connection), target).isOpen()) {
        QTextStream(stderr) << "the program's connection did not open\n";
        return 1;
    }
    const ExportSelection days2095{0, QDate(2095, 1, 1), QDate(2095, 12, 31)};
    QFile file(workDir.filePath(QStringLiteral("reports.csv")));
    file.open(QIODevice::WriteOnly);
    measure(QStringLiteral("CSV to a file"), &file, days2095, ExportFormat::Csv);
    out << "    (" << double(file.size()) / (1024.0 * 1024.0) << " MB written)\n";
    file.close();
    DropDevice drop;
    measure(QStringLiteral("CSV, dropped"), &drop, days2095, ExportFormat::Csv);
    measure(QStringLiteral("JSON, dropped"), &drop, days2095, ExportFormat::Json);
    // As on a table the administrator has not given its row key.
    measure(QStringLiteral("CSV without the row key, dropped"), &drop, days2095, ExportFormat::Csv, false);
    // A span of days holds reports of many modules, which are read in
    // module order all the same.
    measure(QStringLiteral("CSV of one day, dropped"), &drop,
            {0, QDate(2095, 1, 1), QDate(2095, 1, 1)}, ExportFormat::Csv);

    SsuConnection::remove(QLatin1String(Connection));
    bench::deleteModules(FirstSn, reports / ReportsPerModule + 1);
    out << "\ntarget: at most 50 MB peak memory, whatever the number of reports\n";
    return 0;
}
