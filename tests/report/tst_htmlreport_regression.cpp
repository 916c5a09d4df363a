// Inputs the document fuzzer turned up: stored reports come from a shared
// database, so their texts may hold anything, markup included.
#include "testmain.h"

#include "htmlreport.h"

#include <QRegularExpression>

namespace {
HtmlReportInput storedReport()
{
    HtmlReportInput input;
    input.context = "SSUDialog";
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

class TestHtmlReportRegression : public QObject
{
    Q_OBJECT
private slots:
    void storedTextsStayText_data();
    void storedTextsStayText();
};

void TestHtmlReportRegression::storedTextsStayText_data()
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

void TestHtmlReportRegression::storedTextsStayText()
{
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(QString, shown);
    const int plainTags = tagCount(buildHtmlReport(storedReport()));

    HtmlReportInput input = storedReport();
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
    const QString document = buildHtmlReport(input);

    QCOMPARE(tagCount(document), plainTags);
    QVERIFY2(document.contains(shown), qPrintable(document.left(600)));
    QVERIFY(!document.contains(text));
}

RVK_TEST_MAIN(TestHtmlReportRegression)
#include "tst_htmlreport_regression.moc"
