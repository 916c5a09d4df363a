#include "report/htmlreport.h"
#include "report/reportrecord.h"
#include "tests/support/recordbuilder.h"
#include "tests/support/testfiles.h"
#include "tests/support/testmain.h"

#include <QDir>
#include <QFileInfo>
#include <QScopeGuard>
#include <QTranslator>

namespace {
ReportValues liveReport(const QByteArray &record)
{
    ReportValues values = decodeReport(record);
    values.date = QStringLiteral("06.12.2026 14:35");
    return values;
}

// A stored report as the search dialog reads it.
ReportValues storedReport()
{
    ReportValues input;
    input.sn = 1234;
    input.date = QStringLiteral("05.03.2024 14:07");
    input.release_date = QStringLiteral("05.03.2024");
    input.firmware_version = QStringLiteral("3.2.2");
    input.total_time = QStringLiteral("100:00");
    input.repair_time = QStringLiteral("02:00");
    return input;
}

int tagCount(const QString &document)
{
    return document.count(QLatin1Char('<'));
}
} // namespace

using rvktest::readWindows1251File;

class TestHtmlReport : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void fileName_data();
    void fileName();
    void goldenDocument_data();
    void goldenDocument();
    void storedReportPrintsWhatIsStored();
    void storedTextsStayText_data();
    void storedTextsStayText();
    void placeholdersInStoredTextsAreText();
    void damagedPercentListsPrintZero();
    void writeFailsWithTheFileError();
    void rewritingReplacesTheWholeFile();

private:
    QTranslator english;
};

void TestHtmlReport::initTestCase()
{
    QVERIFY2(english.load(QStringLiteral("RVKReport_en_GB"), QCoreApplication::applicationDirPath()),
             "the English translation must lie beside the test");
}

void TestHtmlReport::fileName_data()
{
    QTest::addColumn<quint32>("sn");
    QTest::addColumn<QString>("date");
    QTest::addColumn<QString>("expected");
    QTest::newRow("live read-out") << 1234u << "15.03.2024 14:05" << "RVKReport_sn1234_15.03.2024_14.05.html";
    QTest::newRow("serial number 0") << 0u << "01.02.2025 09:05" << "RVKReport_sn0_01.02.2025_09.05.html";
    QTest::newRow("every blank and colon") << 4294967295u << "a b:c d:e" << "RVKReport_sn4294967295_a_b.c_d.e.html";
}

void TestHtmlReport::fileName()
{
    QFETCH(quint32, sn);
    QFETCH(QString, date);
    QFETCH(QString, expected);
    QCOMPARE(htmlReportFileName(sn, date), expected);

    ReportValues values;
    values.sn = sn;
    values.date = date;
    QVERIFY(buildHtmlReport(values, 0).contains(QStringLiteral("<title>%1</title>").arg(expected)));
}

void TestHtmlReport::goldenDocument_data()
{
    QTest::addColumn<quint32>("language");
    QTest::addColumn<QString>("golden");
    QTest::newRow("Russian") << 0u << QStringLiteral("golden_ru.html");
    QTest::newRow("any flag but 1 is Russian") << 7u << QStringLiteral("golden_ru.html");
    QTest::newRow("English") << 1u << QStringLiteral("golden_en.html");
}

void TestHtmlReport::goldenDocument()
{
    QFETCH(quint32, language);
    QFETCH(QString, golden);
    // The golden documents are kept in UTF-8 beside the test, as one line.
    const QString expected = QString::fromUtf8(rvktest::readFile(QStringLiteral(RVK_REPORT_TEST_DATA "/") + golden));
    QVERIFY2(!expected.isEmpty(), qPrintable(golden));

    // The Russian documents are built with the English translation
    // installed too: the language flag, not the translator, chooses the
    // headings as well as the captions and units.
    QCoreApplication::installTranslator(&english);
    const auto uninstall = qScopeGuard([this] { QCoreApplication::removeTranslator(&english); });

    const QByteArray record = rvktest::exampleRecord();
    QCOMPARE(record.size(), ReportRecordSize);
    const QString path = QDir::current().absoluteFilePath(QStringLiteral("golden.html"));
    QString error;
    QVERIFY2(writeHtmlReportFile(path, liveReport(record), language, &error), qPrintable(error));

    const QString written = readWindows1251File(path);
    QCOMPARE(written, expected);
    QVERIFY(!written.contains(QLatin1Char('\n')));
    QCOMPARE(rvktest::readFile(path).size(), expected.size()); // one byte per character: no UTF-8
}

