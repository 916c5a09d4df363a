// The search window against the test MariaDB. The table is shared with other
// tests running at the same time, so this file owns serial numbers
// 61000..61099 and asserts only about those rows (plus orderings, which must
// hold for every listed row).
#include "tests/support/testmain.h"

#include "ssu/mysqlquerymodel.h"
#include "ssu/reportschema.h"
#include "ssu/gui/ssudialog.h"
#include "tests/support/httpfileserver.h"
#include "tests/support/ssutestsupport.h"

#include <QDateEdit>
#include <QHeaderView>
#include <QPushButton>
#include <QSpinBox>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStyledItemDelegate>
#include <QTableView>

namespace {
constexpr quint32 firstSn = 61000;
constexpr quint32 lastSn = 61099;

bool insertReport(quint32 sn, const QDateTime &date, const QDate &releaseDate, const QString &totalTime)
{
    QSqlQuery query(rvktest::adminConnection());
    query.prepare(QStringLiteral(
        "INSERT INTO rvkreport VALUES (:sn, :date, :rel, '3.1', 2, :total, '1:00', '10,20,30,40', '0,0,0,0,100', "
        "'0,0,0,0,100', '0,0,0,0,0,100', '0,0,0,0,0,100', '0,0,0,100', 5, '10,20,30,40', '0,0,0,0,100', "
        "'0,0,0,0,100', '0,0,0,0,0,100', '0,0,0,0,0,100', '0,0,0,100', 2)"));
    query.bindValue(QStringLiteral(":sn"), sn);
    query.bindValue(QStringLiteral(":date"), date);
    query.bindValue(QStringLiteral(":rel"), releaseDate);
    query.bindValue(QStringLiteral(":total"), totalTime);
    if (!query.exec()) {
        qWarning() << query.lastError().text();
        return false;
    }
    return true;
}

QTableView *tableOf(SSUDialog &dialog)
{
    return dialog.findChild<QTableView *>(QStringLiteral("tableView"));
}

// A long listing grows to its full length when its count arrives.
void waitForFullLength(SSUDialog &dialog)
{
    const auto *model = qobject_cast<MySqlQueryModel *>(tableOf(dialog)->model());
    QTRY_VERIFY_WITH_TIMEOUT(!model || !model->isCounting(), 20000);
}

// The listed rows as the user sees them, in view order, each once its
// window has arrived.
QList<QVariantList> listedRows(SSUDialog &dialog)
{
    QList<QVariantList> rows;
    waitForFullLength(dialog);
    const QAbstractItemModel *model = tableOf(dialog)->model();
    if (!model)
        return rows;
    for (int row = 0; row < model->rowCount(); ++row) {
        if (!rvktest::rowArrived(dialog, row)) {
            qWarning("row %d never arrived", row);
            return {};
        }
        QVariantList cells;
        for (int column = 0; column < model->columnCount(); ++column)
            cells << model->index(row, column).data();
        rows << cells;
    }
    return rows;
}

QList<QVariantList> ownRows(SSUDialog &dialog)
{
    QList<QVariantList> rows;
    for (const QVariantList &row : listedRows(dialog)) {
        const quint32 sn = row.value(0).toUInt();
        if (sn >= firstSn && sn <= lastSn)
            rows << row;
    }
    return rows;
}

QList<quint32> ownSerials(SSUDialog &dialog)
{
    QList<quint32> serials;
    for (const QVariantList &row : ownRows(dialog))
        serials << row.value(0).toUInt();
    return serials;
}

void click(SSUDialog &dialog, const char *button)
{
    dialog.findChild<QPushButton *>(QLatin1String(button))->click();
}

// Presses a search button; true once its listing has arrived.
bool search(SSUDialog &dialog, const char *button)
{
    click(dialog, button);
    return rvktest::listingArrived(dialog);
}
} // namespace

