// Monitor logs read back for the trend charts: what is accepted, what is
// refused and where, and what the window does with either.
#include "diagnostics/trendlog.h"
#include "diagnostics/trendseries.h"
#include "diagnostics/trendswindow.h"
#include "tests/support/modalanswerer.h"
#include "tests/support/testfiles.h"
#include "tests/support/testmain.h"

#include <QDateTime>
#include <QFile>
#include <QtTest>

using MonitorParser::Sensor;
using TrendLog::Problem;

Q_DECLARE_METATYPE(TrendLog::Problem)

namespace {
const QString block = QStringLiteral("Freq=400.25\nRPM=2400\nTemp=48.5\ndataAverage=0.2\n");

qint64 local(int hour, int minute, int second, int ms)
{
    return QDateTime(QDate(2026, 12, 8), QTime(hour, minute, second, ms), Qt::LocalTime).toMSecsSinceEpoch();
}
} // namespace

using rvktest::writeFile;

class TestTrendLog : public QObject
{
    Q_OBJECT

private slots:
    void entriesAreReadWithTheirTimes()
    {
        // The second block ends without a line feed (text after the last one
        // in its frame), so the third entry's stamp follows it on its line.
        const QString text = QStringLiteral("[2026-12-08 10:00:00.125]\n") + block
            + QStringLiteral("[2026-12-08 10:00:00.225]\r\nRPM=2410\r\ndataAverage=0.3\r\nVib")
            + QStringLiteral("[2026-12-08 10:00:00.325]\nstatus ok\nRPM=2420\ndataAverage=0.1\n");
        const TrendLog::Result result = TrendLog::parse(text);
        QCOMPARE(result.problem, Problem::None);
        QCOMPARE(result.entries.size(), 3);
        QCOMPARE(result.entries.at(0).timeMs, local(10, 0, 0, 125));
        QCOMPARE(result.entries.at(1).timeMs, local(10, 0, 0, 225));
        QCOMPARE(result.entries.at(2).timeMs, local(10, 0, 0, 325));
        QCOMPARE(result.entries.at(0).readings.size(), 3);
        QCOMPARE(result.entries.at(1).readings.size(), 1);
        QCOMPARE(result.entries.at(1).readings.at(0).value, 2410.0);
        QCOMPARE(result.entries.at(2).readings.at(0).value, 2420.0);
    }

    void damagedOrForeignFilesAreRefusedWithTheirLine_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<Problem>("problem");
        QTest::addColumn<int>("line");

        const QString stamp = QStringLiteral("[2026-12-08 10:00:00.125]\n");
        QTest::newRow("empty") << QString() << Problem::Empty << 0;
        QTest::newRow("blank lines only") << QStringLiteral("\n\n") << Problem::Empty << 0;
        QTest::newRow("foreign text") << QStringLiteral("Name;Value\nRPM;2400\n") << Problem::NoTimeStamp << 1;
        QTest::newRow("text before the first stamp")
            << QStringLiteral("\nhello") + stamp + block << Problem::NoTimeStamp << 2;
        QTest::newRow("impossible date") << stamp + block + QStringLiteral("[2026-13-08 10:00:00.125]\n") + block
                                         << Problem::BadTimeStamp << 6;
        QTest::newRow("cut short") << stamp + block + stamp + QStringLiteral("Freq=400.25\nRPM=24")
                                   << Problem::UnfinishedBlock << 6;
        QTest::newRow("entry without a block") << stamp + stamp + block << Problem::UnfinishedBlock << 1;
        QTest::newRow("binary garbage") << stamp + QStringLiteral("RPM=2400\n\x01\x02PK\x03\x04\ndataAverage=0.1\n")
                                        << Problem::NotText << 3;
    }

    void damagedOrForeignFilesAreRefusedWithTheirLine()
    {
        QFETCH(QString, text);
        const TrendLog::Result result = TrendLog::parse(text);
        QTEST(result.problem, "problem");
        QTEST(result.line, "line");
        QVERIFY(result.entries.isEmpty());
    }

    void windowShowsALogWholeAndRefusesADamagedOne()
    {
        TrendsWindow window;
        QVERIFY(writeFile(QStringLiteral("rvk_sn7_08.12.2026_10.00.log"),
                          (QStringLiteral("[2026-12-08 10:00:00.000]\n") + block
                           + QStringLiteral("[2026-12-08 10:40:00.000]\nRPM=2500\ndataAverage=0.1\n"))
                              .toLocal8Bit()));
        QVERIFY(window.openLog(QStringLiteral("rvk_sn7_08.12.2026_10.00.log")));
        QVERIFY(window.isShowingLog());
        // Whole, whatever the chosen span.
        QCOMPARE(window.shownSpan(), qMakePair(double(local(10, 0, 0, 0)), double(local(10, 40, 0, 0))));
        QCOMPARE(window.shownSeries().size(Sensor::RPM), 2);
        QCOMPARE(window.shownSeries().point(Sensor::RPM, 1).y(), 2500.0);

        QVERIFY(writeFile(QStringLiteral("damaged.log"),
                          "[2026-12-08 10:00:00.000]\nRPM=2400\ndataAverage=0.1\n[2026-12-08 10:00:00.100]\nRPM="));
        ModalAnswerer answerer;
        QVERIFY(!window.openLog(QStringLiteral("damaged.log")));
        QCOMPARE(answerer.seen.size(), 1);
        QVERIFY2(answerer.seen.at(0).text.contains(QStringLiteral("damaged.log")), qPrintable(answerer.seen.at(0).text));
        QVERIFY2(answerer.seen.at(0).text.contains(QStringLiteral("Строка 4")), qPrintable(answerer.seen.at(0).text));
        // The log shown before stays.
        QCOMPARE(window.shownSeries().size(Sensor::RPM), 2);

        QVERIFY(!window.openLog(QStringLiteral("missing.log")));
        QCOMPARE(answerer.seen.size(), 2);
        QVERIFY(answerer.seen.at(1).text.contains(QStringLiteral("missing.log")));

        window.showLive();
        QVERIFY(!window.isShowingLog());
        QCOMPARE(window.shownSeries().size(Sensor::RPM), 0);
    }

    void chartsAreSavedAsPng()
    {
        TrendsWindow window;
        window.show();
        QVERIFY(window.savePng(QStringLiteral("trends.png")));
        QImage image(QStringLiteral("trends.png"));
        QVERIFY(!image.isNull());
        QVERIFY(image.width() > 300 && image.height() > 300);

        ModalAnswerer answerer;
        QVERIFY(!window.savePng(QStringLiteral("no-such-folder/trends.png")));
        QCOMPARE(answerer.seen.size(), 1);
        QVERIFY(answerer.seen.at(0).text.contains(QStringLiteral("no-such-folder")));
    }
};

RVK_TEST_MAIN(TestTrendLog)
#include "tst_trendlog.moc"
