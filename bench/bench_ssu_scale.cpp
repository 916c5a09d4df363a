// The search window over a shared table of 10,000, 100,000 and 1,000,000
// reports (or the sizes given as arguments). For each size the rows are made
// on the server from its sequence table, the indexes are built as on an old
// table, and then it prints, in milliseconds: the start-up's database work
// (password download to model ready, dialog hidden), login to first rows
// shown and to the whole list counted, a header sort (an indexed and a text column), the four searches,
// reaching and opening a row far down, reaching the middle of the list, one
// upload, and the resident memory the shown dialog added. Last come the
// ratios of the largest size to the smallest. Needs the test database
// (scripts/test-db start); its rows (serial numbers from 700000) are removed
// afterwards.
#include "bench/benchdatabase.h"
#include "ssu/mysqlquerymodel.h"
#include "ssu/reportschema.h"
#include "ssu/gui/ssudialog.h"
#include "tests/support/sessioncalls.h"
#include "tests/support/httpfileserver.h"
#include "tests/support/ssutestsupport.h"
#include "tests/support/testmain.h"
#include "tests/support/urlcatcher.h"

#include <QDateEdit>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHeaderView>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QTemporaryDir>
#include <QTextStream>
#include <QVector>

#include <unistd.h>

namespace {
constexpr quint32 FirstSn = 700000;
// Each module is read 200 times, so a module's search lists 200 rows at
// every size while the number of modules grows with the table.
constexpr int ReportsPerModule = 200;
const char *const IndexNames[] = {"rvkreport_sn", "rvkreport_sn_date", "rvkreport_date_sn", "rvkreport_release_sn_date",
                                  "rvkreport_duplicate"};

QTextStream out(stdout);

double residentMb()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.value(1).toDouble() * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

void removeOwnRows(int size)
{
    bench::deleteModules(FirstSn, size / ReportsPerModule + 1);
    bench::adminExec(QStringLiteral("DELETE FROM rvkreport WHERE sn >= %1").arg(FirstSn));
}

bool makeRows(int size)
{
    return bench::insertFromSequence(
        QStringLiteral(
            "INSERT INTO rvkreport SELECT %1 + seq DIV %2, '2020-01-01 00:00:00' + INTERVAL seq * 2 MINUTE, "
            "'2015-01-01' + INTERVAL (seq DIV %2) MOD 3000 DAY, CONCAT('3.', seq MOD 7, '.', seq MOD 3), 2, "
            "CONCAT(seq MOD %2 * 10, ':', LPAD(seq MOD 60, 2, '0')), CONCAT(seq MOD 50, ':00'), "
            "'10,20,30,40,0,0', '100,0,0,0', '0,0,100,0,0', '0,0,0,0,0,100', '0,50,50,0,0,0', '100,0,0,0,0', 3, "
            "'10,20,30,40,0,0', '100,0,0,0', '0,0,100,0,0', '0,0,0,0,0,100', '0,50,50,0,0,0', '100,0,0,0,0', 1 "
            "FROM seq_%3_to_%4")
            .arg(FirstSn)
            .arg(ReportsPerModule),
        size);
}

double since(const QElapsedTimer &clock)
{
    return double(clock.nsecsElapsed()) / 1e6;
}

// Lets the view lay out and paint what changed, as the user would see it.
void showChanges(SSUDialog &dialog)
{
    QCoreApplication::processEvents();
    dialog.repaint();
}

QTableView *tableOf(SSUDialog &dialog)
{
    return dialog.findChild<QTableView *>(QStringLiteral("tableView"));
}

// The list grows to its full length when the background count arrives.
void waitForCount(SSUDialog &dialog)
{
    const auto *model = qobject_cast<MySqlQueryModel *>(tableOf(dialog)->model());
    if (!QTest::qWaitFor([model] { return !model || !model->isCounting(); }, 60000))
        QTextStream(stderr) << "warning: the count did not arrive\n";
    showChanges(dialog);
}

double timeClick(SSUDialog &dialog, const char *button)
{
    QElapsedTimer clock;
    clock.start();
    dialog.findChild<QPushButton *>(QLatin1String(button))->click();
    showChanges(dialog);
    return since(clock);
}

double timeHeaderClick(SSUDialog &dialog, int column)
{
    QHeaderView *header = tableOf(dialog)->horizontalHeader();
    const QPoint centre(header->sectionViewportPosition(column) + header->sectionSize(column) / 2, header->height() / 2);
    QElapsedTimer clock;
    clock.start();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier, centre);
    showChanges(dialog);
    return since(clock);
}