class TestSsuDialogSearch : public rvktest::DatabaseTestCase
{
    Q_OBJECT

public:
    TestSsuDialogSearch()
        : DatabaseTestCase(firstSn, lastSn)
    {
    }

private:
    // A dialog connected as after a successful password download.
    // As in production: the password download opens the connection and
    // creates the model.
    void connectDialog(SSUDialog &dialog) { QVERIFY(bringOnline(dialog)); }

private slots:
    void initTestCase()
    {
        QVERIFY2(databaseReady(), DatabaseMissing);

        const QDate today = QDate::currentDate();
        QVERIFY(insertReport(61010, QDateTime(QDate(2024, 3, 5), QTime(14, 7)), QDate(2019, 6, 1), QStringLiteral("20:00")));
        QVERIFY(insertReport(61010, QDateTime(QDate(2025, 2, 1), QTime(9, 5)), QDate(2019, 6, 1), QStringLiteral("100:00")));
        QVERIFY(insertReport(61010, QDateTime(QDate(2024, 1, 15), QTime(8, 0)), QDate(2019, 6, 1), QStringLiteral("05:30")));
        QVERIFY(insertReport(61020, QDateTime(today, QTime(0, 30)), QDate(2021, 6, 1), QStringLiteral("01:00")));
        QVERIFY(insertReport(61030, QDateTime(today.addDays(-3), QTime(12, 0)), QDate(2023, 2, 10), QStringLiteral("02:00")));
        QVERIFY(insertReport(61040, QDateTime(QDate(2023, 7, 1), QTime(23, 59)), QDate(2023, 6, 30), QStringLiteral("03:00")));
    }

    void cleanupTestCase() { deleteOwnRows(); }

    void serialNumberSearchListsOneModuleByTimeText()
    {
        SSUDialog dialog;
        connectDialog(dialog);
        dialog.findChild<QSpinBox *>(QStringLiteral("spinBox_SN"))->setValue(61010);
        QVERIFY(search(dialog, "pushButton_SN"));

        const QList<QVariantList> rows = listedRows(dialog);
        QCOMPARE(rows.size(), 3);
        QStringList times;
        for (const QVariantList &row : rows) {
            QCOMPARE(row.value(0).toUInt(), 61010u);
            times << row.value(4).toString();
        }
        // Ordered as text, as stored: "100:00" sorts before "20:00".
        QCOMPARE(times, (QStringList{"05:30", "100:00", "20:00"}));
        QCOMPARE(rows.first().size(), 6);
    }

    void serialNumberZeroListsAllBySerial()
    {
        SSUDialog dialog;
        connectDialog(dialog);
        auto *field = dialog.findChild<QSpinBox *>(QStringLiteral("spinBox_SN"));
        field->setValue(61010);
        QVERIFY(search(dialog, "pushButton_SN"));
        QCOMPARE(listedRows(dialog).size(), 3);

        field->setValue(0);
        dialog.searchBySerialNumber();
        QVERIFY(rvktest::listingArrived(dialog));
        const QList<QVariantList> rows = listedRows(dialog);
        QVERIFY(rows.size() >= 6);
        for (int i = 1; i < rows.size(); ++i)
            QVERIFY2(rows.at(i - 1).value(0).toUInt() <= rows.at(i).value(0).toUInt(), "not ordered by serial number");
        QCOMPARE(ownSerials(dialog), (QList<quint32>{61010, 61010, 61010, 61020, 61030, 61040}));
    }

    void serialNumberRange_data()
    {
        QTest::addColumn<int>("minimum");
        QTest::addColumn<int>("maximum");
        QTest::addColumn<QList<quint32>>("expected");
        QTest::newRow("inner") << 61015 << 61035 << QList<quint32>{61020, 61030};
        QTest::newRow("bounds included") << 61020 << 61040 << QList<quint32>{61020, 61030, 61040};
        QTest::newRow("single") << 61030 << 61030 << QList<quint32>{61030};
        QTest::newRow("lower above upper") << 61040 << 61010 << QList<quint32>{};
    }

    void serialNumberRange()
    {
        QFETCH(int, minimum);
        QFETCH(int, maximum);
        QFETCH(QList<quint32>, expected);
        SSUDialog dialog;
        connectDialog(dialog);
        dialog.findChild<QSpinBox *>(QStringLiteral("spinBox_SNmin"))->setValue(minimum);
        dialog.findChild<QSpinBox *>(QStringLiteral("spinBox_SNmax"))->setValue(maximum);
        QVERIFY(search(dialog, "pushButton_SNrange"));
        QCOMPARE(ownSerials(dialog), expected);
        if (expected.isEmpty())
            QCOMPARE(listedRows(dialog).size(), 0);
    }

