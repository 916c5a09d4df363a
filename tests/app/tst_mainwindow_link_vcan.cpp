// The window on the production link backends, joined to the simulated
// module running as a process of its own on a private virtual bus.
#include "canbusd2xx.h"
#include "canbusdriver.h"
#include "mainwindow.h"
#include "modalanswerer.h"
#include "testmain.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTcpServer>

#include <memory>

class TestMainWindowLinkVcan : public QObject
{
    Q_OBJECT

private:
    QString bus;
    QProcess simulator;
    QByteArray simulatorOutput;

    QLabel *indicator(MainWindow &window) const
    {
        for (QLabel *label : window.statusBar()->findChildren<QLabel *>())
            if (label->text() == QLatin1String(" KIVO "))
                return label;
        return nullptr;
    }

private slots:
    void init()
    {
        const QString program = QCoreApplication::applicationDirPath() + QStringLiteral("/rvk-module-sim");
        if (!QFileInfo::exists(program))
            QSKIP("rvk-module-sim is not built beside the tests");
        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
        bus = QStringLiteral("virtualcan/tcp://127.0.0.1:%1/can0").arg(probe.serverPort());
        probe.close();
        simulatorOutput.clear();
        simulator.start(program, {QStringLiteral("--bus"), bus});
        QVERIFY(simulator.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT((simulatorOutput += simulator.readAllStandardOutput()).contains("joined"), 5000);

        // The bus is the one adapter attached, as on a machine without hardware.
        const QString adapter = bus;
        installD2xx(std::make_unique<CanBusD2xx>([adapter] { return QStringList{adapter}; }));
        installKtxDriver(std::make_unique<CanBusDriver>());
    }
    void cleanup()
    {
        if (simulator.state() != QProcess::NotRunning) {
            simulator.terminate();
            simulator.waitForFinished(5000);
        }
        installKtxDriver(nullptr);
        installD2xx(nullptr);
    }

    void connectsAndReadsTheReport()
    {
        MainWindow window;
        QCOMPARE(window.findChild<QComboBox *>(QStringLiteral("comboBox_InfoDevice"))->currentText(), bus);
        QCOMPARE(indicator(window)->styleSheet(),
                 QStringLiteral("QLabel { border-radius: 10px; background-color: green; color: white;}"));
        auto *read = window.findChild<QPushButton *>(QStringLiteral("pushButton_ReadData"));
        QVERIFY(read->isEnabled());

        ModalAnswerer answerer; // whatever the database-less read-out asks
        read->click();
        QTRY_COMPARE_WITH_TIMEOUT(window.findChild<QProgressBar *>(QStringLiteral("progressBar"))->value(), 100, 5000);
        // The built-in module's serial number names the written report.
        QTRY_VERIFY_WITH_TIMEOUT(!QDir(QStringLiteral("Reports")).entryList({QStringLiteral("RVKReport_sn10457_*.html")}).isEmpty(), 5000);
        QTRY_VERIFY((simulatorOutput += simulator.readAllStandardOutput()).contains("report sent"));
        QVERIFY(simulatorOutput.contains("7AA remote dlc=1: report requested"));
    }

    void stoppingTheSimulatorAsksWithinASecond()
    {
        MainWindow window;
        QVERIFY(window.findChild<QPushButton *>(QStringLiteral("pushButton_ReadData"))->isEnabled());
        ModalAnswerer answerer;
        answerer.press(QMessageBox::Ignore);
        simulator.terminate();
        QVERIFY(simulator.waitForFinished(5000));
        QElapsedTimer clock;
        clock.start();
        QVERIFY(answerer.waitForBoxes(1, 2500));
        qInfo("loss box after %lld ms", clock.elapsed());
        QCOMPARE(answerer.seen.first().title, QStringLiteral("Ошибка"));
        QVERIFY(clock.elapsed() <= 1500);

        // The reconnection opens the bus again, now served by this process
        // (on hardware: the adapter is back); a restarted module joins it.
        QTRY_COMPARE(indicator(window)->styleSheet(),
                     QStringLiteral("QLabel { border-radius: 10px; background-color: green; color: white;}"));
        simulatorOutput.clear();
        simulator.start(QCoreApplication::applicationDirPath() + QStringLiteral("/rvk-module-sim"), {QStringLiteral("--bus"), bus});
        QTRY_VERIFY_WITH_TIMEOUT((simulatorOutput += simulator.readAllStandardOutput()).contains("joined"), 5000);
        QMetaObject::invokeMethod(&window, "on_pushButton_ReadData_clicked");
        QTRY_VERIFY_WITH_TIMEOUT((simulatorOutput += simulator.readAllStandardOutput()).contains("report sent"), 5000);
        QCOMPARE(answerer.seen.size(), 1);
    }
};

RVK_TEST_MAIN(TestMainWindowLinkVcan)
#include "tst_mainwindow_link_vcan.moc"
