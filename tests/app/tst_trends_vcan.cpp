// The trends window on the running program: reached in service mode, fed
// by the simulated module's monitor stream on a private virtual bus, and
// reading back the log the monitor wrote meanwhile.
#include "app/mainwindow.h"
#include "diagnostics/trendseries.h"
#include "diagnostics/trendswindow.h"
#include "tests/support/modalanswerer.h"
#include "tests/support/testmain.h"
#include "tests/support/vcantestsupport.h"
#include "tools/rvk-module-sim/simulatedmodule.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <memory>

using MonitorParser::Sensor;

class TestTrendsVcan : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<SimulatedModule> module;

private slots:
    void init()
    {
        SimulatedModuleOptions options;
        options.monitorPeriodMs = 100;
        QString error;
        module = rvktest::startModuleOnPrivateBus(options, &error);
        QVERIFY2(module, qPrintable(error));
    }
    void cleanup()
    {
        rvktest::stopModuleOnPrivateBus(module);
        QDir(QStringLiteral("log")).removeRecursively();
    }

    void streamedBlocksAndTheirLogChartAlike()
    {
        MainWindow window;
        window.show();
        QApplication::setActiveWindow(&window);
        QVERIFY(QTest::qWaitForWindowActive(&window));
        ModalAnswerer answerer;
        auto *action = window.findChild<QAction *>(QStringLiteral("actionTrends"));
        QVERIFY(action);
        QVERIFY(!action->isVisible());
        answerer.enterText(QStringLiteral("583146"));
        QTest::keyClick(&window, Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
        QTRY_VERIFY(action->isVisible());
        action->trigger();
        auto *trends = window.findChild<TrendsWindow *>();
        QVERIFY(trends);
        QVERIFY(trends->isVisible());

        window.findChild<QCheckBox *>(QStringLiteral("checkBox_WriteToFile"))->setChecked(true);
        QTest::keyClick(&window, Qt::Key_Plus);
        QTRY_VERIFY_WITH_TIMEOUT(module->monitorOn(), 3000);
        QTRY_VERIFY_WITH_TIMEOUT(trends->liveSeries().size(Sensor::RPM) >= 5, 20000);
        QTest::keyClick(&window, Qt::Key_Minus);
        QTRY_VERIFY_WITH_TIMEOUT(!module->monitorOn(), 3000);
        // Frames already on their way when the module stopped still finish
        // a block; the log is closed by then, so compare what both hold.
        const QStringList logs = QDir(QStringLiteral("log")).entryList({QStringLiteral("rvk_sn*.log")}, QDir::Files,
                                                                       QDir::Time);
        QVERIFY(!logs.isEmpty());
        const TrendSeries &live = trends->liveSeries();
        QVERIFY(trends->openLog(QStringLiteral("log/") + logs.first()));
        const TrendSeries &logged = trends->shownSeries();
        QVERIFY(&logged != &live);

        const int count = logged.size(Sensor::RPM);
        QVERIFY(count >= 5);
        QVERIFY(live.size(Sensor::RPM) >= count);
        for (int sensor = 0; sensor < MonitorParser::sensorCount; ++sensor) {
            QCOMPARE(logged.size(Sensor(sensor)), count);
            for (int i = 0; i < count; ++i)
                QCOMPARE(logged.point(Sensor(sensor), i), live.point(Sensor(sensor), i));
        }
        QVERIFY(answerer.seen.size() == 1); // the access code prompt only
    }
};

RVK_TEST_MAIN(TestTrendsVcan)
#include "tst_trends_vcan.moc"
