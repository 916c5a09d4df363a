// Search filters as SQL: the condition, the values bound to it and the
// listing's order; then hostile values against the test MariaDB through the
// program's own driver. This file owns serial numbers 63100..63199.
#include "ssu/listingreader.h"
#include "ssu/reportfilter.h"
#include "ssu/ssuendpoints.h"
#include "tests/support/databasetest.h"

#include <QCoreApplication>
#include <QTest>

Q_DECLARE_METATYPE(ReportFilter)

namespace {
constexpr quint32 StoredSn = 63110;
using Column = ReportFilter::Column;

// Each bound value's type and value (or NULL).
QStringList described(const QVariantList &values)
{
    QStringList texts;
    for (const QVariant &value : values)
        texts << QLatin1String(value.typeName()) + QLatin1Char(' ')
                + (value.isNull() ? QStringLiteral("NULL") : value.toString());
    return texts;
}
} // namespace

class TestReportFilter : public rvktest::DatabaseTestCase
{
    Q_OBJECT
public:
    TestReportFilter() : DatabaseTestCase(63100, 63199) {}

private slots:
    void conditionBindsEveryValue_data()
    {
        QTest::addColumn<QVector<ReportFilter>>("filters");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("values");
        QTest::addColumn<QString>("order");

        const QDate day(2024, 3, 5);
        const QDateTime noon(day, QTime(12, 0));
        auto row = [](const char *name, const QVector<ReportFilter> &filters) -> QTestData & {
            return QTest::newRow(name) << filters;
        };
        row("every report", {ReportFilter::all()}) << QString() << QStringList() << "sn";
        row("one module", {ReportFilter::equal(Column::SerialNumber, 61010)})
            << "sn = ?" << QStringList{"int 61010"} << "total_time";
        // A range of one module is listed as every range is.
        row("serial range", {ReportFilter::between(Column::SerialNumber, 5, 5u)})
            << "sn BETWEEN ? AND ?" << QStringList{"int 5", "uint 5"} << "sn";
        row("open above", {ReportFilter::between(Column::SerialNumber, 5, QVariant())})
            << "sn >= ?" << QStringList{"int 5"} << "sn";
        row("open below", {ReportFilter::between(Column::ReportDate, QVariant(), day)})
            << "date <= ?" << QStringList{"QDate 2024-03-05"} << "date";
        row("open on both sides", {ReportFilter::between(Column::ReportDate, QVariant(), QVariant())})
            << QString() << QStringList() << "date";
        row("report times", {ReportFilter::between(Column::ReportDate, noon, day)})
            << "date BETWEEN ? AND ?" << QStringList{"QDateTime 2024-03-05T12:00:00.000", "QDate 2024-03-05"}
            << "date";
        row("release days, the time dropped", {ReportFilter::between(Column::ReleaseDate, noon, day)})
            << "release_date BETWEEN ? AND ?" << QStringList{"QDate 2024-03-05", "QDate 2024-03-05"}
            << "release_date";
        row("module and days", {ReportFilter::equal(Column::SerialNumber, 7),
                                ReportFilter::between(Column::ReportDate, day, QVariant())})
            << "sn = ? AND date >= ?" << QStringList{"int 7", "QDate 2024-03-05"} << "total_time";
        // Anything but a value of the column's type is a typed null, which no
        // report matches, also where the text starts like one.
        row("digits", {ReportFilter::equal(Column::SerialNumber, QStringLiteral("63110"))})
            << "sn = ?" << QStringList{"qlonglong NULL"} << "total_time";
        row("statement", {ReportFilter::between(Column::SerialNumber, QStringLiteral("'; DROP TABLE rvkreport; --"), 9)})
            << "sn BETWEEN ? AND ?" << QStringList{"qlonglong NULL", "int 9"} << "sn";
        row("date and more", {ReportFilter::equal(Column::ReleaseDate, QStringLiteral("2024-01-01' OR '1'='1"))})
            << "release_date = ?" << QStringList{"QDate NULL"} << "release_date";
        row("invalid day", {ReportFilter::between(Column::ReportDate, QDate(), day)})
            << "date BETWEEN ? AND ?" << QStringList{"QDate NULL", "QDate 2024-03-05"} << "date";
    }

    void conditionBindsEveryValue()
    {
        QFETCH(QVector<ReportFilter>, filters);
        QFETCH(QString, text);
        QFETCH(QStringList, values);
        QFETCH(QString, order);

        const ReportCondition condition = reportCondition(filters);
        QCOMPARE(condition.text, text);
        QCOMPARE(described(condition.values), values);
        QCOMPARE(defaultOrderColumn(filters.first()), order);
    }

    void hostileValuesAreBoundAndMatchNothing_data()
    {
        QTest::addColumn<ReportFilter>("filter");
        QTest::addColumn<int>("matching");

        // Spliced into the statement, the first would list every report and
        // the others would break the statement or the table.
        QTest::newRow("or-clause") << ReportFilter::equal(Column::SerialNumber, QStringLiteral("1 OR 1=1")) << 0;
        QTest::newRow("statement") << ReportFilter::equal(Column::SerialNumber,
                                                          QStringLiteral("'; DROP TABLE rvkreport; --"))
                                   << 0;
        QTest::newRow("bracket") << ReportFilter::between(Column::SerialNumber, 0, QStringLiteral("99) OR (1=1")) << 0;
        QTest::newRow("date and more") << ReportFilter::equal(Column::ReleaseDate,
                                                              QStringLiteral("1999-09-09' OR '1'='1"))
                                       << 0;
        QTest::newRow("the module") << ReportFilter::equal(Column::SerialNumber, StoredSn) << 2;
        QTest::newRow("the release day") << ReportFilter::equal(Column::ReleaseDate, QDate(1999, 9, 9)) << 2;
    }

    void hostileValuesAreBoundAndMatchNothing()
    {
        QFETCH(ReportFilter, filter);
        QFETCH(int, matching);

        QVERIFY2(databaseReady(), DatabaseMissing);
        const QString insert = QStringLiteral("INSERT INTO rvkreport VALUES (%1, '2024-03-05 10:00', '1999-09-09', "
                                              "'3.1', 2, '%2', '1:00', '1', '1', '1', '1', '1', '1', 0, '1', '1', "
                                              "'1', '1', '1', '1', 0)");
        QSqlQuery admin(rvktest::adminConnection());
        QVERIFY(admin.exec(insert.arg(StoredSn).arg(QStringLiteral("1:00"))));
        QVERIFY(admin.exec(insert.arg(StoredSn).arg(QStringLiteral("2:00"))));

        SsuTarget target;
        target.hosts = SsuEndpoints::current().databaseHosts;
        target.password = rvktest::testDatabasePassword();
        const QSqlDatabase db = SsuConnection::open(QStringLiteral("filter"), target);
        ListingQuery listing;
        listing.filter = filter;
        ListingReader::Rows rows;
        QVERIFY(ListingReader::readWindow(db, listing, 0, 256, false, &rows));
        QCOMPARE(rows.size(), matching);
        QCOMPARE(ListingReader::count(db, listing), qint64(matching));
        // The table and the module's reports are still there.
        QCOMPARE(rvktest::rowsForSerial(StoredSn).size(), 2);
        deleteOwnRows();
    }

    void cleanupTestCase()
    {
        SsuConnection::remove(QStringLiteral("filter"));
        deleteOwnRows();
    }
};

QTEST_GUILESS_MAIN(TestReportFilter)
#include "tst_reportfilter_db.moc"
