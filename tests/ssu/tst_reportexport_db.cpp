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
const QStringList Minutes{"total_time", "repair_time"};
const QStringList Texts{"date", "release_date", "firmware_version"};
// A module of its own, with reports dated 2093, for the JSON forms of single
// values.
constexpr int FormsSn = 63070;

using Row = QStringList;

// Every histogram column holds percents.
bool insertReport(int sn, const QString &date, const QString &totalTime,
                  const QString &firmware = QStringLiteral("1"), const QString &percents = QStringLiteral("12,0,88"))
{
    QSqlQuery query(rvktest::adminConnection());
    query.prepare(QStringLiteral("INSERT INTO rvkreport VALUES (?, ?, '2090-01-02', ?, 4, ?, '1:00', ?, ?, ?, ?, ?, ?, "
                                 "7, ?, ?, ?, ?, ?, ?, 8)"));
    for (const QVariant &value : QVariantList{sn, date, firmware, totalTime})
        query.addBindValue(value);
    for (int i = 0; i < 12; ++i)
        query.addBindValue(percents);
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

// A JSON value in the table's text form; "!" when it is of the wrong kind:
// a counting column or operating time (minutes) not a number, a histogram not
// an array of numbers, a text not a text.
QString storedForm(const QString &column, const QJsonValue &cell)
{
    const QString wrong = QStringLiteral("!");
    if (Numbers.contains(column))
        return cell.isDouble() ? QString::number(qint64(cell.toDouble())) : wrong;
    if (Minutes.contains(column)) {
        const qint64 minutes = qint64(cell.toDouble());
        return cell.isDouble() ? QStringLiteral("%1:%2").arg(minutes / 60).arg(minutes % 60, 2, 10, QLatin1Char('0'))
                               : wrong;
    }
    if (Texts.contains(column))
        return cell.isString() ? cell.toString() : wrong;
    if (!cell.isArray() || cell.toArray().isEmpty())
        return wrong;
    QStringList bins;
    for (const QJsonValue &bin : cell.toArray())
        bins << (bin.isDouble() ? QString::number(bin.toDouble()) : wrong);
    return bins.join(QLatin1Char(','));
}

// The reports of an export read back (a CSV's header left out), each
// column's text in the table's order.
QList<Row> parseExport(ExportFormat format, const QByteArray &bytes, const Row &columns)
{
    QList<Row> rows;
    if (format == ExportFormat::Json) {
        for (const QJsonValue &value : QJsonDocument::fromJson(bytes).array()) {
            Row row;
            for (const QString &column : columns)
                row << storedForm(column, value.toObject().value(column));
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
    Attempt<qint64> exportTo(QIODevice *out, const ExportSelection &selection, ExportFormat format, bool rowKey = true,
                           int pageRows = ExportPageRows, const std::function<void(qint64)> &progress = {})
    {
        return exportReports(QSqlDatabase::database(QLatin1String(Connection), false), rowKey, selection, format, out,
                             progress, pageRows);
    }
    Attempt<qint64> exportTo(QByteArray *bytes, const ExportSelection &selection, ExportFormat format, bool rowKey = true,
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
        QVERIFY(insertReport(OddSn, QStringLiteral("2091-03-03 12:00"), QStringLiteral("5:00"), OddText,
                             QStringLiteral("12.5,0,87.5")));
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
        const Attempt<qint64> outcome = exportTo(&bytes, Every, format, rowKey, pageRows,
                                               [&progress](qint64 rows) { progress << rows; });
        QVERIFY2(outcome.ok, qPrintable(outcome.error));
        QCOMPARE(outcome.value, qint64(stored.size()));
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
        QCOMPARE(progress.last(), outcome.value);
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
        const Attempt<qint64> outcome = exportTo(&bytes, selection, ExportFormat::Csv);
        QVERIFY2(outcome.ok, qPrintable(outcome.error));
        QStringList expected;
        for (const int report : reports)
            expected << QStringLiteral("%1 %2:00").arg(BoundsSn).arg(QString(BoundDates[report]).replace(' ', 'T'));
        QStringList found;
        for (const Row &row : parseExport(ExportFormat::Csv, bytes, columns))
            found << row.at(0) + QLatin1Char(' ') + row.at(1);
        QCOMPARE(found, expected);
        QCOMPARE(outcome.value, qint64(reports.size()));
    }

    // What a program reading the JSON gets for each stored text, and that a
    // text it cannot take as a number ends the export before the report is
    // written, while the CSV keeps every text as stored.
    void jsonGivesMinutesAndArraysOrStops_data()
    {
        QTest::addColumn<QString>("totalTime");
        QTest::addColumn<QString>("percents");
        QTest::addColumn<QVariant>("minutes"); // invalid: the export stops
        QTest::addColumn<QVariantList>("bins"); // empty: the export stops

        const QVariant stops;
        const QVariantList bins{12, 30, 0, 58};
        QTest::newRow("hours past a day") << "123:45" << "12,30,0,58" << QVariant(7425) << bins;
        QTest::newRow("nothing yet") << "0:00" << "0" << QVariant(0) << QVariantList{0};
        QTest::newRow("hours as the module gives them") << "05:07" << "100" << QVariant(307) << QVariantList{100};
        QTest::newRow("years of hours") << "999999:59" << "12,30,0,58" << QVariant(59999999) << bins;
        QTest::newRow("fractions and exponents") << "1:00" << "12.5,1e2,0.25" << QVariant(60)
                                                 << QVariantList{12.5, 100, 0.25};
        QTest::newRow("minutes past 59") << "5:75" << "12,30,0,58" << stops << bins;
        QTest::newRow("one minute digit") << "5:7" << "12,30,0,58" << stops << bins;
        QTest::newRow("signed minutes") << "1:-5" << "12,30,0,58" << stops << bins;
        QTest::newRow("no colon") << "100" << "12,30,0,58" << stops << bins;
        QTest::newRow("blank before") << " 1:00" << "12,30,0,58" << stops << bins;
        QTest::newRow("no time") << "" << "12,30,0,58" << stops << bins;
        QTest::newRow("empty bin") << "1:00" << "12,,88" << QVariant(60) << QVariantList{};
        QTest::newRow("comma at the end") << "1:00" << "12,88," << QVariant(60) << QVariantList{};
        QTest::newRow("blank in a bin") << "1:00" << "12, 88" << QVariant(60) << QVariantList{};
        QTest::newRow("word") << "1:00" << "12,x" << QVariant(60) << QVariantList{};
        QTest::newRow("not a number") << "1:00" << "nan" << QVariant(60) << QVariantList{};
        QTest::newRow("leading zero") << "1:00" << "012" << QVariant(60) << QVariantList{};
        QTest::newRow("no histogram") << "1:00" << "" << QVariant(60) << QVariantList{};
    }

    void jsonGivesMinutesAndArraysOrStops()
    {
        QFETCH(QString, totalTime);
        QFETCH(QString, percents);
        QFETCH(QVariant, minutes);
        QFETCH(QVariantList, bins);

        QSqlQuery admin(rvktest::adminConnection());
        QVERIFY(admin.exec(QStringLiteral("DELETE FROM rvkreport WHERE sn = %1").arg(FormsSn)));
        QVERIFY(insertReport(FormsSn, QStringLiteral("2093-04-05 06:07:08"), totalTime, QStringLiteral("3.2.2"),
                             percents));
        const ExportSelection module{FormsSn, {}, {}};

        QByteArray csv;
        const Attempt<qint64> csvOutcome = exportTo(&csv, module, ExportFormat::Csv);
        QVERIFY2(csvOutcome.ok, qPrintable(csvOutcome.error));
        const QList<Row> csvRows = parseExport(ExportFormat::Csv, csv, columns);
        QCOMPARE(csvRows.size(), 1);
        QCOMPARE(csvRows.first().at(columns.indexOf("total_time")), totalTime);
        QCOMPARE(csvRows.first().at(columns.indexOf("irt_vibration")), percents);

        QByteArray json;
        const Attempt<qint64> outcome = exportTo(&json, module, ExportFormat::Json);
        if (!minutes.isValid() || bins.isEmpty()) {
            QVERIFY(!outcome.ok);
            QCOMPARE(outcome.value, qint64(0));
            const QString column = minutes.isValid() ? QStringLiteral("rotation") : QStringLiteral("total_time");
            QVERIFY2(outcome.error.endsWith(column), qPrintable(outcome.error));
            QVERIFY2(!json.contains("total_time"), json.constData());
            return;
        }
        QVERIFY2(outcome.ok, qPrintable(outcome.error));
        const QJsonArray reports = QJsonDocument::fromJson(json).array();
        QCOMPARE(reports.size(), 1);
        const QJsonObject report = reports.first().toObject();
        QCOMPARE(report.value("total_time"), QJsonValue(minutes.toLongLong()));
        QCOMPARE(report.value("repair_time"), QJsonValue(60));
        const QJsonArray expected = QJsonArray::fromVariantList(bins);
        for (const char *column : {"rotation", "vibration", "irt_rotation", "irt_vibration"})
            QCOMPARE(report.value(column), QJsonValue(expected));
        QCOMPARE(report.value("date"), QJsonValue("2093-04-05T06:07:08"));
        QCOMPARE(report.value("release_date"), QJsonValue("2090-01-02"));
        QCOMPARE(report.value("firmware_version"), QJsonValue("3.2.2"));
        QCOMPARE(report.value("impacts"), QJsonValue(7));
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
        const Attempt<qint64> outcome = exportTo(&device, Every, ExportFormat::Json, true, 10);
        QVERIFY(!outcome.ok);
        QVERIFY2(outcome.error.endsWith(QLatin1String("no room left")), qPrintable(outcome.error));
        QVERIFY(outcome.value < stored.size());
        QCOMPARE(outcome.value > 0, room > 0);
    }
};

QTEST_GUILESS_MAIN(TestReportExport)
#include "tst_reportexport_db.moc"
