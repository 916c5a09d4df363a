// The export of stored reports against the test MariaDB, on a connection
// opened beside the session as a caller opens one. This file owns serial
// numbers 63000..63099 and the report dates of 2091, which no other test
// uses, so an export of every module within those days sees only its rows.
#include "ssu/reportexport.h"
#include "tests/support/databasetest.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

#include <algorithm>

Q_DECLARE_METATYPE(ExportFormat)
Q_DECLARE_METATYPE(ExportSelection)

namespace {
// Twelve modules of 200 reports (63001..63012), every seventh with a twin of
// the same module and minute, and the modules around them.
constexpr int Generated = 2400;
constexpr int Twins = 343;
const int Edges[] = {63000, 63099};
// Reports either side of the days' bounds, and one with texts that need
// quoting and escaping, which every export of all modules compares (the test
// server's table stores Latin-1).
constexpr int BoundsSn = 63060;
const char *const BoundDates[] = {"2091-02-28 23:59", "2091-03-01 00:00", "2091-03-10 23:59", "2091-03-11 00:00"};
constexpr int OddSn = 63050;
const QString OddText = QStringLiteral("x,\"y\"\n\tcafé\\");
const ExportSelection Every{std::nullopt, QDate(2091, 1, 1), QDate(2091, 12, 31)};
const char *const Connection = "export";
const QStringList Numbers{"sn", "impact_level", "impacts", "irt_impacts"};

using Row = QStringList;

// Every text column but the operating times holds text.
bool insertReport(int sn, const QString &date, const QString &totalTime, const QString &text = QStringLiteral("1"))
{
    QSqlQuery query(rvktest::adminConnection());
    query.prepare(QStringLiteral("INSERT INTO rvkreport VALUES (?, ?, '2090-01-02', ?, 4, ?, '1:00', ?, ?, ?, ?, ?, ?, "
                                 "7, ?, ?, ?, ?, ?, ?, 8)"));
    for (const QVariant &value : QVariantList{sn, date, text, totalTime})
        query.addBindValue(value);
    for (int i = 0; i < 12; ++i)
        query.addBindValue(text);
    return query.exec();
}

// The stored reports of 2091 through another driver: the columns SELECT *
// gives, then the rows in module, minute and row key order.
QList<Row> storedReports()
{
    QSqlQuery query(rvktest::adminConnection());
    query.exec(QStringLiteral("SELECT * FROM rvkreport WHERE YEAR(date) = 2091 ORDER BY sn, date, id"));
    Row columns;
    for (int i = 0; i < query.record().count(); ++i)
        columns << query.record().fieldName(i);
    QList<Row> rows{columns};
    while (query.next()) {
        Row row;
        for (int i = 0; i < columns.size(); ++i) {
            const QVariant value = query.value(i);
            row << (value.type() == QVariant::DateTime ? value.toDateTime().toString(Qt::ISODate)
                        : value.type() == QVariant::Date ? value.toDate().toString(Qt::ISODate)
                                                         : value.toString());
        }
        rows << row;
    }
    return rows;
}

// The reports of an export read back (a CSV's header left out), each
// column's text in the table's order. A JSON value of the wrong kind, a
// counting column as text or a text as a number, reads as "!".
QList<Row> parseExport(ExportFormat format, const QByteArray &bytes, const Row &columns)
{
    QList<Row> rows;
    if (format == ExportFormat::Json) {
        for (const QJsonValue &value : QJsonDocument::fromJson(bytes).array()) {
            Row row;
            for (const QString &column : columns) {
                const QJsonValue cell = value.toObject().value(column);
                if (cell.isDouble() != Numbers.contains(column))
                    row << QStringLiteral("!");
                else
                    row << (cell.isDouble() ? QString::number(qint64(cell.toDouble())) : cell.toString());
            }
            rows << row;
        }
        return rows;
    }
    // RFC 4180: a quoted field holds commas, line ends and doubled quotes.
    Row row;
    QString field;
    bool quoted = false;
    const QString text = QString::fromUtf8(bytes);
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('"') && quoted && text.mid(i + 1, 1) == QLatin1String("\"")) {
            field += text.at(++i);
        } else if (c == QLatin1Char('"')) {
            quoted = !quoted;
        } else if (quoted || (c != QLatin1Char(',') && c != QLatin1Char('\n'))) {
            field += c;
        } else {
            row << field;
            field.clear();
            if (c == QLatin1Char('\n')) {
                rows << row;
                row.clear();
            }
        }
    }
    return rows.mid(1);
}

