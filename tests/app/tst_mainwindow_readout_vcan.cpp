// The read-out end to end: the window on the production link backends and
// the simulated module in this process, on a private virtual bus.
#include "app/mainwindow.h"
#include "station/station.h"
#include "protocol/frameclassification.h"
#include "tests/support/modalanswerer.h"
#include "tests/support/testfiles.h"
#include "tests/support/testmain.h"
#include "tests/support/vcantestsupport.h"
#include "tools/rvk-module-sim/simulatedmodule.h"

#include <QDir>
#include <QFile>
#include <QProgressBar>
#include <QPushButton>
#include <memory>

class TestMainWindowReadoutVcan : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<SimulatedModule> module;

private slots:
    void init()
    {
        SimulatedModuleOptions options;
        // About a second and a half per transfer: time for a second click.
        options.frameDelayMs = 40;
        QString error;
        module = rvktest::startModuleOnPrivateBus(options, &error);
        QVERIFY2(module, qPrintable(error));
    }
    void cleanup()
    {
        rvktest::stopModuleOnPrivateBus(module);
        rvktest::removeEntries({QStringLiteral("Reports"), QStringLiteral("ssu")});
    }

    void secondClickDuringATransferSendsNoSecondRequest()
    {
        MainWindow window;
        ModalAnswerer answerer;
        auto *progress = window.findChild<QProgressBar *>(QStringLiteral("progressBar"));
        progress->setValue(0);
        auto *read = window.findChild<QPushButton *>(QStringLiteral("pushButton_ReadData"));
        // The virtual bus connects after the window opened it.
        QTRY_VERIFY_WITH_TIMEOUT(read->isEnabled(), 5000);

        read->click();
        QTRY_VERIFY_WITH_TIMEOUT(progress->value() >= 10, 5000);
        QVERIFY(progress->value() < 100);
        window.findChild<QPushButton *>(QStringLiteral("pushButton_ReadData"))->click();

        QTRY_COMPARE_WITH_TIMEOUT(QDir(QStringLiteral("ssu")).entryList(QDir::Files).size(), 1, 10000);
        QCOMPARE(module->reportsSent(), 1);
        int requests = 0;
        for (const CanMessage &message : module->received())
            requests += message.id == CanIdReadData ? 1 : 0;
        QCOMPARE(requests, 1);

        // One exact report: the module's EEPROM, under its serial number.
        QByteArray expected;
        for (const CanMessage &frame : module->reportFrames()) {
            if (!frame.rtr)
                expected.append(reinterpret_cast<const char *>(frame.data), frame.dlc);
        }
        const QStringList archives = QDir(QStringLiteral("ssu")).entryList(QDir::Files);
        QVERIFY2(archives.first().startsWith(QLatin1String("ssu_sn10457_")), qPrintable(archives.first()));
        QCOMPARE(rvktest::readFile(QStringLiteral("ssu/") + archives.first()), expected);
        QCOMPARE(QDir(QStringLiteral("Reports")).entryList({QStringLiteral("RVKReport_*")}, QDir::Files).size(), 1);
        QVERIFY(answerer.seen.isEmpty());
    }
};

RVK_TEST_MAIN(TestMainWindowReadoutVcan)
#include "tst_mainwindow_readout_vcan.moc"
