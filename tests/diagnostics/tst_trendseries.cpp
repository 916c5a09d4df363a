// The series store behind the trend charts and the window's live feed.
#include "diagnostics/monitorparser.h"
#include "diagnostics/trendseries.h"
#include "diagnostics/trendswindow.h"
#include "tests/support/testmain.h"

#include <QDateTime>
#include <QtTest>

using MonitorParser::Sensor;

namespace {
QVector<MonitorParser::Reading> rpm(double value)
{
    return {{Sensor::RPM, value}};
}
} // namespace

class TestTrendSeries : public QObject
{
    Q_OBJECT

private slots:
    void pointsStayInTimeOrderAndAreFound()
    {
        TrendSeries series(10);
        QVERIFY(series.isEmpty());
        series.add(1000, {{Sensor::RPM, 1500}, {Sensor::Temp, 35.25}});
        series.add(2000, rpm(1600));
        series.add(3000, {{Sensor::Temp, 36.5}});

        QCOMPARE(series.size(Sensor::RPM), 2);
        QCOMPARE(series.size(Sensor::Temp), 2);
        QCOMPARE(series.size(Sensor::Vin), 0);
        QCOMPARE(series.point(Sensor::RPM, 1), QPointF(2000, 1600));
        QCOMPARE(series.point(Sensor::Temp, 1), QPointF(3000, 36.5));
        QCOMPARE(series.oldestTime(), qint64(1000));
        QCOMPARE(series.newestTime(), qint64(3000));
        QCOMPARE(series.firstAtOrAfter(Sensor::RPM, 1500), 1);
        QCOMPARE(series.firstAtOrAfter(Sensor::RPM, 2000), 1);
        QCOMPARE(series.firstAtOrAfter(Sensor::RPM, 2001), 2);
        QCOMPARE(series.firstAtOrAfter(Sensor::RPM, 0), 0);
    }

    void fullRingDropsTheOldestPoints()
    {
        TrendSeries series(3);
        for (int i = 0; i < 7; ++i)
            series.add(1000 * i, rpm(i));
        QCOMPARE(series.size(Sensor::RPM), 3);
        QCOMPARE(series.point(Sensor::RPM, 0), QPointF(4000, 4));
        QCOMPARE(series.point(Sensor::RPM, 2), QPointF(6000, 6));
        QCOMPARE(series.firstAtOrAfter(Sensor::RPM, 5500), 2);
    }

    void pointsOlderThanTheRetentionGo()
    {
        TrendSeries series(100, 10000);
        for (int second = 0; second <= 30; ++second)
            series.add(second * 1000, rpm(second));
        QCOMPARE(series.size(Sensor::RPM), 11);
        QCOMPARE(series.point(Sensor::RPM, 0).x(), 20000.0);
        QCOMPARE(series.oldestTime(), qint64(20000));
    }

    void clockSetBackStartsTheSeriesAfresh()
    {
        TrendSeries series(10);
        series.add(5000, rpm(1));
        series.add(6000, rpm(2));
        series.add(4000, rpm(3));
        QCOMPARE(series.size(Sensor::RPM), 1);
        QCOMPARE(series.point(Sensor::RPM, 0), QPointF(4000, 3));
    }

