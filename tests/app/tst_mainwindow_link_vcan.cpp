// The window on the production link backends, joined to the simulated
// module running as a process of its own on a private virtual bus.
#include "link/canbusd2xx.h"
#include "link/canbusdriver.h"
#include "tests/support/mainwindowfixture.h"
#include "tests/support/modalanswerer.h"
#include "tests/support/testmain.h"
#include "tests/support/vcantestsupport.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>

class TestMainWindowLinkVcan : public QObject, public rvktest::MainWindowFixture
{
    Q_OBJECT

private:
    QString bus;
    rvktest::SimulatorProcess simulator;

    static QString lossText()
    {
        return QStringLiteral("Отсутствует связь с модулем RVK\nПроверьте подключение адаптера KIVO и модуля RVK");
    }
    static QString green() { return QStringLiteral("QLabel { border-radius: 10px; background-color: green; color: white;}"); }
    static QString red() { return QStringLiteral("QLabel { border-radius: 10px; background-color: red; color: white;}"); }

private slots:
    void initTestCase()
    {
        // The program's own waits: a real socket tells of a lost bus on its
        // own time, which the scripted driver's short periods would outrun.
        StationTimings::setCurrent(StationTimings());
    }
    void init()
    {
        if (!rvktest::SimulatorProcess::isBuilt())
            QFAIL("rvk-module-sim is not built beside the tests");
        bus = rvktest::freeProcessBus();
        QVERIFY(!bus.isEmpty());
        rvktest::nativeSettings().remove(QStringLiteral("Settings/Adapter"));
        QVERIFY(simulator.start(bus));

        // The bus is the one adapter attached, as on a machine without hardware.
        const QString adapter = bus;
        installD2xx(std::make_unique<CanBusD2xx>([adapter] { return QStringList{adapter}; }));
        installKtxDriver(std::make_unique<CanBusDriver>());
    }
    void cleanup()
    {
        closeWindow();
        simulator.stop();
        installKtxDriver(nullptr);
        installD2xx(nullptr);
    }

    void connectsAndReadsTheReport()
    {
        createWindow();
        QCOMPARE(widget<QComboBox>("comboBox_InfoDevice")->currentText(), bus);
        // The bus connects after the open, without the window waiting.
        QTRY_COMPARE(kivoLight()->styleSheet(), green());
        auto *read = widget<QPushButton>("pushButton_ReadData");
        QVERIFY(read->isEnabled());

        ModalAnswerer answerer; // whatever the database-less read-out asks
        read->click();
        QTRY_COMPARE_WITH_TIMEOUT(widget<QProgressBar>("progressBar")->value(), 100, 5000);
        // The built-in module's serial number names the written report.
        QTRY_VERIFY_WITH_TIMEOUT(!QDir(QStringLiteral("Reports")).entryList({QStringLiteral("RVKReport_sn10457_*.html")}).isEmpty(), 5000);
        QVERIFY(simulator.waitForOutput("report sent"));
        QVERIFY(simulator.output().contains("7AA remote dlc=1: report requested"));
    }

    // The bus server goes away with the module and comes back: the box asks
    // within a supervision tick, with the light already red; the link comes
    // up again on the same bus, and a restarted module is read.
    void stoppingTheSimulatorAsksWithinASecond()
    {
        createWindow();
        QTRY_VERIFY(widget<QPushButton>("pushButton_ReadData")->isEnabled());
        QString lightWhileAsking;
        int ticksBeforeTheBox = -1;
        // Counted in supervision ticks, not milliseconds: a loaded machine
        // delays the ticks, not the rule that one of them asks.
        QSignalSpy ticks(rvktest::supervisionTimer(*window), &QTimer::timeout);
        ModalAnswerer answerer;
        answerer.answerWith([&](QWidget *box) {
            lightWhileAsking = kivoLight()->styleSheet();
            ticksBeforeTheBox = ticks.count();
            qobject_cast<QMessageBox *>(box)->button(QMessageBox::Ignore)->click();
        });
        QVERIFY(simulator.stop());
        ticks.clear();
        QVERIFY(answerer.waitForBoxes(1, 30000));
        QCOMPARE(answerer.seen.first().title, QStringLiteral("Ошибка"));
        QCOMPARE(answerer.seen.first().text, lossText());
        // The tick that finds the bus gone asks (its own emission is counted
        // only after the box, as the spy was connected after the slot); the
        // socket may report the loss just after a tick, so the next one at
        // the latest.
        QVERIFY2(ticksBeforeTheBox >= 0 && ticksBeforeTheBox <= 1, qPrintable(QString::number(ticksBeforeTheBox)));
        QCOMPARE(lightWhileAsking, red());

        // The reconnection opens the bus again, now served by this process
        // (on hardware: the adapter is back); a restarted module joins it.
        QTRY_COMPARE(kivoLight()->styleSheet(), green());
        QCOMPARE(widget<QComboBox>("comboBox_InfoDevice")->currentText(), bus);
        QVERIFY(simulator.start(bus));
        requestReport();
        QVERIFY(simulator.waitForOutput("report sent"));
        QCOMPARE(answerer.seen.size(), 1);
    }

    // Two buses offered: the one chosen at an earlier start is opened
    // without a box, and it is the one with the module.
    void rememberedBusOfTwoOpensWithoutAsking()
    {
        const QString other = rvktest::freeProcessBus();
        QVERIFY(!other.isEmpty() && other != bus);
        const QString module = bus;
        installD2xx(std::make_unique<CanBusD2xx>([other, module] { return QStringList{other, module}; }));
        rvktest::nativeSettings().setValue(QStringLiteral("Settings/Adapter"), bus);

        ModalAnswerer answerer; // whatever the database-less read-out asks
        createWindow();
        auto *list = widget<QComboBox>("comboBox_InfoDevice");
        QCOMPARE(list->count(), 2);
        QCOMPARE(list->currentText(), bus);
        QTRY_COMPARE(kivoLight()->styleSheet(), green());

        QTimer *supervision = rvktest::supervisionTimer(*window);
        QVERIFY(supervision);
        QSignalSpy ticks(supervision, &QTimer::timeout);
        requestReport();
        QVERIFY(simulator.waitForOutput("report sent"));
        QTRY_VERIFY_WITH_TIMEOUT(ticks.count() >= 1, 2500);
        for (const ModalAnswerer::Seen &box : answerer.seen)
            QVERIFY2(box.text != lossText(), "the remembered bus was reported lost");
    }
};

RVK_TEST_MAIN(TestMainWindowLinkVcan)
#include "tst_mainwindow_link_vcan.moc"
