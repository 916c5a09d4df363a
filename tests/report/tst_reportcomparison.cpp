// What changed between two reports of a module, on records built by field
// name and decoded as the program decodes them, and the document made of it.
#include "report/comparisondocument.h"
#include "report/reportcomparison.h"
#include "report/reporthistory.h"
#include "tests/support/recordbuilder.h"

#include <QBuffer>
#include <QtTest>

using rvktest::RecordBuilder;

Q_DECLARE_METATYPE(ReportValues)

namespace {

constexpr int Temperature = 4;
constexpr int TopTemperatureBin = 5;

// A module with hours in total and since repair, its time spread evenly
// over the temperature bins but the top one, which holds topShare percent.
ReportValues report(const QString &date, qint64 hours, qint64 repairHours, qint64 impacts, qint64 irtImpacts,
                    int topShare = 0, qint64 firmware = 322)
{
    const qint64 seconds = hours * 3600;
    RecordBuilder builder;
    builder.set(WordTotalTime, seconds)
        .set(WordRepairTime, repairHours * 3600)
        .set(WordImpacts, impacts)
        .set(WordIrtImpacts, irtImpacts)
        .set(WordSerialNumber, 4711)
        .set(WordFirmwareVersion, firmware)
        .set(WordReleaseDate, 5032024);
    const qint64 rest = seconds * (100 - topShare) / 100;
    builder.setBins(ReportSection::Total, Temperature,
                    {rest / 5, rest / 5, rest / 5, rest / 5, rest - 4 * (rest / 5), seconds * topShare / 100});
    ReportValues values = decodeReport(builder.build());
    values.date = date;
    return values;
}

const BinChange &topTemperature(const ReportComparison &comparison)
{
    for (const BinChange &change : comparison.bins) {
        if (change.parameter == Temperature && change.bin == TopTemperatureBin)
            return change;
    }
    static const BinChange none;
    return none;
}

} // namespace

Q_DECLARE_METATYPE(ComparisonSource)

class TestReportComparison : public QObject
{
    Q_OBJECT

private slots:
    void incrementsBetweenVisits();
    void noticesOfWhatWentWrong_data();
    void noticesOfWhatWentWrong();
    void unusualUsageBeyondRounding();
    void firstReportHasNothingToCompare();
    void unknownPreviousIsNeverAFirstReport_data();
    void unknownPreviousIsNeverAFirstReport();
    void documentShowsIncrementsAndNotices();
    void historyCharts();
};

void TestReportComparison::incrementsBetweenVisits()
{
    const ReportValues before = report(QStringLiteral("01.03.2025 10:00"), 1000, 200, 50, 10, 4);
    const ReportValues after = report(QStringLiteral("31.03.2025 22:00"), 1100, 300, 55, 15, 4, 323);
    const ReportComparison comparison = compareReports(before, after);

    QVERIFY(comparison.hasPrevious);
    QCOMPARE(comparison.daysBetween, 30.5);
    QCOMPARE(comparison.totalMinutesAdded, 100 * 60);
    QCOMPARE(comparison.repairMinutesAdded, 100 * 60);
    QCOMPARE(comparison.impactsAdded, 5);
    QCOMPARE(comparison.irtImpactsAdded, 5);
    QVERIFY(comparison.firmwareChanged);
    QCOMPARE(comparison.bins.size(), 32);
    // 4 % of 1000 h and of 1100 h; each percent may be half a percent off.
    const BinChange &top = topTemperature(comparison);
    QCOMPARE(top.previousHours, 40.0);
    QCOMPARE(top.currentHours, 44.0);
    QCOMPARE(top.addedHours, 4.0);
    QCOMPARE(top.uncertaintyHours, 10.5);
    QVERIFY2(comparison.notices.isEmpty(), "usage as before is nothing to look at");
}