    // The window takes the readings the sensor dialog would take from the
    // block and files them under their sensor at the block's time.
    void monitorBlocksLandInTheirSeries()
    {
        TrendsWindow window;
        const QDateTime first(QDate(2026, 12, 8), QTime(10, 0, 0, 125));
        window.addMonitorBlock(QStringLiteral("Freq=400.25\r\nRPM=2400\r\nVin=27.5\r\nTemp=-3.5\r\n"
                                              "dataMaximal_X=1.5\r\ndataAverage=0.2\r\n"),
                               first);
        window.addMonitorBlock(QStringLiteral("status: ok\nRPM=2410\ndataMaximal=1.75\ndataAverage=0.2\n"),
                               first.addMSecs(100));
        window.addMonitorBlock(QStringLiteral("no readings here\n"), first.addMSecs(200));

        const TrendSeries &live = window.liveSeries();
        const double t0 = double(first.toMSecsSinceEpoch());
        QCOMPARE(live.size(Sensor::RPM), 2);
        QCOMPARE(live.point(Sensor::RPM, 0), QPointF(t0, 2400));
        QCOMPARE(live.point(Sensor::RPM, 1), QPointF(t0 + 100, 2410));
        QCOMPARE(live.point(Sensor::Freq, 0), QPointF(t0, 400.25));
        QCOMPARE(live.point(Sensor::Vin, 0), QPointF(t0, 27.5));
        QCOMPARE(live.point(Sensor::MaximalX, 0), QPointF(t0, 1.5));
        QCOMPARE(live.size(Sensor::DataMaximal), 1);
        QCOMPARE(live.point(Sensor::DataMaximal, 0), QPointF(t0 + 100, 1.75));
        // A signed temperature is no reading, as on the sensor dialog.
        QCOMPARE(live.size(Sensor::Temp), 0);
        QCOMPARE(live.newestTime(), qint64(t0 + 100));
    }

    // The rolling span ends at the newest block and has the chosen width;
    // a pause holds it until resumed.
    void liveSpanFollowsUnlessPaused()
    {
        TrendsWindow window;
        const QDateTime start(QDate(2026, 12, 8), QTime(10, 0));
        const double t0 = double(start.toMSecsSinceEpoch());
        window.setSpanMinutes(1);
        for (int i = 0; i <= 1200; ++i) // two minutes at ten blocks a second
            window.addMonitorBlock(QStringLiteral("RPM=%1\ndataAverage=0.1\n").arg(i), start.addMSecs(100 * i));
        window.refresh();
        QCOMPARE(window.shownSpan(), qMakePair(t0 + 60000.0, t0 + 120000.0));

        QTest::keyClick(&window, Qt::Key_Return);
        QVERIFY(window.isPaused());
        window.addMonitorBlock(QStringLiteral("RPM=1\ndataAverage=0.1\n"), start.addSecs(125));
        window.refresh();
        QCOMPARE(window.shownSpan().second, t0 + 120000.0);
        window.setSpanMinutes(5);
        QCOMPARE(window.shownSpan(), qMakePair(t0 - 180000.0, t0 + 120000.0));

        QTest::keyClick(&window, Qt::Key_Enter);
        QVERIFY(!window.isPaused());
        QCOMPARE(window.shownSpan().second, t0 + 125000.0);
    }

    // The redraw timer skips blocks that land in the drawn edge's pixel
    // column and catches up once the stream has moved on, also when the
    // clock was set back.
    void timerRedrawsOncePerPixelColumn()
    {
        TrendsWindow window;
        window.resize(900, 800);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.setSpanMinutes(30);
        const QDateTime start(QDate(2026, 12, 8), QTime(10, 0));
        const double t0 = double(start.toMSecsSinceEpoch());
        window.addMonitorBlock(QStringLiteral("RPM=1\n"), start);
        window.redrawIfChanged();
        QCOMPARE(window.shownSpan().second, t0);

        // Thirty minutes over well under 1800 pixels: a column is over a second.
        window.addMonitorBlock(QStringLiteral("RPM=2\n"), start.addMSecs(100));
        window.redrawIfChanged();
        QCOMPARE(window.shownSpan().second, t0);
        window.addMonitorBlock(QStringLiteral("RPM=3\n"), start.addSecs(10));
        window.redrawIfChanged();
        QCOMPARE(window.shownSpan().second, t0 + 10000.0);
        window.addMonitorBlock(QStringLiteral("RPM=4\n"), start.addSecs(-3600));
        window.redrawIfChanged();
        QCOMPARE(window.shownSpan().second, t0 - 3600000.0);
    }
};

RVK_TEST_MAIN(TestTrendSeries)
#include "tst_trendseries.moc"