    void reportDateRangeEndsAtMidnightOfTheUpperDay()
    {
        SSUDialog dialog;
        connectDialog(dialog);
        auto *from = dialog.findChild<QDateEdit *>(QStringLiteral("dateEdit_min"));
        auto *to = dialog.findChild<QDateEdit *>(QStringLiteral("dateEdit_max"));
        const QDate today = QDate::currentDate();
        QCOMPARE(from->date(), QDate(today.year(), 1, 1));
        QCOMPARE(to->date(), today.addDays(1));

        // Today's report (made at 00:30) is listed by the default bounds...
        from->setDate(today.addDays(-5));
        QVERIFY(search(dialog, "pushButton_DATErange"));
        QCOMPARE(ownSerials(dialog), (QList<quint32>{61030, 61020}));

        // ...but not when today is the upper bound, which means 00:00 today.
        to->setDate(today);
        QVERIFY(search(dialog, "pushButton_DATErange"));
        QCOMPARE(ownSerials(dialog), (QList<quint32>{61030}));

        from->setDate(QDate(2023, 1, 1));
        to->setDate(QDate(2024, 12, 31));
        QVERIFY(search(dialog, "pushButton_DATErange"));
        const QList<QVariantList> rows = ownRows(dialog);
        QCOMPARE(rows.size(), 3);
        QCOMPARE(rows.at(0).value(1).toDateTime(), QDateTime(QDate(2023, 7, 1), QTime(23, 59)));
        QCOMPARE(rows.at(1).value(1).toDateTime(), QDateTime(QDate(2024, 1, 15), QTime(8, 0)));
        QCOMPARE(rows.at(2).value(1).toDateTime(), QDateTime(QDate(2024, 3, 5), QTime(14, 7)));
    }

    void releaseDateRange()
    {
        SSUDialog dialog;
        connectDialog(dialog);
        auto *from = dialog.findChild<QDateEdit *>(QStringLiteral("dateEdit_RELmin"));
        auto *to = dialog.findChild<QDateEdit *>(QStringLiteral("dateEdit_RELmax"));
        QCOMPARE(from->date(), QDate(QDate::currentDate().year(), 1, 1));
        QCOMPARE(to->date(), QDate::currentDate().addDays(1));

        from->setDate(QDate(2021, 6, 1));
        to->setDate(QDate(2023, 6, 30));
        QVERIFY(search(dialog, "pushButton_RELrange"));
        // Both bounds included, ordered by release date.
        QCOMPARE(ownSerials(dialog), (QList<quint32>{61020, 61030, 61040}));
    }

    void datesShowInFixedFormats_data()
    {
        QTest::addColumn<uchar>("language");
        QTest::newRow("Russian") << uchar(0);
        QTest::newRow("English") << uchar(1);
    }

    void datesShowInFixedFormats()
    {
        QFETCH(uchar, language);
        SSUDialog dialog;
        connectDialog(dialog);
        dialog.setLanguage(language);
        dialog.findChild<QSpinBox *>(QStringLiteral("spinBox_SN"))->setValue(61010);
        QVERIFY(search(dialog, "pushButton_SN"));

        QTableView *view = tableOf(dialog);
        const int row = 2; // "20:00", the report of 05.03.2024 14:07
        QCOMPARE(view->model()->index(row, 4).data().toString(), QStringLiteral("20:00"));
        const auto *dateTimes = qobject_cast<QStyledItemDelegate *>(view->itemDelegateForColumn(1));
        const auto *dates = qobject_cast<QStyledItemDelegate *>(view->itemDelegateForColumn(2));
        QVERIFY(dateTimes && dates);
        for (const QLocale &locale : {view->locale(), QLocale(QLocale::English), QLocale(QLocale::German)}) {
            QCOMPARE(dateTimes->displayText(view->model()->index(row, 1).data(), locale),
                     QStringLiteral("05.03.2024 14:07"));
            QCOMPARE(dates->displayText(view->model()->index(row, 2).data(), locale), QStringLiteral("01.06.2019"));
        }
        QCOMPARE(view->model()->index(row, 0).data(Qt::TextAlignmentRole).toInt(),
                 int(Qt::AlignHCenter | Qt::AlignVCenter));
    }

