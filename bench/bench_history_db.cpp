// A module's past on a shared table of 10,000 and of 1,000,000 reports (or
// the sizes given as arguments), 50 reports per module (200 and 20,000
// modules), and one module with 200 reports. For each size it prints, in
// milliseconds: the lookup of a module's latest report that follows every
// read-out (through the station's session, as the station asks), over 200
// modules; and the history of the 200-report module from the button's click
// to the window drawn (reading the reports, building the charts and the
// table, the first paint). Needs the test database (scripts/test-db start);
// its rows (serial numbers from 900000) are removed afterwards.
#include "bench/benchdatabase.h"
#include "ssu/gui/modulehistorywindow.h"
#include "ssu/ssusession.h"
#include "tests/support/sessioncalls.h"
#include "tests/support/httpfileserver.h"
#include "tests/support/testmain.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTextStream>
#include <QVector>
#include <algorithm>

namespace {
constexpr quint32 FirstSn = 900000;
constexpr int ReportsPerModule = 50;
constexpr int HistoryReports = 200;

QTextStream out(stdout);

int modulesOf(int size)
{
    return qMax(1, size / ReportsPerModule);
}

void removeOwnRows(int size)
{
    bench::deleteModules(FirstSn, modulesOf(size) + 1);
}

// Module FirstSn has the long history; the others' reports are a day apart
// and lie between each other's in the table, as a fleet's do.
bool makeRows(int size)
{
    const QString insert = QStringLiteral(
        "INSERT INTO rvkreport SELECT %1 + %2, '2090-01-01' + INTERVAL seq DIV %3 DAY + INTERVAL seq MOD %3 SECOND, "
        "'2089-01-01' + INTERVAL (seq MOD %3) MOD 700 DAY, CONCAT('3.', seq MOD 3, '.2'), 2, "
        "CONCAT(seq DIV %3 * 24, ':', LPAD(seq MOD 60, 2, '0')), CONCAT(seq DIV %3 * 24 MOD 500, ':00'), "
        "'10,20,30,40,0,0', '100,0,0,0', '0,0,100,0,0', '0,0,0,0,0,100', '0,50,50,0,0,0', '100,0,0,0,0', seq DIV %3, "
        "'10,20,30,40,0,0', '100,0,0,0', '0,0,100,0,0', '0,0,0,0,0,100', '0,50,50,0,0,0', '100,0,0,0,0', 1 "
        "FROM seq_%4_to_%5");
    const int modules = modulesOf(size);
    return bench::insertFromSequence(insert.arg(FirstSn).arg(QStringLiteral("1 + seq MOD %1").arg(modules)).arg(modules),
                                     size)
           && bench::insertFromSequence(insert.arg(FirstSn).arg(0).arg(1), HistoryReports);
}

struct Figures
{
    double median = 0;
    double p90 = 0;
    double max = 0;
};

Figures figuresOf(QVector<double> times)
{
    std::sort(times.begin(), times.end());
    return {times.at(times.size() / 2), times.at(times.size() * 9 / 10), times.last()};
}

double since(const QElapsedTimer &clock)
{
    return double(clock.nsecsElapsed()) / 1e6;
}

bool measure(int size, SsuSession &session)
{
    QVector<double> lookups;
    const int modules = modulesOf(size);
    for (int i = 0; i < 200; ++i) {
        const quint32 sn = FirstSn + 1 + quint32(QRandomGenerator::global()->bounded(modules));
        ReportValues latest;
        QElapsedTimer clock;
        clock.start();
        if (rvktest::Sync::latest(&session, sn, &latest) != StoredReportResult::Done)
            return false;
        lookups << since(clock);
    }
    QVector<double> histories;
    for (int i = 0; i < 20; ++i) {
        QElapsedTimer clock;
        clock.start();
        QVector<ModuleReport> reports;
        if (!rvktest::Sync::history(&session, FirstSn, &reports) || reports.size() != HistoryReports)
            return false;
        ModuleHistoryWindow window(FirstSn, reports, 0);
        window.setAttribute(Qt::WA_DeleteOnClose, false);
        window.show();
        window.repaint();
        histories << since(clock);
    }
    const Figures lookup = figuresOf(lookups);
    const Figures history = figuresOf(histories);
    out << QStringLiteral("%1 reports of %2 modules: latest-report lookup median %3 ms, p90 %4 ms, max %5 ms; "
                          "history of %6 reports, click to drawn: median %7 ms, p90 %8 ms, max %9 ms")
               .arg(size + HistoryReports)
               .arg(modules + 1)
               .arg(lookup.median, 0, 'f', 2)
               .arg(lookup.p90, 0, 'f', 2)
               .arg(lookup.max, 0, 'f', 2)
               .arg(HistoryReports)
               .arg(history.median, 0, 'f', 1)
               .arg(history.p90, 0, 'f', 1)
               .arg(history.max, 0, 'f', 1)
        << Qt::endl;
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    rvktest::prepareEnvironment();
    QApplication application(argc, argv);
    rvktest::prepareApplication();
    QList<int> sizes;
    for (int i = 1; i < argc; ++i)
        sizes << QString::fromLatin1(argv[i]).toInt();
    if (sizes.isEmpty())
        sizes = {10000, 1000000};
    if (!rvktest::databaseReachable()) {
        out << "start the test database: scripts/test-db start" << Qt::endl;
        return 1;
    }
    HttpFileServer server;
    SsuSession session;
    if (!rvktest::bringOnline(session, server)) {
        out << "the session did not connect" << Qt::endl;
        return 1;
    }
    int status = 0;
    for (int size : qAsConst(sizes)) {
        removeOwnRows(size);
        out << "filling " << size << " reports..." << Qt::endl;
        if (!makeRows(size) || !measure(size, session))
            status = 1;
        removeOwnRows(size);
    }
    return status;
}
