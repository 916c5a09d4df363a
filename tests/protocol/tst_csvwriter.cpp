// The one CSV writer: which cells are quoted, which are defused as formulas,
// the line end, the date forms and a device that does not take the bytes.
#include "protocol/csvwriter.h"

#include <QBuffer>
#include <QTest>

#include <limits>

class TestCsvWriter : public QObject
{
    Q_OBJECT
private slots:
    void quotesExactlyWhatRfc4180Needs_data()
    {
        QTest::addColumn<QString>("cell");
        QTest::addColumn<QByteArray>("written");
        QTest::newRow("plain") << QStringLiteral("3.2.2") << QByteArray("3.2.2");
        QTest::newRow("empty") << QString() << QByteArray();
        QTest::newRow("blanks stay") << QStringLiteral(" 3.2.2 ") << QByteArray(" 3.2.2 ");
        QTest::newRow("comma") << QStringLiteral("10,20") << QByteArray("\"10,20\"");
        QTest::newRow("quote doubled") << QStringLiteral("3\"2") << QByteArray("\"3\"\"2\"");
        QTest::newRow("line feed") << QStringLiteral("a\nb") << QByteArray("\"a\nb\"");
        QTest::newRow("bare carriage return") << QStringLiteral("a\rb") << QByteArray("\"a\rb\"");
        QTest::newRow("Cyrillic") << QStringLiteral("версия,1") << QStringLiteral("\"версия,1\"").toUtf8();
    }
    void quotesExactlyWhatRfc4180Needs()
    {
        QFETCH(QString, cell);
        QFETCH(QByteArray, written);
        QCOMPARE(CsvWriter::field(cell), written);
        CsvWriter csv;
        csv.addRow(QStringList{cell, QStringLiteral("x")});
        QCOMPARE(csv.bytes(), written + ",x\n");
    }

    // A stored text that a spreadsheet would run as a formula opens as text;
    // the program's own figures, negative ones too, stay numbers.
    void defusesWhatASpreadsheetWouldTakeForAFormula_data()
    {
        QTest::addColumn<QString>("cell");
        QTest::addColumn<QByteArray>("written");
        QTest::newRow("equals") << QStringLiteral("=1+2") << QByteArray("'=1+2");
        QTest::newRow("plus") << QStringLiteral("+1+2") << QByteArray("'+1+2");
        QTest::newRow("minus formula") << QStringLiteral("-2+3") << QByteArray("'-2+3");
        QTest::newRow("at") << QStringLiteral("@SUM(A1)") << QByteArray("'@SUM(A1)");
        QTest::newRow("tab first") << QStringLiteral("\t=1") << QByteArray("'\t=1");
        QTest::newRow("carriage return first, quoted") << QStringLiteral("\r=1") << QByteArray("\"'\r=1\"");
        QTest::newRow("formula with a comma, quoted")
            << QStringLiteral("=HYPERLINK(\"http://x\",\"y\")") << QByteArray("\"'=HYPERLINK(\"\"http://x\"\",\"\"y\"\")\"");
        QTest::newRow("a dash alone") << QStringLiteral("-") << QByteArray("'-");
        QTest::newRow("minus then point") << QStringLiteral("-.5") << QByteArray("'-.5");
        QTest::newRow("number with a trailing point") << QStringLiteral("-3.") << QByteArray("'-3.");
        QTest::newRow("equals later") << QStringLiteral("a=1") << QByteArray("a=1");
        QTest::newRow("negative figure") << CsvWriter::number(-3.5, 3) << QByteArray("-3.500");
        QTest::newRow("negative whole") << QStringLiteral("-42") << QByteArray("-42");
        QTest::newRow("positive figure") << CsvWriter::number(12.25, 2) << QByteArray("12.25");
    }
    void defusesWhatASpreadsheetWouldTakeForAFormula()
    {
        QFETCH(QString, cell);
        QFETCH(QByteArray, written);
        QCOMPARE(CsvWriter::field(cell), written);
        CsvWriter csv;
        csv.addRow(QStringList{QStringLiteral("x"), cell});
        QCOMPARE(csv.bytes(), "x," + written + "\n");
    }

    void writesOneFormPerKindOfValue()
    {
        // 02:30 on 30.03.2025 does not exist in Central Europe; a time
        // without a zone still writes as it stands.
        QCOMPARE(CsvWriter::wallClock(QDateTime(QDate(2025, 3, 30), QTime(2, 30), Qt::UTC)),
                 QStringLiteral("2025-03-30T02:30:00"));
        QCOMPARE(CsvWriter::wallClock(QDateTime()), QString());
        QCOMPARE(CsvWriter::day(QDate(2024, 3, 5)), QStringLiteral("2024-03-05"));
        QCOMPARE(CsvWriter::instant(QDateTime(QDate(2025, 1, 2), QTime(3, 4, 5, 6), Qt::OffsetFromUTC, 3600)),
                 QStringLiteral("2025-01-02T02:04:05.006Z"));
        QCOMPARE(CsvWriter::number(2.5, 3), QStringLiteral("2.500"));
        QCOMPARE(CsvWriter::number(std::numeric_limits<double>::quiet_NaN(), 3), QString());
    }

    void writesAndClearsOrRefuses()
    {
        CsvWriter csv;
        csv.addRow(QList<QByteArray>{"sn", "date"});
        csv.addRow(QList<QByteArray>{"0", "a\r"});
        QBuffer buffer;
        QVERIFY(buffer.open(QIODevice::WriteOnly));
        QVERIFY(csv.writeTo(&buffer));
        QCOMPARE(buffer.data(), QByteArray("sn,date\n0,\"a\r\"\n"));
        QVERIFY(csv.bytes().isEmpty());
        QBuffer closed;
        csv.addRow(QStringList{QStringLiteral("x")});
        QVERIFY(!csv.writeTo(&closed));
    }
};

QTEST_GUILESS_MAIN(TestCsvWriter)
#include "tst_csvwriter.moc"