void TestReportComparison::noticesOfWhatWentWrong_data()
{
    QTest::addColumn<ReportValues>("before");
    QTest::addColumn<ReportValues>("after");
    QTest::addColumn<QList<int>>("expected");

    const QString first = QStringLiteral("01.03.2025 10:00");
    const QString later = QStringLiteral("01.04.2025 10:00");
    QTest::newRow("module exchanged: hours went down") << report(first, 1000, 200, 50, 10) << report(later, 300, 300, 60, 20)
                                                      << QList<int>{ComparisonNotice::TotalTimeBackwards};
    QTest::newRow("memory cleared: impacts went down") << report(first, 1000, 200, 50, 10) << report(later, 1000, 200, 0, 0)
                                                       << QList<int>{ComparisonNotice::ImpactsBackwards};
    QTest::newRow("dated before the previous report") << report(later, 1000, 200, 50, 10) << report(first, 1010, 210, 50, 10)
                                                      << QList<int>{ComparisonNotice::DateEarlier};
    QTest::newRow("repair counters cleared") << report(first, 1000, 200, 50, 10) << report(later, 1100, 20, 55, 0)
                                             << QList<int>{ComparisonNotice::RepairReset};
    // Cleared, then run past the old value: the inter-repair time gained
    // less than the total did.
    QTest::newRow("cleared and run past the old value") << report(first, 1000, 20, 50, 10)
                                                        << report(later, 1100, 30, 55, 15)
                                                        << QList<int>{ComparisonNotice::RepairReset};
    QTest::newRow("read twice without running") << report(first, 1000, 200, 50, 10) << report(later, 1000, 200, 50, 10)
                                                << QList<int>{};
}

void TestReportComparison::noticesOfWhatWentWrong()
{
    QFETCH(ReportValues, before);
    QFETCH(ReportValues, after);
    QFETCH(QList<int>, expected);
    const ReportComparison comparison = compareReports(before, after);
    QList<int> found;
    for (const ComparisonNotice &notice : comparison.notices)
        found << notice.kind;
    QCOMPARE(found, expected);
}

void TestReportComparison::unusualUsageBeyondRounding()
{
    // 2 % of 1000 h hot before; of the 100 h since, 60 h hot.
    const ReportValues before = report(QStringLiteral("01.03.2025 10:00"), 1000, 1000, 10, 10, 2);
    const ReportValues hot = report(QStringLiteral("01.04.2025 10:00"), 1100, 1100, 11, 11, 7);
    ReportComparison comparison = compareReports(before, hot);
    QCOMPARE(comparison.notices.size(), 1);
    const ComparisonNotice notice = comparison.notices.first();
    QCOMPARE(notice.kind, ComparisonNotice::UnusualBin);
    QCOMPARE(notice.parameter, Temperature);
    QCOMPARE(notice.bin, TopTemperatureBin);
    QCOMPARE(qRound(notice.recent), 57); // (77 - 20) h of 100 h
    QCOMPARE(qRound(notice.past), 2);

    // One percent more after 20 h: 31 h instead of 20 h is within what the
    // rounding of two percents over 1000 h can make of nothing.
    const ReportValues slightly = report(QStringLiteral("01.04.2025 10:00"), 1020, 1020, 11, 11, 3);
    QVERIFY(compareReports(before, slightly).notices.isEmpty());

    // Impacts ten times as often as before.
    const ReportValues knocked = report(QStringLiteral("01.04.2025 10:00"), 1100, 1100, 30, 30, 2);
    comparison = compareReports(before, knocked);
    QVERIFY(comparison.has(ComparisonNotice::UnusualImpacts));
    QCOMPARE(comparison.notices.size(), 1);
}

void TestReportComparison::firstReportHasNothingToCompare()
{
    const ReportComparison comparison = firstReport(report(QStringLiteral("01.03.2025 10:00"), 10, 10, 0, 0));
    QVERIFY(!comparison.hasPrevious);
    QVERIFY(comparison.notices.isEmpty());
    const QString document = buildComparisonDocument(comparison, ComparisonSource::None, 0);
    QVERIFY(document.contains(QStringLiteral("Это первый отчёт модуля: сравнивать не с чем.")));
    QVERIFY(!document.contains(QStringLiteral("<table><tr><th>")));
}

