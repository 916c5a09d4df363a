// The search list over a listing far longer than its fetch window, through the
// real dialog against the test MariaDB: 3031 reports read in windows of 25
// rows. This file owns serial numbers 62000..62999 of the shared table and
// the table rvkreport_indextest.
#include "tests/support/testmain.h"

#include "ssu/mysqlquerymodel.h"
#include "tests/support/modalanswerer.h"
#include "tests/support/ssutestsupport.h"
#include "tests/support/urlcatcher.h"

#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QHeaderView>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QTemporaryDir>

namespace {
constexpr int FirstSn = 62000;
constexpr int LastSn = 62999;
constexpr int Generated = 3000;
// Every 97th report has a twin of the same module and minute (a second
// read-out with other times): 31 pairs that share their key, some of them
// across a window boundary.
constexpr int Twins = 31;
constexpr int Rows = Generated + Twins;
constexpr int Window = 25;
const char *const IndexTestTable = "rvkreport_indextest";

using Key = QPair<quint32, QDateTime>;

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
        && query.exec(statement.arg(FirstSn).arg(Generated - 1).arg(QStringLiteral(":30")).arg(97));
}

// The keys of the own rows in the order the server gives for orderBy.
QList<Key> serverOrder(const QString &orderBy)
{
    QList<Key> keys;
    QSqlQuery query(rvktest::adminConnection());
    if (!query.exec(QStringLiteral("SELECT sn, date FROM rvkreport WHERE sn BETWEEN %1 AND %2 ORDER BY %3")
                        .arg(FirstSn)
                        .arg(LastSn)
                        .arg(orderBy)))
        return keys;
    while (query.next())
        keys << Key(query.value(0).toUInt(), query.value(1).toDateTime());
    return keys;
}

QTableView *tableOf(SSUDialog &dialog)
{
    return dialog.findChild<QTableView *>(QStringLiteral("tableView"));
}

MySqlQueryModel *modelOf(SSUDialog &dialog)
{
    return qobject_cast<MySqlQueryModel *>(tableOf(dialog)->model());
}

// A long listing grows to its full length when its count arrives.
void waitForFullLength(SSUDialog &dialog)
{
    const MySqlQueryModel *model = modelOf(dialog);
    QTRY_VERIFY(model && !model->isCounting());
}

