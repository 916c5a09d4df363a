// The debug monitor end to end: the window on the production link backends
// and the simulated module in this process, on a private virtual bus.
#include "app/mainwindow.h"
#include "diagnostics/dbgtextedit.h"
#include "diagnostics/verificationdialog.h"
#include "protocol/frameclassification.h"
#include "tests/support/modalanswerer.h"
#include "tests/support/testfiles.h"
#include "tests/support/testmain.h"
#include "tests/support/vcantestsupport.h"
#include "tools/rvk-module-sim/monitortext.h"
#include "tools/rvk-module-sim/simulatedmodule.h"

#include <QCheckBox>
#include <QPushButton>
#include <QDir>
#include <QLCDNumber>
#include <QRegularExpression>
#include <memory>

namespace {
// The readings of the module's sample n as the dialog would take them.
double reading(int sample, const char *pattern)
{
    const QString block = QString::fromLatin1(MonitorText::block(sample));
    return QRegularExpression(QLatin1String(pattern)).match(block).captured(1).toFloat();
}
} // namespace

class TestMonitorVcan : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<SimulatedModule> module;

private slots:
    void init()
    {
        SimulatedModuleOptions options;
        options.monitorPeriodMs = 200;
        QString error;
        module = rvktest::startModuleOnPrivateBus(options, &error);
        QVERIFY2(module, qPrintable(error));
    }
    void cleanup()
    {
        rvktest::stopModuleOnPrivateBus(module);
        QDir(QStringLiteral("log")).removeRecursively();
    }

    void streamedBlocksReachWindowDialogAndLog()
    {
        MainWindow window;
        ModalAnswerer answerer;
        auto *monitor = window.findChild<DbgTextEdit *>();
        auto *dialog = window.findChild<VerificationDialog *>();
        // The virtual bus connects after the window opened it.
        QTRY_VERIFY_WITH_TIMEOUT(window.findChild<QPushButton *>(QStringLiteral("pushButton_ReadData"))->isEnabled(), 5000);

        // Opening the log reads the module's serial number first.
        window.findChild<QCheckBox *>(QStringLiteral("checkBox_WriteToFile"))->setChecked(true);
        QTRY_COMPARE_WITH_TIMEOUT(
            QDir(QStringLiteral("log")).entryList({QStringLiteral("rvk_sn10457_*.log")}).size(), 1, 3000);

        QTest::keyClick(&window, Qt::Key_Plus);
        QTRY_VERIFY_WITH_TIMEOUT(module->monitorOn(), 3000);
        // A fourth block under way means three complete ones were handled.
        QTRY_VERIFY_WITH_TIMEOUT(module->monitorBlocksSent() >= 4, 5000);
        QTRY_VERIFY_WITH_TIMEOUT(monitor->toPlainText().count(QStringLiteral("Freq=")) >= 4, 20000);

        QTest::keyClick(monitor, Qt::Key_Minus);
        QTRY_VERIFY_WITH_TIMEOUT(!module->monitorOn(), 3000);
        QVERIFY(!monitor->isVisible());
        QVERIFY(!dialog->isVisible());
        // The window shows the module's text with the carriage returns gone,
        // once the frames already on their way when the module stopped are in.
        const int blocks = module->monitorBlocksSent();
        QString expectedText;
        for (int sample = 0; sample < blocks; ++sample)
            expectedText += QString::fromLatin1(MonitorText::block(sample)).remove(QLatin1Char('\r'));
        QTRY_COMPARE_WITH_TIMEOUT(monitor->toPlainText(), expectedText, 20000);

        // The read-outs show the last block.
        const auto lcd = [dialog](const char *name) { return dialog->findChild<QLCDNumber *>(QLatin1String(name)); };
        QCOMPARE(lcd("lcdNumber_RPM")->value(), double(reading(blocks - 1, "RPM=(\\d+)")));
        QCOMPARE(lcd("lcdNumber_Temp")->value(), reading(blocks - 1, "Temp=(\\d*\\.\\d+)"));
        QCOMPARE(lcd("lcdNumber_dataMaximal")->value(), reading(blocks - 1, "dataMaximal=(\\d*\\.\\d+)"));

        // The log holds the blocks received while it was open, one entry each.
        // Switching the monitor on opens the log again, under a new name if
        // the minute has changed since the check box opened it.
        const QStringList written = QDir(QStringLiteral("log")).entryList({QStringLiteral("rvk_sn10457_*.log")},
                                                                          QDir::Files, QDir::Time);
        QVERIFY(!written.isEmpty());
        const QString logged = QString::fromLocal8Bit(rvktest::readFile(QStringLiteral("log/") + written.first()));
        const QStringList entries =
            logged.split(QRegularExpression(QStringLiteral("\\[\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3}\\]\\n")),
                         Qt::SkipEmptyParts);
        QVERIFY2(entries.size() >= 3, qPrintable(logged));
        for (int sample = 0; sample < entries.size(); ++sample)
            QCOMPARE(entries.at(sample), QString::fromLatin1(MonitorText::block(sample)).remove(QLatin1Char('\r')));
        QVERIFY(answerer.seen.isEmpty());
    }
};

RVK_TEST_MAIN(TestMonitorVcan)
#include "tst_monitor_vcan.moc"
