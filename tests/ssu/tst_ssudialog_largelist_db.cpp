// The search list over a listing far longer than its fetch window, through the
// real dialog against the test MariaDB: 3429 reports read in windows of 25
// rows. This file owns serial numbers 62000..62999 of the shared table and
// the table rvkreport_indextest.
#include "tests/support/shortssutimings.h"
#include "tests/support/sessioncalls.h"
#include "tests/support/testmain.h"

#include "ssu/mysqlquerymodel.h"
#include "tests/support/modalanswerer.h"
#include "tests/support/stallingproxy.h"
#include "tests/support/ssutestsupport.h"
#include "tests/support/urlcatcher.h"

#include <QDeadlineTimer>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScopeGuard>
#include <QSpinBox>
#include <QTableView>
#include <QTemporaryDir>

namespace {
constexpr int FirstSn = 62000;
constexpr int LastSn = 62999;
constexpr int Generated = 3000;
// Every 7th report has a twin of the same module and minute (a second
// read-out with other times): 429 pairs that share serial number and date,
// many of them across a window border.
constexpr int Twins = 429;
constexpr int Rows = Generated + Twins;
constexpr int Window = 25;
const char *const IndexTestTable = "rvkreport_indextest";

// A listed row as the user sees it, operating times included, so that a
// twin shown twice and its partner never is tells.
using Row = QStringList;

Row rowOf(const QVariant &sn, const QVariant &date, const QVariant &totalTime, const QVariant &repairTime)
{
    return {sn.toString(), date.toDateTime().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")), totalTime.toString(), repairTime.toString()};
}

// Three reports per module; the dates are a permutation of 3000 hours, so
// the date order differs from the serial-number order throughout.
bool fillOwnRows()
{
    const QString statement = QStringLiteral(
        "INSERT INTO rvkreport SELECT %1 + seq DIV 3, '2020-01-01 00:00:00' + INTERVAL (seq * 7919) MOD 3000 HOUR, "
        "'2015-01-01' + INTERVAL seq MOD 500 DAY, '3.2.2', 1, CONCAT(seq MOD 3 + 1, '%3'), '1:00', '1,2', '1,2', "
        "'1,2', '1,2', '1,2', '1,2', 3, '1,2', '1,2', '1,2', '1,2', '1,2', '1,2', 1 FROM seq_0_to_%2 WHERE seq MOD %4 = 0");
    QSqlQuery query(rvktest::adminConnection());
    return query.exec(statement.arg(FirstSn).arg(Generated - 1).arg(QStringLiteral(":00")).arg(1))
        && query.exec(statement.arg(FirstSn).arg(Generated - 1).arg(QStringLiteral(":30")).arg(7));
}

// The own rows in the order the server gives for orderBy, which must end in
// the row key to be one order.
QList<Row> serverOrder(const QString &orderBy)
{
    QList<Row> rows;
    QSqlQuery query(rvktest::adminConnection());
    if (!query.exec(QStringLiteral("SELECT sn, date, total_time, repair_time FROM rvkreport WHERE sn BETWEEN %1 AND "
                                   "%2 ORDER BY %3")
                        .arg(FirstSn)
                        .arg(LastSn)
                        .arg(orderBy)))
        return rows;
    while (query.next())
        rows << rowOf(query.value(0), query.value(1), query.value(2), query.value(3));
    return rows;
}

// Twins on both sides of a window border from the given row on: where the
// list starts reading windows from their first key (four windows in), and
// past the middle, where it reads from the far end.
bool twinsStraddleABorder(const QList<Row> &rows, int from)
{
    for (int border = from - from % Window + Window; border < rows.size(); border += Window) {
        if (rows.at(border - 1).mid(0, 2) == rows.at(border).mid(0, 2))
            return true;
    }
    return false;
}

QTableView *tableOf(SSUDialog &dialog)
{
    return dialog.findChild<QTableView *>(QStringLiteral("tableView"));
}

MySqlQueryModel *modelOf(SSUDialog &dialog)
{
    return qobject_cast<MySqlQueryModel *>(tableOf(dialog)->model());
}

// A search's first window arrives first; a long listing then grows to its
// full length when its count arrives.
void waitForFullLength(SSUDialog &dialog)
{
    const MySqlQueryModel *model = modelOf(dialog);
    QTRY_VERIFY_WITH_TIMEOUT(model && !model->isLoading() && !model->isCounting(), 20000);
}

QList<Row> listedRows(SSUDialog &dialog, bool backwards = false)
{
    QList<Row> listed;
    waitForFullLength(dialog);
    const QAbstractItemModel *model = tableOf(dialog)->model();
    const MySqlQueryModel *listing = modelOf(dialog);
    const int rows = model->rowCount();
    for (int i = 0; i < rows; ++i) {
        const int row = backwards ? rows - 1 - i : i;
        // A window the list has not held yet is read on the database thread
        // and shows once it has arrived.
        model->index(row, 0).data();
        QDeadlineTimer patience(10000);
        while (!listing->isRowLoaded(row) && !patience.hasExpired())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
        const Row shown = rowOf(model->index(row, 0).data(), model->index(row, 1).data(), model->index(row, 4).data(),
                                model->index(row, 5).data());
        if (backwards)
            listed.prepend(shown);
        else
            listed.append(shown);
    }
    return listed;
}

void press(SSUDialog &dialog, const char *button)
{
    dialog.findChild<QPushButton *>(QLatin1String(button))->click();
}

void listOwnRange(SSUDialog &dialog)
{
    dialog.findChild<QSpinBox *>(QStringLiteral("spinBox_SNmin"))->setValue(FirstSn);
    dialog.findChild<QSpinBox *>(QStringLiteral("spinBox_SNmax"))->setValue(LastSn);
    press(dialog, "pushButton_SNrange");
}

void clickHeader(SSUDialog &dialog, int column)
{
    QHeaderView *header = tableOf(dialog)->horizontalHeader();
    const QPoint centre(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                        header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier, centre);
}

// Scrolls to the row and clicks it once it shows its report; false when it
// never did.
bool clickRow(SSUDialog &dialog, int row)
{
    QTableView *view = tableOf(dialog);
    view->scrollTo(view->model()->index(row, 0));
    if (!rvktest::rowArrived(dialog, row))
        return false;
    const QRect cell = view->visualRect(view->model()->index(row, 0));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
    return true;
}

QByteArray fileContent(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString reportFileName(const Row &row)
{
    return QStringLiteral("RVKReport_sn%1_%2.html")
        .arg(row.at(0), QDateTime::fromString(row.at(1), Qt::ISODate).toString(QStringLiteral("dd.MM.yyyy_hh.mm")));
}

QStringList indexesOf(const QString &table)
{
    QStringList names;
    QSqlQuery query(rvktest::adminConnection());
    query.exec(QStringLiteral("SELECT DISTINCT index_name FROM information_schema.statistics WHERE table_schema = "
                              "DATABASE() AND table_name = '%1' ORDER BY index_name")
                   .arg(table));
    while (query.next())
        names << query.value(0).toString();
    return names;
}
} // namespace

class TestSsuDialogLargeList : public rvktest::DatabaseTestCase
{
    Q_OBJECT

    // A connected dialog reading 25 rows at a time.
    void bringOnline(SSUDialog &dialog)
    {
        dialog.setFetchWindowSize(Window);
        QVERIFY(DatabaseTestCase::bringOnline(dialog));
    }

public:
    TestSsuDialogLargeList()
        : DatabaseTestCase(FirstSn, LastSn)
    {
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(databaseReady(), DatabaseMissing);
        QVERIFY(fillOwnRows());
        QCOMPARE(serverOrder(QStringLiteral("sn")).size(), Rows);
        UrlCatcher::install();
    }

    void cleanupTestCase()
    {
        deleteOwnRows();
        QSqlQuery(rvktest::adminConnection()).exec(QStringLiteral("DROP TABLE IF EXISTS %1").arg(QLatin1String(IndexTestTable)));
    }

    void hiddenDialogReadsNothingUntilShown()
    {
        SSUDialog dialog;
        bringOnline(dialog);
        MySqlQueryModel *model = modelOf(dialog);
        QVERIFY(model);
        QVERIFY(model->isDeferred());
        QVERIFY(!model->isLoading());
        QCOMPARE(model->rowCount(), 0);
        QCOMPARE(model->cachedRows(), 0);

        // Showing starts the read and returns at once; the first window
        // shows when it arrives, and the rest is counted meanwhile (the count
        // may arrive while the window is being exposed). What the list shows
        // is taken as its length changes, before anything else can run.
        int firstShown = -1;
        bool countedAfterFirst = false;
        const QMetaObject::Connection watch = connect(model, &MySqlQueryModel::lengthChanged, &dialog, [&] {
            if (firstShown < 0 && !model->isDeferred() && !model->isLoading()) {
                firstShown = model->rowCount();
                countedAfterFirst = model->isCounting();
            }
        });
        dialog.show();
        QVERIFY(model->isLoading());
        QCOMPARE(model->rowCount(), 0);
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QTRY_COMPARE_WITH_TIMEOUT(firstShown, Window, 20000);
        QVERIFY(countedAfterFirst);
        disconnect(watch);
        QTRY_VERIFY(model->rowCount() >= Rows);
        QVERIFY(!model->isCounting());
        QVERIFY(model->cachedRows() > 0);
        QVERIFY(model->cachedRows() <= 6 * Window);
    }

    void everyRowListedOnceInTheSearchOrder_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("serverOrder");
        QTest::newRow("serial-number range") << "pushButton_SNrange" << "sn, date, id";
        QTest::newRow("report dates") << "pushButton_DATErange" << "date, sn, id";
        QTest::newRow("release dates") << "pushButton_RELrange" << "release_date, sn, date, id";
    }

    void everyRowListedOnceInTheSearchOrder()
    {
        QFETCH(QString, button);
        QFETCH(QString, serverOrder);
        SSUDialog dialog;
        bringOnline(dialog);
        // The date ranges list the own rows only: nothing else is that old.
        dialog.findChild<QSpinBox *>(QStringLiteral("spinBox_SNmin"))->setValue(FirstSn);
        dialog.findChild<QSpinBox *>(QStringLiteral("spinBox_SNmax"))->setValue(LastSn);
        dialog.findChild<QDateEdit *>(QStringLiteral("dateEdit_min"))->setDate(QDate(2020, 1, 1));
        dialog.findChild<QDateEdit *>(QStringLiteral("dateEdit_max"))->setDate(QDate(2020, 5, 6));
        dialog.findChild<QDateEdit *>(QStringLiteral("dateEdit_RELmin"))->setDate(QDate(2015, 1, 1));
        dialog.findChild<QDateEdit *>(QStringLiteral("dateEdit_RELmax"))->setDate(QDate(2016, 5, 15));
        press(dialog, qPrintable(button));

        const QList<Row> expected = ::serverOrder(serverOrder);
        QCOMPARE(expected.size(), Rows);
        QVERIFY(twinsStraddleABorder(expected, 4 * Window));
        QVERIFY(twinsStraddleABorder(expected, Rows / 2));
        QCOMPARE(listedRows(dialog), expected);
        // Read from the end, the windows past the middle come the other way.
        QCOMPARE(listedRows(dialog, true), expected);
        QVERIFY(modelOf(dialog)->cachedRows() <= 6 * Window);
        QCOMPARE(tableOf(dialog)->model()->headerData(Rows - 1, Qt::Vertical).toInt(), Rows);
    }

    void headerClickSortsOnTheServer()
    {
        SSUDialog dialog;
        bringOnline(dialog);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        listOwnRange(dialog);

        clickHeader(dialog, 1);
        QCOMPARE(listedRows(dialog), serverOrder(QStringLiteral("date, sn, id")));
        clickHeader(dialog, 1);
        QCOMPARE(listedRows(dialog), serverOrder(QStringLiteral("date DESC, sn DESC, id DESC")));
        // Text columns order as text; ties keep the search's own order.
        clickHeader(dialog, 4);
        QCOMPARE(listedRows(dialog), serverOrder(QStringLiteral("total_time, sn, date, id")));
        // Every report of a module has the same firmware, so twins tie on
        // everything but the row key.
        clickHeader(dialog, 3);
        const QList<Row> byFirmware = serverOrder(QStringLiteral("firmware_version, sn, date, id"));
        QVERIFY(twinsStraddleABorder(byFirmware, 4 * Window));
        QCOMPARE(listedRows(dialog), byFirmware);
        QCOMPARE(listedRows(dialog, true), byFirmware);

        // The chosen order survives a new search.
        press(dialog, "pushButton_SNrange");
        QCOMPARE(listedRows(dialog), byFirmware);
    }

    // The selected report is the one acted on, although its window has left
    // memory and another station stored a report before it meanwhile.
    void rowFarDownOpensSavesAndDeletesTheSelectedReport()
    {
        QTemporaryDir workDir;
        const QString previous = QDir::currentPath();
        QDir::setCurrent(workDir.path());
        QVERIFY(QDir().mkdir(QStringLiteral("Reports")));
        UrlCatcher::instance().urls.clear();

        SSUDialog dialog;
        bringOnline(dialog);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        listOwnRange(dialog);
        const QList<Row> rows = serverOrder(QStringLiteral("sn, date, id"));
        const int row = Rows - 37;
        const Row far = rows.at(row);
        waitForFullLength(dialog);

        QVERIFY(clickRow(dialog, row));
        press(dialog, "pushButton_Open");
        QVERIFY(rvktest::sessionSettled(dialog));
        const QString opened = workDir.path() + QStringLiteral("/Reports/") + reportFileName(far);
        QCOMPARE(UrlCatcher::instance().urls, (QList<QUrl>{QUrl::fromLocalFile(opened)}));

        // Reading the whole list again drops the far row's window from
        // memory; the selection stays on its row. Another station then
        // stores a report that sorts before it.
        tableOf(dialog)->scrollToTop();
        QCOMPARE(listedRows(dialog), rows);
        QCOMPARE(tableOf(dialog)->currentIndex().row(), row);
        QSqlQuery other(rvktest::adminConnection());
        QVERIFY(other.exec(QStringLiteral(
            "INSERT INTO rvkreport SELECT sn, '2019-12-31 23:00:00', release_date, firmware_version, impact_level, "
            "'7:00', repair_time, rotation, in_voltage, out_voltage, current, temperature, vibration, impacts, "
            "irt_rotation, irt_in_voltage, irt_out_voltage, irt_current, irt_temperature, irt_vibration, irt_impacts "
            "FROM rvkreport WHERE sn = %1 LIMIT 1").arg(FirstSn)));

        const QString chosen = workDir.path() + QStringLiteral("/saved.html");
        {
            ModalAnswerer answerer;
            answerer.answerWith([&](QWidget *widget) {
                auto *fileDialog = qobject_cast<QFileDialog *>(widget);
                QVERIFY(fileDialog);
                fileDialog->selectFile(chosen);
                static_cast<QDialog *>(fileDialog)->accept();
            });
            press(dialog, "pushButton_Save");
            QVERIFY(rvktest::sessionSettled(dialog));
            QCOMPARE(answerer.seen.size(), 1);
        }
        QVERIFY(!fileContent(chosen).isEmpty());
        QCOMPARE(fileContent(chosen), fileContent(opened));

        const QList<Row> before = serverOrder(QStringLiteral("sn, date, id"));
        QCOMPARE(before.size(), Rows + 1);
        dialog.findChild<QSpinBox *>(QStringLiteral("spinBox_SN"))->setValue(583146);
        press(dialog, "pushButton_SN");
        press(dialog, "pushButton_Delete");
        QVERIFY(rvktest::sessionSettled(dialog));
        QList<Row> remaining = before;
        QVERIFY(remaining.removeOne(far));
        QCOMPARE(serverOrder(QStringLiteral("sn, date, id")), remaining);
        // The list now shows every report, all of the own ones but the deleted.
        waitForFullLength(dialog);
        QVERIFY(tableOf(dialog)->model()->rowCount() >= Rows);
        listOwnRange(dialog);
        QCOMPARE(listedRows(dialog), remaining);

        // A report another station deleted after it was selected: the user
        // is told, and nothing is opened or deleted in its place.
        QVERIFY(clickRow(dialog, 100));
        const Row gone = remaining.at(100);
        QVERIFY(other.exec(QStringLiteral("DELETE FROM rvkreport WHERE sn = %1 AND date = '%2' AND total_time = '%3'")
                               .arg(gone.at(0), gone.at(1), gone.at(2))));
        QCOMPARE(other.numRowsAffected(), 1);
        remaining.removeAt(100);
        UrlCatcher::instance().urls.clear();
        ModalAnswerer told;
        told.press(QMessageBox::Ok);
        press(dialog, "pushButton_Open");
        press(dialog, "pushButton_Delete");
        QVERIFY(told.waitForBoxes(2, 10000));
        for (const auto &box : qAsConst(told.seen)) {
            QCOMPARE(box.title, QStringLiteral("Внимание"));
            QVERIFY2(box.text.contains(QStringLiteral("больше не хранится")), qPrintable(box.text));
        }
        QVERIFY(UrlCatcher::instance().urls.isEmpty());
        QCOMPARE(serverOrder(QStringLiteral("sn, date, id")), remaining);

        QDir::setCurrent(previous);
        deleteOwnRows();
        QVERIFY(fillOwnRows());
    }

    // The same in the first half of the list, which is read from its start:
    // there a report stored before the selected one moves every later row
    // down by one when its window is read anew.
    void rowReadAnewAfterAnInsertStillOpensTheSelectedReport()
    {
        QTemporaryDir workDir;
        const QString previous = QDir::currentPath();
        QDir::setCurrent(workDir.path());
        UrlCatcher::instance().urls.clear();
        const QString inserted = QStringLiteral("sn = %1 AND date = '2019-12-31 23:00:00'").arg(FirstSn);
        const auto restore = qScopeGuard([&] {
            QDir::setCurrent(previous);
            QSqlQuery(rvktest::adminConnection()).exec(QStringLiteral("DELETE FROM rvkreport WHERE ") + inserted);
        });

        SSUDialog dialog;
        bringOnline(dialog);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        listOwnRange(dialog);
        waitForFullLength(dialog);
        const QList<Row> rows = serverOrder(QStringLiteral("sn, date, id"));
        const int row = 20 * Window;
        QVERIFY(clickRow(dialog, row));

        // The rows at the top push the selected row's window out of memory.
        tableOf(dialog)->scrollToTop();
        for (int top = 0; top < 12 * Window; ++top)
            QVERIFY(rvktest::rowArrived(dialog, top));
        QVERIFY(!modelOf(dialog)->isRowLoaded(row));
        QSqlQuery other(rvktest::adminConnection());
        QVERIFY(other.exec(QStringLiteral(
            "INSERT INTO rvkreport SELECT sn, '2019-12-31 23:00:00', release_date, firmware_version, impact_level, "
            "'7:00', repair_time, rotation, in_voltage, out_voltage, current, temperature, vibration, impacts, "
            "irt_rotation, irt_in_voltage, irt_out_voltage, irt_current, irt_temperature, irt_vibration, irt_impacts "
            "FROM rvkreport WHERE sn = %1 LIMIT 1").arg(FirstSn)));

        // Scrolled back, the row's place is read anew and now lists the
        // report before the selected one.
        tableOf(dialog)->scrollTo(tableOf(dialog)->model()->index(row, 0));
        QVERIFY(rvktest::rowArrived(dialog, row));
        QCOMPARE(tableOf(dialog)->currentIndex().row(), row);
        QCOMPARE(tableOf(dialog)->model()->index(row, 1).data().toDateTime(),
                 QDateTime::fromString(rows.at(row - 1).at(1), Qt::ISODate));

        press(dialog, "pushButton_Open");
        QVERIFY(rvktest::sessionSettled(dialog));
        QCOMPARE(UrlCatcher::instance().urls,
                 (QList<QUrl>{QUrl::fromLocalFile(workDir.path() + QStringLiteral("/Reports/") + reportFileName(rows.at(row)))}));
    }

    // The count's connection is kept between searches; when the server has
    // dropped it, the count is made on a fresh one. When no count can be
    // had at all, the list still reaches every row as the user scrolls.
    void listReachesEveryRowWhenItsCountFails()
    {
        // Connections the proxy refuses are given up at the connect bound.
        const rvktest::ShortSsuTimings shortWaits;
        StallingProxy proxy(QHostAddress(rvktest::testDatabaseHost().name), rvktest::testDatabaseHost().port);
        QVERIFY(proxy.port() != 0);
        SSUDialog dialog;
        dialog.setDatabaseServer(proxy.address().toString(), proxy.port(), QString());
        bringOnline(dialog);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        listOwnRange(dialog);
        const QList<Row> expected = serverOrder(QStringLiteral("sn, date, id"));
        QCOMPARE(listedRows(dialog), expected);
        auto *length = dialog.findChild<QLabel *>(QStringLiteral("label_RowCount"));
        QCOMPARE(length->text(), QStringLiteral("Отчётов: %1").arg(Rows));

        // Connection 0 is the program's, 1 the count's.
        proxy.dropConnection(1);
        listOwnRange(dialog);
        QCOMPARE(listedRows(dialog), expected);

        // Now no new connection gets through: the count fails twice.
        proxy.refuseNewConnections(true);
        proxy.dropConnection(2);
        listOwnRange(dialog);
        QVERIFY(rvktest::listingArrived(dialog));
        MySqlQueryModel *model = modelOf(dialog);
        QTRY_VERIFY(!model->isCounting());
        QVERIFY(!model->isTotalKnown());
        // The view may already have asked for a window more to fill itself.
        QVERIFY(model->rowCount() >= Window && model->rowCount() < Rows);
        QCOMPARE(model->rowCount() % Window, 0);
        QCOMPARE(length->text(),
                 QStringLiteral("Отчётов: не менее %1 (всего пока не известно)").arg(model->rowCount()));
        QTableView *view = tableOf(dialog);
        // A hundred and more windows: each is waited for by its own arrival
        // rather than by polling, which would add its period to every one.
        const auto grown = [&](int shown) { return model->rowCount() > shown || model->isTotalKnown(); };
        for (int step = 0; step < Rows && !model->isTotalKnown(); ++step) {
            const int shown = model->rowCount();
            QSignalSpy arrived(model, &QAbstractItemModel::rowsInserted);
            view->scrollToBottom();
            for (int wait = 0; wait < 100 && !grown(shown); ++wait)
                arrived.wait(50);
            QVERIFY(grown(shown));
        }
        QVERIFY(model->isTotalKnown());
        QCOMPARE(listedRows(dialog), expected);
        QCOMPARE(length->text(), QStringLiteral("Отчётов: %1").arg(Rows));
        QVERIFY(model->cachedRows() <= 6 * Window);
    }

    void uploadBlockedOnTheDuplicateKeyIsNotStored()
    {
        SSUDialog dialog;
        bringOnline(dialog);
        const quint32 sn = LastSn;
        const QByteArray record = rvktest::reportRecordWith({{0, 7200}, {1, 3600}, {34, 3600}, {69, qint32(sn)}});
        QVERIFY(rvktest::execOnSessionConnection(dialog.databaseSession(),
                                                 QStringLiteral("SET SESSION innodb_lock_wait_timeout = 1")));
        dialog.setReportDate(QStringLiteral("01.02.2026 10:00"));
        QVERIFY(rvktest::Sync::upload(dialog.databaseSession(), record));
        const int before = rvktest::rowsForSerial(sn).size();

        // Another station holds the module's rows: this upload must wait, time
        // out and report failure, so that its report goes to the archive.
        QSqlDatabase other = rvktest::adminConnection();
        QVERIFY(other.transaction());
        QSqlQuery lock(other);
        QVERIFY(lock.exec(QStringLiteral("SELECT * FROM rvkreport WHERE sn = %1 FOR UPDATE").arg(sn)));
        dialog.setReportDate(QStringLiteral("02.02.2026 10:00"));
        QVERIFY(!rvktest::Sync::upload(dialog.databaseSession(), record));
        QVERIFY(other.rollback());
        QCOMPARE(rvktest::rowsForSerial(sn).size(), before);
        QCOMPARE(rvktest::rowsForSerial(sn).last().value(QStringLiteral("date")).toDateTime(),
                 QDateTime(QDate(2026, 2, 1), QTime(10, 0)));

        // Uploaded again from the archive, it replaces the earlier row.
        QVERIFY(rvktest::Sync::upload(dialog.databaseSession(), record));
        const QList<QVariantMap> rows = rvktest::rowsForSerial(sn);
        QCOMPARE(rows.size(), before);
        QCOMPARE(rows.last().value(QStringLiteral("date")).toDateTime(), QDateTime(QDate(2026, 2, 2), QTime(10, 0)));
    }

    void uploadRefreshesTheShownListOnly()
    {
        SSUDialog dialog;
        bringOnline(dialog);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        listOwnRange(dialog);
        const quint32 sn = FirstSn + 500;
        const QByteArray record = rvktest::reportRecordWith({{0, 7200}, {1, 3600}, {34, 3600}, {69, qint32(sn)}});
        const Row first = rowOf(sn, QDateTime(QDate(2026, 3, 3), QTime(10, 0)), QStringLiteral("02:00"),
                                QStringLiteral("01:00"));
        const Row second = rowOf(sn, QDateTime(QDate(2026, 3, 4), QTime(10, 0)), QStringLiteral("02:00"),
                                 QStringLiteral("01:00"));

        // Shown: the list returns to all reports, the new one among them.
        dialog.setReportDate(QStringLiteral("03.03.2026 10:00"));
        QVERIFY(rvktest::Sync::upload(dialog.databaseSession(), record));
        QVERIFY(listedRows(dialog).contains(first));

        // Hidden: nothing is read until the dialog is shown again.
        dialog.hide();
        dialog.setReportDate(QStringLiteral("04.03.2026 10:00"));
        QVERIFY(rvktest::Sync::upload(dialog.databaseSession(), record));
        QCOMPARE(modelOf(dialog)->cachedRows(), 0);
        QCOMPARE(modelOf(dialog)->rowCount(), 0);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        const QList<Row> listed = listedRows(dialog);
        QVERIFY(listed.contains(second));
        QVERIFY(!listed.contains(first));
        QVERIFY(listed.size() >= Rows + 1);

        QSqlQuery(rvktest::adminConnection())
            .exec(QStringLiteral("DELETE FROM rvkreport WHERE sn = %1 AND date >= '2026-01-01'").arg(sn));
    }

    void indexesAreAddedOnceToAnExistingTable_data()
    {
        QTest::addColumn<QStringList>("present");
        QTest::addColumn<bool>("duplicates");
        QTest::newRow("none") << QStringList{} << false;
        QTest::newRow("the older serial-number index") << QStringList{"rvkreport_sn (sn)"} << false;
        QTest::newRow("two of them") << QStringList{"rvkreport_sn_date (sn, date)", "rvkreport_date_sn (date, sn)"}
                                     << false;
        // Stored twice before the unique key existed: everything else is
        // still added, the duplicate index without uniqueness.
        QTest::newRow("a report stored twice") << QStringList{} << true;
    }

    void indexesAreAddedOnceToAnExistingTable()
    {
        QFETCH(QStringList, present);
        QFETCH(bool, duplicates);
        const QString table = QLatin1String(IndexTestTable);
        QSqlDatabase db = rvktest::adminConnection();
        QSqlQuery query(db);
        QVERIFY(query.exec(createReportTableStatement()
                               .replace(QStringLiteral("EXISTS rvkreport("), QStringLiteral("EXISTS %1(").arg(table))));
        // The program's user may not drop tables, so the previous row's table
        // is emptied and stripped of what it was given instead.
        QVERIFY(query.exec(QStringLiteral("DELETE FROM %1").arg(table)));
        for (const QString &index : indexesOf(table)) {
            QVERIFY(query.exec(index == QLatin1String("PRIMARY")
                                   ? QStringLiteral("ALTER TABLE %1 DROP COLUMN id").arg(table)
                                   : QStringLiteral("DROP INDEX %1 ON %2").arg(index, table)));
        }
        const QString copy = QStringLiteral("INSERT INTO %1 SELECT * FROM rvkreport WHERE sn BETWEEN %2 AND %3")
                                 .arg(table)
                                 .arg(FirstSn)
                                 .arg(duplicates ? FirstSn : LastSn);
        int rows = 0;
        for (int pass = 0; pass < (duplicates ? 2 : 1); ++pass) {
            QVERIFY(query.exec(copy));
            rows += query.numRowsAffected();
        }
        QVERIFY(rows >= (duplicates ? 2 : Rows));
        for (const QString &index : present)
            QVERIFY(query.exec(QStringLiteral("CREATE INDEX %1 ON %2").arg(index.section(QLatin1Char(' '), 0, 0), table)
                               + index.mid(index.indexOf(QLatin1Char(' ')))));

        // The row key and the four indexes, less those already there.
        QCOMPARE(ensureReportIndexes(db, table), 5 - (present.size() == 2 ? 2 : 0));
        QStringList expected{"PRIMARY", "rvkreport_date_sn", "rvkreport_duplicate", "rvkreport_release_sn_date",
                             "rvkreport_sn_date"};
        if (present.size() == 1)
            expected.append(QStringLiteral("rvkreport_sn"));
        expected.sort();
        QCOMPARE(indexesOf(table), expected);
        QVERIFY(query.exec(QStringLiteral("SELECT non_unique FROM information_schema.statistics WHERE table_schema = "
                                          "DATABASE() AND table_name = '%1' AND index_name = 'rvkreport_duplicate'")
                               .arg(table))
                && query.next());
        QCOMPARE(query.value(0).toInt(), duplicates ? 1 : 0);
        // A second start finds them all and changes nothing.
        QCOMPARE(ensureReportIndexes(db, table), 0);
        QCOMPARE(indexesOf(table), expected);
        QVERIFY(query.exec(QStringLiteral("SELECT COUNT(*) FROM %1").arg(table)) && query.next());
        QCOMPARE(query.value(0).toInt(), rows);

        // Once the administrator has removed the duplicates, the next start
        // makes the key unique.
        if (duplicates) {
            QVERIFY(query.exec(QStringLiteral("DELETE later FROM %1 later JOIN %1 first ON later.sn = first.sn AND "
                                              "later.total_time = first.total_time AND later.repair_time = "
                                              "first.repair_time AND later.id > first.id")
                                   .arg(table)));
            QVERIFY(query.numRowsAffected() > 0);
            QCOMPARE(ensureReportIndexes(db, table), 1);
            QVERIFY(query.exec(QStringLiteral("SELECT non_unique FROM information_schema.statistics WHERE "
                                              "table_schema = DATABASE() AND table_name = '%1' AND index_name = "
                                              "'rvkreport_duplicate'")
                                   .arg(table))
                    && query.next());
            QCOMPARE(query.value(0).toInt(), 0);
            QCOMPARE(ensureReportIndexes(db, table), 0);
        }
    }
};

RVK_TEST_MAIN(TestSsuDialogLargeList)
#include "tst_ssudialog_largelist_db.moc"