double timeScrollTo(SSUDialog &dialog, int row)
{
    QTableView *view = tableOf(dialog);
    QElapsedTimer clock;
    clock.start();
    view->scrollTo(view->model()->index(row, 0), QAbstractItemView::PositionAtCenter);
    showChanges(dialog);
    return since(clock);
}

struct Figures
{
    int size = 0;
    QVector<QPair<QString, double>> values;
    void add(const QString &name, double value) { values.append({name, value}); }
};

Figures measure(int size, HttpFileServer &server)
{
    Figures figures;
    figures.size = size;
    for (const char *index : IndexNames)
        QSqlQuery(rvktest::adminConnection()).exec(QStringLiteral("DROP INDEX %1 ON rvkreport").arg(QLatin1String(index)));
    QElapsedTimer clock;
    clock.start();
    if (!makeRows(size))
        return figures;
    figures.add(QStringLiteral("rows made on the server"), since(clock));
    clock.restart();
    ensureReportIndexes(rvktest::adminConnection());
    figures.add(QStringLiteral("indexes built on the old table (once)"), since(clock));
    bench::adminExec(QStringLiteral("ANALYZE TABLE rvkreport"));

    const double memoryBefore = residentMb();
    SSUDialog dialog;
    dialog.setLanguage(1);
    clock.restart();
    if (!rvktest::bringOnline(dialog, server)) {
        QTextStream(stderr) << "the dialog did not connect\n";
        return figures;
    }
    figures.add(QStringLiteral("start-up database work"), since(clock));

    // The login: connection and table, the serial-number search (0: all
    // reports), and the dialog shown with its first rows painted.
    clock.restart();
    rvktest::Sync::connectAndCreateTable(dialog.databaseSession());
    dialog.searchBySerialNumber();
    dialog.show();
    if (!QTest::qWaitForWindowExposed(&dialog))
        QTextStream(stderr) << "warning: the dialog was not shown\n";
    showChanges(dialog);
    figures.add(QStringLiteral("login to first rows shown"), since(clock));
    waitForCount(dialog);
    figures.add(QStringLiteral("login to whole list counted"), since(clock));

    figures.add(QStringLiteral("header sort, date"), timeHeaderClick(dialog, 1));
    figures.add(QStringLiteral("header sort, date again (descending)"), timeHeaderClick(dialog, 1));
    figures.add(QStringLiteral("header sort, firmware version (text)"), timeHeaderClick(dialog, 3));
    // Back to the searches' own orders.
    tableOf(dialog)->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    tableOf(dialog)->model()->sort(-1);

    const int modules = size / ReportsPerModule;
    dialog.findChild<QSpinBox *>(QStringLiteral("spinBox_SN"))->setValue(int(FirstSn) + modules / 2);
    figures.add(QStringLiteral("search: one serial number"), timeClick(dialog, "pushButton_SN"));
    dialog.findChild<QSpinBox *>(QStringLiteral("spinBox_SNmin"))->setValue(int(FirstSn) / 10);
    dialog.findChild<QSpinBox *>(QStringLiteral("spinBox_SNmax"))->setValue(int(FirstSn) + modules);
    clock.restart();
    figures.add(QStringLiteral("search: serial-number range (all rows)"), timeClick(dialog, "pushButton_SNrange"));
    waitForCount(dialog);
    figures.add(QStringLiteral("  the same, until the whole list is counted"), since(clock));
    dialog.findChild<QDateEdit *>(QStringLiteral("dateEdit_min"))->setDate(QDate(2020, 1, 1));
    dialog.findChild<QDateEdit *>(QStringLiteral("dateEdit_max"))->setDate(QDate(2030, 1, 1));
    figures.add(QStringLiteral("search: report dates (all rows)"), timeClick(dialog, "pushButton_DATErange"));
    waitForCount(dialog);
    dialog.findChild<QDateEdit *>(QStringLiteral("dateEdit_RELmin"))->setDate(QDate(2015, 1, 1));
    dialog.findChild<QDateEdit *>(QStringLiteral("dateEdit_RELmax"))->setDate(QDate(2030, 1, 1));
    figures.add(QStringLiteral("search: release dates (all rows)"), timeClick(dialog, "pushButton_RELrange"));
    waitForCount(dialog);

    dialog.findChild<QSpinBox *>(QStringLiteral("spinBox_SN"))->setValue(0);
    dialog.searchBySerialNumber();
    waitForCount(dialog);
    QTableView *view = tableOf(dialog);
    const int rows = view->model()->rowCount();
    const int farRow = rows - 10;
    clock.restart();
    timeScrollTo(dialog, farRow);
    const QRect cell = view->visualRect(view->model()->index(farRow, 0));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
    dialog.findChild<QPushButton *>(QStringLiteral("pushButton_Open"))->click();
    figures.add(QStringLiteral("open a row far down (scroll, click, open)"), since(clock));
    if (UrlCatcher::instance().urls.isEmpty())
        QTextStream(stderr) << "warning: the far row did not open\n";
    UrlCatcher::instance().urls.clear();
    figures.add(QStringLiteral("scroll to the middle of the list"), timeScrollTo(dialog, rows / 2));
    figures.add(QStringLiteral("memory added by the dialog (MB)"), residentMb() - memoryBefore);

    dialog.hide();
    const QByteArray record = rvktest::reportRecordWith(
        {{0, 7200}, {1, 3600}, {34, 3600}, {69, qint32(FirstSn + modules / 3)}, {70, 5032024}, {71, 322}});
    dialog.setReportDate(QStringLiteral("06.12.2026 14:35"));
    rvktest::Sync::upload(dialog.databaseSession(), record);
    dialog.setReportDate(QStringLiteral("06.12.2026 14:36"));
    clock.restart();
    const bool stored = rvktest::Sync::upload(dialog.databaseSession(), record);
    figures.add(QStringLiteral("one upload (replacing its earlier row)"), since(clock));
    if (!stored)
        QTextStream(stderr) << "warning: the upload failed\n";
    return figures;
}
} // namespace