void TestHtmlReport::storedReportPrintsWhatIsStored()
{
    ReportValues input;
    input.sn = 77;
    input.date = QStringLiteral("01.02.2025 09:05");
    input.release_date = QStringLiteral("05.03.2024");
    input.firmware_version = QStringLiteral("10.0.5");
    input.total_time = QStringLiteral("100:00");
    input.repair_time = QStringLiteral("00:59");
    input.impacts = 5;
    input.irt_impacts = 2;
    input.totalPercents = QStringList({"10,20,30,40,0,0", "0,0,0,100", "1,2,3,4,90", "0,0,0,0,0,100", "50,50,0,0,0,0", "0,0,0,0,100"});
    input.repairPercents = input.totalPercents;
    const QString document = buildHtmlReport(input, 0);

    const QString totalImpacts =
        QStringLiteral("<p style=\"font-size:20px; font-weight:bold;\">Количество ударов : 5</p><br><br>");
    const QString repairImpacts =
        QStringLiteral("<p style=\"font-size:20px; font-weight:bold;\">Количество ударов : 2</p><br><br>");
    const QString repairHeading = QStringLiteral("Гистограмма межремонтной наработки :");
    QVERIFY(document.indexOf(totalImpacts) < document.indexOf(repairHeading));
    QVERIFY(document.indexOf(repairHeading) < document.indexOf(repairImpacts));
    QVERIFY(document.contains(QStringLiteral("<td>100:00</td>")));
    QVERIFY(document.contains(QStringLiteral("<td>10.0.5</td>")));
    QVERIFY(document.contains(QStringLiteral(
        "<tr><td width=\"140px\">4000... об/мин </td><td width=\"*\"><span class=histogram style=\"padding-right:0%\">&nbsp;</span>&nbsp;0%</td></tr></tr>")));
    QVERIFY(document.contains(QStringLiteral(
        "<tr><td width=\"140px\">31... В </td><td width=\"*\"><span class=histogram style=\"padding-right:90%\">&nbsp;</span>&nbsp;90%</td></tr></tr>")));
    QVERIFY(document.contains(QStringLiteral(
        "<tr><td /*align=\"right\";*/ width=\"140px\">100... g </td><td width=\"*\"><span class=histogram style=\"padding-right:100%\">&nbsp;</span>&nbsp;100%</td></tr></tr>")));
}

// Stored reports come from a shared database, so their texts may hold
// anything, markup included (inputs the document fuzzer turned up).
void TestHtmlReport::storedTextsStayText_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("shown");
    const QString script = QStringLiteral("<script>alert(1)</script>");
    const QString escapedScript = QStringLiteral("&lt;script&gt;alert(1)&lt;/script&gt;");
    QTest::newRow("firmware") << "firmware_version" << script << escapedScript;
    QTest::newRow("total time") << "total_time" << script << escapedScript;
    QTest::newRow("repair time") << "repair_time" << QStringLiteral("1 & 2 \"x\"") << QStringLiteral("1 &amp; 2 &quot;x&quot;");
    QTest::newRow("release date") << "release_date" << QStringLiteral("</table><img src=x onerror=alert(1)>")
                                  << QStringLiteral("&lt;/table&gt;&lt;img src=x onerror=alert(1)&gt;");
    // The date also names the document in its title.
    QTest::newRow("date") << "date" << QStringLiteral("</title><b>") << QStringLiteral("&lt;/title&gt;&lt;b&gt;");
}