// A device that takes only so many bytes.
class FullDevice : public QIODevice
{
public:
    explicit FullDevice(qint64 room) : room(room) { open(QIODevice::WriteOnly); }

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *, qint64 length) override
    {
        if (length > room) {
            setErrorString(QStringLiteral("no room left"));
            return -1;
        }
        room -= length;
        return length;
    }

private:
    qint64 room;
};
} // namespace

class TestReportExport : public rvktest::DatabaseTestCase
{
    Q_OBJECT
public:
    TestReportExport() : DatabaseTestCase(63000, 63099) {}

private:
    ExportOutcome exportTo(QIODevice *out, const ExportSelection &selection, ExportFormat format, bool rowKey = true,
                           int pageRows = ExportPageRows, const std::function<void(qint64)> &progress = {})
    {
        return exportReports(QSqlDatabase::database(QLatin1String(Connection), false), rowKey, selection, format, out,
                             progress, pageRows);
    }
    ExportOutcome exportTo(QByteArray *bytes, const ExportSelection &selection, ExportFormat format, bool rowKey = true,
                           int pageRows = ExportPageRows, const std::function<void(qint64)> &progress = {})
    {
        QBuffer buffer(bytes);
        buffer.open(QIODevice::WriteOnly);
        return exportTo(&buffer, selection, format, rowKey, pageRows, progress);
    }

    SsuSession session;
    Row columns;
    QList<Row> stored;

private slots:
    void initTestCase()
    {
        QVERIFY2(databaseReady(), DatabaseMissing);
        const QString fill = QStringLiteral(
            "INSERT INTO rvkreport SELECT 63001 + seq MOD 12, '2091-03-01' + INTERVAL (seq DIV 12) * 37 MINUTE, "
            "'2090-06-01' + INTERVAL seq MOD 30 DAY, CONCAT('3.', seq MOD 5), seq MOD 4, CONCAT(seq, '%1'), "
            "CONCAT(seq MOD 60, ':30'), '10,20,70', '0,100', '50,50', '1,2,97', '0,0,100', '100', seq MOD 9, "
            "'70,20,10', '100,0', '50,50', '97,2,1', '100,0,0', '0', seq MOD 3 FROM seq_0_to_%2 WHERE seq MOD %3 = 0");
        QSqlQuery admin(rvktest::adminConnection());
        QVERIFY(admin.exec(fill.arg(QStringLiteral(":00")).arg(Generated - 1).arg(1)));
        QVERIFY(admin.exec(fill.arg(QStringLiteral(":59")).arg(Generated - 1).arg(7)));
        QVERIFY(insertReport(OddSn, QStringLiteral("2091-03-03 12:00"), QStringLiteral("5:00"), OddText));
        for (int i = 0; i < 4; ++i)
            QVERIFY(insertReport(BoundsSn, QLatin1String(BoundDates[i]), QStringLiteral("%1:00").arg(i)));
        for (const int sn : Edges)
            QVERIFY(insertReport(sn, QStringLiteral("2091-03-02 08:00"), QStringLiteral("1:00")));
        stored = storedReports();
        columns = stored.takeFirst();
        QCOMPARE(stored.size(), Generated + Twins + 7);

        QVERIFY(bringOnline(session));
        QVERIFY(session.hasRowKey());
        QVERIFY(SsuConnection::open(QLatin1String(Connection), session.databaseTarget()).isOpen());
    }

    void cleanupTestCase()
    {
        SsuConnection::remove(QLatin1String(Connection));
        deleteOwnRows();
    }

    void writesEverySelectedReportInOrder_data()
    {
        QTest::addColumn<ExportFormat>("format");
        QTest::addColumn<bool>("rowKey");
        QTest::addColumn<int>("pageRows");
        for (const int pageRows : {1, 13, ExportPageRows}) {
            QTest::addRow("csv, row key, pages of %d", pageRows) << ExportFormat::Csv << true << pageRows;
            QTest::addRow("json, row key, pages of %d", pageRows) << ExportFormat::Json << true << pageRows;
            QTest::addRow("csv, no row key, pages of %d", pageRows) << ExportFormat::Csv << false << pageRows;
        }
    }