int main(int argc, char *argv[])
{
    rvktest::prepareEnvironment();
    QApplication application(argc, argv);
    rvktest::prepareApplication();
    UrlCatcher::install();
    QTemporaryDir workDir;
    QDir::setCurrent(workDir.path());

    QList<int> sizes;
    for (int i = 1; i < argc; ++i)
        sizes << QString::fromLatin1(argv[i]).toInt();
    if (sizes.isEmpty())
        sizes = {10000, 100000, 1000000};

    if (!rvktest::adminConnection().isOpen()) {
        QTextStream(stderr) << "the test database is not reachable: scripts/test-db start\n";
        return 1;
    }
    out.setRealNumberNotation(QTextStream::FixedNotation);
    out.setRealNumberPrecision(1);

    HttpFileServer server;
    QList<Figures> all;
    for (int size : sizes) {
        removeOwnRows(size);
        const Figures figures = measure(size, server);
        removeOwnRows(size);
        out << "\n" << size << " rows (times in ms):\n";
        for (const auto &value : figures.values)
            out << "  " << value.first.leftJustified(46) << value.second << '\n';
        out.flush();
        all << figures;
    }
    if (all.size() > 1 && all.first().values.size() == all.last().values.size()) {
        out << "\nratio " << all.last().size << " / " << all.first().size << " rows:\n";
        out.setRealNumberPrecision(2);
        for (int i = 0; i < all.first().values.size(); ++i) {
            const double small = all.first().values.at(i).second;
            const double large = all.last().values.at(i).second;
            out << "  " << all.first().values.at(i).first.leftJustified(46)
                << (small > 0 ? QString::number(large / small, 'f', 2) : QStringLiteral("-")) << '\n';
        }
    }
    out << "\ntargets at 1,000,000 rows: start-up 1000, first rows 1000, header sort 1000, each search 300, "
           "upload 15 ms, at most 50 MB added; each figure at most 3 times the 10,000-row one\n";
    return 0;
}