    void clickingTheDateHeaderSortsChronologically()
    {
        SSUDialog dialog;
        connectDialog(dialog);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QVERIFY(rvktest::listingArrived(dialog));
        QTableView *view = tableOf(dialog);
        QHeaderView *header = view->horizontalHeader();
        const QPoint centre(header->sectionViewportPosition(1) + header->sectionSize(1) / 2, header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier, centre);
        QVERIFY(rvktest::listingArrived(dialog));

        const QList<QVariantList> rows = listedRows(dialog);
        QVERIFY(rows.size() >= 6);
        // 01.02.2025 would precede 15.01.2024 if the shown text were compared.
        for (int i = 1; i < rows.size(); ++i)
            QVERIFY2(rows.at(i - 1).value(1).toDateTime() <= rows.at(i).value(1).toDateTime(), "not chronological");

        // The chosen order survives a new search.
        dialog.findChild<QSpinBox *>(QStringLiteral("spinBox_SN"))->setValue(61010);
        QVERIFY(search(dialog, "pushButton_SN"));
        const QList<QVariantList> module = listedRows(dialog);
        QCOMPARE(module.size(), 3);
        QCOMPARE(module.first().value(1).toDateTime(), QDateTime(QDate(2024, 1, 15), QTime(8, 0)));
        QCOMPARE(module.last().value(1).toDateTime(), QDateTime(QDate(2025, 2, 1), QTime(9, 5)));
    }

    void headersFollowTheLanguageOnceTheModelExists()
    {
        SSUDialog dialog;
        dialog.setLanguage(1);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Statistical accounting system RVK"));
        QVERIFY(!tableOf(dialog)->model() || tableOf(dialog)->model()->columnCount() == 0);

        connectDialog(dialog);
        QAbstractItemModel *model = tableOf(dialog)->model();
        QCOMPARE(model->headerData(0, Qt::Horizontal).toString(), QStringLiteral("sn"));

        dialog.setLanguage(1);
        const QStringList english{"Serial number", "Date report", "Manufactured", "Software Version", "Operating time",
                                  "IR time"};
        for (int i = 0; i < english.size(); ++i)
            QCOMPARE(model->headerData(i, Qt::Horizontal).toString(), english.at(i));

        // Headers stay with the model through later searches.
        dialog.findChild<QSpinBox *>(QStringLiteral("spinBox_SN"))->setValue(61010);
        QVERIFY(search(dialog, "pushButton_SN"));
        QCOMPARE(tableOf(dialog)->model()->headerData(5, Qt::Horizontal).toString(), QStringLiteral("IR time"));

        dialog.setLanguage(0);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Система статистического учёта RVK"));
        QCOMPARE(tableOf(dialog)->model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Дата отчёта"));
    }

    void accessCodeEnablesDeleteWithoutSearching()
    {
        SSUDialog dialog;
        connectDialog(dialog);
        auto *field = dialog.findChild<QSpinBox *>(QStringLiteral("spinBox_SN"));
        auto *remove = dialog.findChild<QPushButton *>(QStringLiteral("pushButton_Delete"));
        field->setValue(61030);
        QVERIFY(search(dialog, "pushButton_SN"));
        QCOMPARE(listedRows(dialog).size(), 1);
        QVERIFY(!remove->isEnabled());

        field->setValue(583146);
        click(dialog, "pushButton_SN");
        QVERIFY(!dialog.databaseSession()->model()->isLoading());
        QVERIFY(remove->isEnabled());
        QCOMPARE(ownSerials(dialog), (QList<quint32>{61030}));
        QCOMPARE(listedRows(dialog).size(), 1);

        field->setValue(61010);
        QVERIFY(search(dialog, "pushButton_SN"));
        QCOMPARE(listedRows(dialog).size(), 3);
        QVERIFY(remove->isEnabled());
    }
};

RVK_TEST_MAIN(TestSsuDialogSearch)
#include "tst_ssudialog_search_db.moc"