    void writesEverySelectedReportInOrder()
    {
        QFETCH(ExportFormat, format);
        QFETCH(bool, rowKey);
        QFETCH(int, pageRows);

        QByteArray bytes;
        QList<qint64> progress;
        const ExportOutcome outcome = exportTo(&bytes, Every, format, rowKey, pageRows,
                                               [&progress](qint64 rows) { progress << rows; });
        QVERIFY2(outcome.ok, qPrintable(outcome.error));
        QCOMPARE(outcome.rows, qint64(stored.size()));
        if (format == ExportFormat::Csv)
            QVERIFY(bytes.startsWith(columns.join(QLatin1Char(',')).toUtf8() + '\n'));
        QList<Row> rows = parseExport(format, bytes, columns);
        QList<Row> expected = stored;
        if (!rowKey) {
            // Twins come in another order than their row keys', each once,
            // and module and minute still in order.
            for (int i = 0; i < rows.size(); ++i)
                QCOMPARE(rows.at(i).mid(0, 2), expected.at(i).mid(0, 2));
            std::sort(rows.begin(), rows.end());
            std::sort(expected.begin(), expected.end());
        }
        QCOMPARE(rows, expected);
        // Once a page, and a page holds at least pageRows reports.
        QCOMPARE(progress.last(), outcome.rows);
        QVERIFY(std::is_sorted(progress.begin(), progress.end()));
        QVERIFY(progress.size() <= stored.size() / pageRows + 1);
        QVERIFY(progress.size() > 1 || pageRows >= stored.size());
    }

    void selectsTheModuleAndWholeDays_data()
    {
        QTest::addColumn<ExportSelection>("selection");
        QTest::addColumn<QList<int>>("reports");

        const QDate march1(2091, 3, 1);
        const QDate march10(2091, 3, 10);
        QTest::newRow("module") << ExportSelection{BoundsSn, {}, {}} << QList<int>{0, 1, 2, 3};
        QTest::newRow("from a day on") << ExportSelection{BoundsSn, march1, {}} << QList<int>{1, 2, 3};
        QTest::newRow("to a day's end") << ExportSelection{BoundsSn, {}, march10} << QList<int>{0, 1, 2};
        QTest::newRow("one day") << ExportSelection{BoundsSn, march10, march10} << QList<int>{2};
        QTest::newRow("wrong way round") << ExportSelection{BoundsSn, march10, march1} << QList<int>{};
        QTest::newRow("every module, a day") << ExportSelection{std::nullopt, march1.addDays(-1), march1.addDays(-1)}
                                             << QList<int>{0};
        QTest::newRow("no such module") << ExportSelection{BoundsSn + 1, {}, {}} << QList<int>{};
    }

    void selectsTheModuleAndWholeDays()
    {
        QFETCH(ExportSelection, selection);
        QFETCH(QList<int>, reports);

        QByteArray bytes;
        const ExportOutcome outcome = exportTo(&bytes, selection, ExportFormat::Csv);
        QVERIFY2(outcome.ok, qPrintable(outcome.error));
        QStringList expected;
        for (const int report : reports)
            expected << QStringLiteral("%1 %2:00").arg(BoundsSn).arg(QString(BoundDates[report]).replace(' ', 'T'));
        QStringList found;
        for (const Row &row : parseExport(ExportFormat::Csv, bytes, columns))
            found << row.at(0) + QLatin1Char(' ') + row.at(1);
        QCOMPARE(found, expected);
        QCOMPARE(outcome.rows, qint64(reports.size()));
    }

    void failedWriteIsReported_data()
    {
        QTest::addColumn<qint64>("room");
        QTest::newRow("no room") << qint64(0);
        QTest::newRow("room for some pages") << qint64(20000);
    }

    void failedWriteIsReported()
    {
        QFETCH(qint64, room);

        FullDevice device(room);
        const ExportOutcome outcome = exportTo(&device, Every, ExportFormat::Json, true, 10);
        QVERIFY(!outcome.ok);
        QVERIFY2(outcome.error.endsWith(QLatin1String("no room left")), qPrintable(outcome.error));
        QVERIFY(outcome.rows < stored.size());
        QCOMPARE(outcome.rows > 0, room > 0);
    }
};

QTEST_GUILESS_MAIN(TestReportExport)
#include "tst_reportexport_db.moc"