void TestReportComparison::unknownPreviousIsNeverAFirstReport_data()
{
    QTest::addColumn<ComparisonSource>("source");
    QTest::addColumn<QString>("reason");
    QTest::newRow("SSU not asked") << ComparisonSource::UnknownSsuNotAsked
                                   << QStringLiteral("отчёты сейчас не передаются в ССУ");
    QTest::newRow("SSU unreachable") << ComparisonSource::UnknownSsuUnreachable << QStringLiteral("ССУ не ответила");
    QTest::newRow("no serial number") << ComparisonSource::UnknownNoSerialNumber
                                      << QStringLiteral("у модуля нет серийного номера");
}

// Only an SSU that answered it has no report makes one the module's first.
void TestReportComparison::unknownPreviousIsNeverAFirstReport()
{
    QFETCH(ComparisonSource, source);
    QFETCH(QString, reason);
    const QString document =
        buildComparisonDocument(firstReport(report(QStringLiteral("01.03.2025 10:00"), 10, 10, 0, 0)), source, 0);
    QVERIFY2(document.contains(reason), qPrintable(document));
    QVERIFY(document.contains(QStringLiteral("здесь не известен")) || document.contains(QStringLiteral("не известен:")));
    QVERIFY(!document.contains(QStringLiteral("первый отчёт")));
}

void TestReportComparison::documentShowsIncrementsAndNotices()
{
    const ReportValues before = report(QStringLiteral("01.03.2025 10:00"), 1000, 200, 50, 10, 4);
    ReportValues after = report(QStringLiteral("31.03.2025 22:00"), 1100, 20, 55, 0, 4);
    after.firmware_version = QStringLiteral("3.<b>2.3");
    const QString document =
        buildComparisonDocument(compareReports(before, after), ComparisonSource::Station, 0);
    QVERIFY(document.contains(QStringLiteral("<td class=\"name\">Прошло дней</td><td>30.5</td>")));
    QVERIFY(document.contains(QStringLiteral("<td>1000:00</td><td>1100:00</td><td>+100:00</td>")));
    QVERIFY(document.contains(QStringLiteral("<td>200:00</td><td>20:00</td><td>-180:00</td>")));
    QVERIFY(document.contains(QStringLiteral("<td>50</td><td>55</td><td>+5</td>")));
    QVERIFY(document.contains(QStringLiteral("<td class=\"name\">125... °С</td><td>40.0</td><td>44.0</td><td>+4.0</td><td>4</td>")));
    QVERIFY(document.contains(QStringLiteral("Межремонтные счётчики сброшены после предыдущего отчёта.")));
    QVERIFY(document.contains(QStringLiteral("копия этой станции")));
    QVERIFY(document.contains(QStringLiteral("±10.5 ч")));
    // A stored text is shown, never taken for markup.
    QVERIFY(document.contains(QStringLiteral("3.&lt;b&gt;2.3")));

    QTemporaryDir folder;
    const QString path = folder.filePath(comparisonFileName(4711, after.date));
    QVERIFY(path.endsWith(QStringLiteral("/RVKChanges_sn4711_31.03.2025_22.00.html")));
    QVERIFY(writeComparisonFile(path, compareReports(before, after), ComparisonSource::Ssu, 0));
    QFile written(path);
    QVERIFY(written.open(QIODevice::ReadOnly));
    QVERIFY(QString::fromUtf8(written.readAll()).contains(QStringLiteral("(ССУ)")));
}

void TestReportComparison::historyCharts()
{
    ReportValues undated = report(QString(), 1, 1, 0, 0);
    ReportValues odd = report(QStringLiteral("02.03.2025 10:00"), 1100, 300, 55, 15, 10);
    odd.firmware_version = QStringLiteral("3,\"2\"");
    const QVector<ReportValues> reports{report(QStringLiteral("01.03.2025 10:00"), 1000, 200, 50, 10, 4), undated, odd};

    const QVector<HistoryPoint> points = historyPoints(reports);
    QCOMPARE(points.size(), 2);
    QCOMPARE(points.at(1).totalHours, 1100.0);
    QCOMPARE(points.at(1).repairHours, 300.0);
    QCOMPARE(points.at(1).impacts, 55u);
    QCOMPARE(points.at(0).topRangeHours[Temperature], 40.0);
    QCOMPARE(points.at(1).topRangeHours[Temperature], 110.0);
}

QTEST_GUILESS_MAIN(TestReportComparison)
#include "tst_reportcomparison.moc"