void TestHtmlReport::storedTextsStayText()
{
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(QString, shown);
    const int plainTags = tagCount(buildHtmlReport(storedReport(), 0));

    ReportValues input = storedReport();
    if (field == QLatin1String("firmware_version"))
        input.firmware_version = text;
    else if (field == QLatin1String("total_time"))
        input.total_time = text;
    else if (field == QLatin1String("repair_time"))
        input.repair_time = text;
    else if (field == QLatin1String("release_date"))
        input.release_date = text;
    else
        input.date = text;
    const QString document = buildHtmlReport(input, 0);

    QCOMPARE(tagCount(document), plainTags);
    QVERIFY2(document.contains(shown), qPrintable(document.left(600)));
    QVERIFY(!document.contains(text));
}

// A stored text may look like a placeholder; it is printed, never filled.
void TestHtmlReport::placeholdersInStoredTextsAreText()
{
    ReportValues input = storedReport();
    input.firmware_version = QStringLiteral("%1%2");
    input.total_time = QStringLiteral("%7");
    input.repair_time = QStringLiteral("50%");
    for (const quint32 language : {0u, 1u}) {
        const QString document = buildHtmlReport(input, language);
        QVERIFY(document.contains(QStringLiteral("<td>%1%2</td>")));
        QVERIFY(document.contains(QStringLiteral("<td>%7</td>")));
        QVERIFY(document.contains(QStringLiteral("<td>50%</td>")));
        QVERIFY(document.contains(QStringLiteral("<td>05.03.2024 14:07</td>")));
    }
}

void TestHtmlReport::damagedPercentListsPrintZero()
{
    ReportValues input;
    input.totalPercents = QStringList({"7,x,,-3,12 ,99", "1,2"}); // four lists missing
    const QString document = buildHtmlReport(input, 0);

    auto percentsPrinted = [&document](int from, int to) {
        QStringList printed;
        int at = from;
        const QString marker = QStringLiteral("padding-right:");
        while ((at = document.indexOf(marker, at)) >= 0 && at < to) {
            at += marker.size();
            printed << document.mid(at, document.indexOf(QLatin1Char('%'), at) - at);
        }
        return printed;
    };
    const int repairStart = document.indexOf(QStringLiteral("Гистограмма межремонтной наработки"));
    QVERIFY(repairStart > 0);
    const QStringList total = percentsPrinted(0, repairStart);
    QCOMPARE(total.size(), 32);
    QCOMPARE(total.mid(0, 6), QStringList({"7", "0", "0", "0", "12", "99"}));
    QCOMPARE(total.mid(6, 4), QStringList({"1", "2", "0", "0"}));
    QCOMPARE(total.mid(10).count(QStringLiteral("0")), 22);
    const QStringList repair = percentsPrinted(repairStart, document.size());
    QCOMPARE(repair, QStringList(QVector<QString>(32, QStringLiteral("0")).toList()));
}

void TestHtmlReport::writeFailsWithTheFileError()
{
    QVERIFY(rvktest::writeFile(QStringLiteral("notAFolder"), QByteArray()));

    QString error;
    QVERIFY(!writeHtmlReportFile(QStringLiteral("notAFolder/report.html"), ReportValues(), 0, &error));
    QVERIFY(!error.isEmpty());
    QCOMPARE(QFileInfo(QStringLiteral("notAFolder")).size(), 0);
}

void TestHtmlReport::rewritingReplacesTheWholeFile()
{
    const QString path = QStringLiteral("same-minute.html");
    QVERIFY(rvktest::writeFile(path, QByteArray(100000, 'x')));

    const ReportValues input;
    QVERIFY(writeHtmlReportFile(path, input, 0));
    QCOMPARE(readWindows1251File(path), buildHtmlReport(input, 0));
}

RVK_TEST_MAIN(TestHtmlReport)
#include "tst_htmlreport.moc"