QList<Key> listedKeys(SSUDialog &dialog, bool backwards = false)
{
    QList<Key> keys;
    waitForFullLength(dialog);
    const QAbstractItemModel *model = tableOf(dialog)->model();
    const int rows = model->rowCount();
    for (int i = 0; i < rows; ++i) {
        const int row = backwards ? rows - 1 - i : i;
        const Key key(model->index(row, 0).data().toUInt(), model->index(row, 1).data().toDateTime());
        if (backwards)
            keys.prepend(key);
        else
            keys.append(key);
    }
    return keys;
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

void clickRow(SSUDialog &dialog, int row)
{
    QTableView *view = tableOf(dialog);
    view->scrollTo(view->model()->index(row, 0));
    const QRect cell = view->visualRect(view->model()->index(row, 0));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
}

QByteArray fileContent(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString reportFileName(const Key &key)
{
    return QStringLiteral("RVKReport_sn%1_%2.html").arg(key.first).arg(key.second.toString(QStringLiteral("dd.MM.yyyy_hh.mm")));
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
        QCOMPARE(model->rowCount(), 0);
        QCOMPARE(model->cachedRows(), 0);

        // The first window shows at once (show() delivers the show event
        // before it returns); the rest is counted meanwhile, and the count
        // may arrive while the window is being exposed.
        dialog.show();
        QCOMPARE(model->rowCount(), Window);
        QVERIFY(model->isCounting());
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QTRY_VERIFY(model->rowCount() >= Rows);
        QVERIFY(!model->isCounting());
        QVERIFY(model->cachedRows() > 0);
        QVERIFY(model->cachedRows() <= 6 * Window);
    }

    void everyRowListedOnceInTheSearchOrder_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("serverOrder");
        QTest::newRow("serial-number range") << "pushButton_SNrange" << "sn, date";
        QTest::newRow("report dates") << "pushButton_DATErange" << "date, sn";
        QTest::newRow("release dates") << "pushButton_RELrange" << "release_date, sn, date";
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

        const QList<Key> expected = ::serverOrder(serverOrder);
        QCOMPARE(expected.size(), Rows);
        QCOMPARE(listedKeys(dialog), expected);
        // Read from the end, the windows past the middle come the other way.
        QCOMPARE(listedKeys(dialog, true), expected);
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
        QCOMPARE(listedKeys(dialog), serverOrder(QStringLiteral("date, sn")));
        clickHeader(dialog, 1);
        QCOMPARE(listedKeys(dialog), serverOrder(QStringLiteral("date DESC, sn DESC")));
        // Text columns order as text; ties keep the search's own order.
        clickHeader(dialog, 4);
        QCOMPARE(listedKeys(dialog), serverOrder(QStringLiteral("total_time, sn, date")));

        // The chosen order survives a new search.
        press(dialog, "pushButton_SNrange");
        QCOMPARE(listedKeys(dialog), serverOrder(QStringLiteral("total_time, sn, date")));
    }

    void rowFarDownOpensSavesAndDeletes()
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
        const QList<Key> keys = serverOrder(QStringLiteral("sn, date"));
        const int row = Rows - 37;
        const Key far = keys.at(row);
        waitForFullLength(dialog);

        clickRow(dialog, row);
        press(dialog, "pushButton_Open");
        const QString opened = workDir.path() + QStringLiteral("/Reports/") + reportFileName(far);
        QCOMPARE(UrlCatcher::instance().urls, (QList<QUrl>{QUrl::fromLocalFile(opened)}));

        // Reading the whole list again drops the far row's window from
        // memory; the selection stays on its row.
        tableOf(dialog)->scrollToTop();
        QCOMPARE(listedKeys(dialog), keys);
        QCOMPARE(tableOf(dialog)->currentIndex().row(), row);
        const QString chosen = workDir.path() + QStringLiteral("/saved.html");
        ModalAnswerer answerer;
        answerer.answerWith([&](QWidget *widget) {
            auto *fileDialog = qobject_cast<QFileDialog *>(widget);
            QVERIFY(fileDialog);
            fileDialog->selectFile(chosen);
            static_cast<QDialog *>(fileDialog)->accept();
        });
        press(dialog, "pushButton_Save");
        QCOMPARE(answerer.seen.size(), 1);
        QVERIFY(!fileContent(chosen).isEmpty());
        QCOMPARE(fileContent(chosen), fileContent(opened));

        dialog.findChild<QSpinBox *>(QStringLiteral("spinBox_SN"))->setValue(583146);
        press(dialog, "pushButton_SN");
        press(dialog, "pushButton_Delete");
        QList<Key> remaining = keys;
        remaining.removeAt(row);
        QCOMPARE(serverOrder(QStringLiteral("sn, date")), remaining);
        // The list now shows every report, all of the own ones but the deleted.
        waitForFullLength(dialog);
        QVERIFY(tableOf(dialog)->model()->rowCount() >= Rows - 1);
        listOwnRange(dialog);
        QCOMPARE(listedKeys(dialog), remaining);

        QDir::setCurrent(previous);
        deleteOwnRows();
        QVERIFY(fillOwnRows());
    }

    void uploadBlockedOnTheDuplicateKeyIsNotStored()
    {
        SSUDialog dialog;
        bringOnline(dialog);
        const quint32 sn = LastSn;
        const QByteArray record = rvktest::reportRecordWith({{0, 7200}, {1, 3600}, {34, 3600}, {69, qint32(sn)}});
        QSqlQuery(QSqlDatabase::database(QLatin1String(ConnectionName)))
            .exec(QStringLiteral("SET SESSION innodb_lock_wait_timeout = 1"));
        dialog.setReportDate(QStringLiteral("01.02.2026 10:00"));
        QVERIFY(dialog.uploadReport(record));
        const int before = rvktest::rowsForSerial(sn).size();

        // Another station holds the module's rows: this upload must wait, time
        // out and report failure, so that its report goes to the archive.
        QSqlDatabase other = rvktest::adminConnection();
        QVERIFY(other.transaction());
        QSqlQuery lock(other);
        QVERIFY(lock.exec(QStringLiteral("SELECT * FROM rvkreport WHERE sn = %1 FOR UPDATE").arg(sn)));
        dialog.setReportDate(QStringLiteral("02.02.2026 10:00"));
        QVERIFY(!dialog.uploadReport(record));
        QVERIFY(other.rollback());
        QCOMPARE(rvktest::rowsForSerial(sn).size(), before);
        QCOMPARE(rvktest::rowsForSerial(sn).last().value(QStringLiteral("date")).toDateTime(),
                 QDateTime(QDate(2026, 2, 1), QTime(10, 0)));

        // Uploaded again from the archive, it replaces the earlier row.
        QVERIFY(dialog.uploadReport(record));
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
        const Key first(sn, QDateTime(QDate(2026, 3, 3), QTime(10, 0)));
        const Key second(sn, QDateTime(QDate(2026, 3, 4), QTime(10, 0)));

        // Shown: the list returns to all reports, the new one among them.
        dialog.setReportDate(QStringLiteral("03.03.2026 10:00"));
        QVERIFY(dialog.uploadReport(record));
        QVERIFY(listedKeys(dialog).contains(first));

        // Hidden: nothing is read until the dialog is shown again.
        dialog.hide();
        dialog.setReportDate(QStringLiteral("04.03.2026 10:00"));
        QVERIFY(dialog.uploadReport(record));
        QCOMPARE(modelOf(dialog)->cachedRows(), 0);
        QCOMPARE(modelOf(dialog)->rowCount(), 0);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        const QList<Key> keys = listedKeys(dialog);
        QVERIFY(keys.contains(second));
        QVERIFY(!keys.contains(first));
        QVERIFY(keys.size() >= Rows + 1);

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
        QVERIFY(query.exec(QString::fromLatin1(CreateReportTableStatement)
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
    }
};

RVK_TEST_MAIN(TestSsuDialogLargeList)
#include "tst_ssudialog_largelist_db.moc"
