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
#include <QSettings>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTcpServer>
#include <QTimer>

#include <memory>

class TestMainWindowLinkVcan : public QObject
{
    Q_OBJECT

private:
    QString bus;
    QProcess simulator;
    QByteArray simulatorOutput;

    static QString freeBus()
    {
        QTcpServer probe;
        if (!probe.listen(QHostAddress::LocalHost, 0))
            return QString();
        return QStringLiteral("virtualcan/tcp://127.0.0.1:%1/can0").arg(probe.serverPort());
    }
    static QString lossText()
    {
        return QStringLiteral("Отсутствует связь с модулем RVK\nПроверьте подключение адаптера KIVO и модуля RVK");
    }
    static QString green() { return QStringLiteral("QLabel { border-radius: 10px; background-color: green; color: white;}"); }
    static QString red() { return QStringLiteral("QLabel { border-radius: 10px; background-color: red; color: white;}"); }
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
        bus = freeBus();
        QVERIFY(!bus.isEmpty());
        QSettings(QStringLiteral("ZELMOR"), QStringLiteral("RVK Report")).remove(QStringLiteral("Settings/Adapter"));
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

    // The bus server goes away with the module and comes back: the box asks
    // within a supervision tick, with the light already red; the link comes
    // up again on the same bus, and a restarted module is read.
    void stoppingTheSimulatorAsksWithinASecond()
    {
        MainWindow window;
        QVERIFY(window.findChild<QPushButton *>(QStringLiteral("pushButton_ReadData"))->isEnabled());
        QString lightWhileAsking;
        ModalAnswerer answerer;
        answerer.answerWith([&](QWidget *box) {
            lightWhileAsking = indicator(window)->styleSheet();
            qobject_cast<QMessageBox *>(box)->button(QMessageBox::Ignore)->click();
        });
        simulator.terminate();
        QVERIFY(simulator.waitForFinished(5000));
        QElapsedTimer clock;
        clock.start();
        QVERIFY(answerer.waitForBoxes(1, 2500));
        qInfo("loss box after %lld ms", clock.elapsed());
        QCOMPARE(answerer.seen.first().title, QStringLiteral("Ошибка"));
        QCOMPARE(answerer.seen.first().text, lossText());
        QVERIFY(clock.elapsed() <= 1500);
        QCOMPARE(lightWhileAsking, red());

        // The reconnection opens the bus again, now served by this process
        // (on hardware: the adapter is back); a restarted module joins it.
        QTRY_COMPARE(indicator(window)->styleSheet(), green());
        QCOMPARE(window.findChild<QComboBox *>(QStringLiteral("comboBox_InfoDevice"))->currentText(), bus);
        simulatorOutput.clear();
        simulator.start(QCoreApplication::applicationDirPath() + QStringLiteral("/rvk-module-sim"), {QStringLiteral("--bus"), bus});
        QTRY_VERIFY_WITH_TIMEOUT((simulatorOutput += simulator.readAllStandardOutput()).contains("joined"), 5000);
        QMetaObject::invokeMethod(&window, "on_pushButton_ReadData_clicked");
        QTRY_VERIFY_WITH_TIMEOUT((simulatorOutput += simulator.readAllStandardOutput()).contains("report sent"), 5000);
        QCOMPARE(answerer.seen.size(), 1);
    }

    // Two buses offered: the one chosen at an earlier start is opened
    // without a box, and it is the one with the module.
    void rememberedBusOfTwoOpensWithoutAsking()
    {
        const QString other = freeBus();
        QVERIFY(!other.isEmpty() && other != bus);
        const QString module = bus;
        installD2xx(std::make_unique<CanBusD2xx>([other, module] { return QStringList{other, module}; }));
        QSettings(QStringLiteral("ZELMOR"), QStringLiteral("RVK Report")).setValue(QStringLiteral("Settings/Adapter"), bus);

        ModalAnswerer answerer; // whatever the database-less read-out asks
        MainWindow window;
        auto *list = window.findChild<QComboBox *>(QStringLiteral("comboBox_InfoDevice"));
        QCOMPARE(list->count(), 2);
        QCOMPARE(list->currentText(), bus);
        QCOMPARE(indicator(window)->styleSheet(), green());

        QTimer *supervision = nullptr;
        for (QTimer *timer : window.findChildren<QTimer *>())
            if (timer->parent() == &window && timer->interval() == 1000)
                supervision = timer;
        QVERIFY(supervision);
        QSignalSpy ticks(supervision, &QTimer::timeout);
        QMetaObject::invokeMethod(&window, "on_pushButton_ReadData_clicked");
        QTRY_VERIFY_WITH_TIMEOUT((simulatorOutput += simulator.readAllStandardOutput()).contains("report sent"), 5000);
        QTRY_VERIFY_WITH_TIMEOUT(ticks.count() >= 1, 2500);
        for (const ModalAnswerer::Seen &box : answerer.seen)
            QVERIFY2(box.text != lossText(), "the remembered bus was reported lost");
    }
};

RVK_TEST_MAIN(TestMainWindowLinkVcan)
#include "tst_mainwindow_link_vcan.moc"
