#include "diagnostics/verificationdialog.h"
#include "tests/support/testmain.h"

#include <QLCDNumber>
#include <QLabel>
#include <QSignalSpy>
#include <QtTest>

namespace {
const char *const readOutNames[] = {
    "lcdNumber_Freq",      "lcdNumber_RPM",       "lcdNumber_Vin",       "lcdNumber_Vout",      "lcdNumber_Aout",
    "lcdNumber_Temp",      "lcdNumber_Xaccel",    "lcdNumber_Yaccel",    "lcdNumber_Maximal_X", "lcdNumber_Average_X",
    "lcdNumber_Maximal_Y", "lcdNumber_Average_Y", "lcdNumber_dataMaximal",
};

QString labelText(const VerificationDialog &dialog, const char *name)
{
    const auto *label = dialog.findChild<QLabel *>(QLatin1String(name));
    return label ? label->text() : QStringLiteral("<missing %1>").arg(QLatin1String(name));
}

double shown(const VerificationDialog &dialog, const char *name)
{
    const auto *lcd = dialog.findChild<QLCDNumber *>(QLatin1String(name));
    return lcd ? lcd->value() : -12345.0;
}
} // namespace

class TestVerificationDialog : public QObject
{
    Q_OBJECT

private slots:
    void readOutsAreSevenDigitsWhiteOnBlue();
    void parseUpdatesOnlyReadingsFound_data();
    void parseUpdatesOnlyReadingsFound();
    void valuesStayUntilReplaced();
    void closeNotifiesOwner();
    void switchesLanguageBothWays();
};

void TestVerificationDialog::readOutsAreSevenDigitsWhiteOnBlue()
{
    VerificationDialog dialog;
    QCOMPARE(dialog.objectName(), QStringLiteral("VerificationDialog"));
    QCOMPARE(dialog.size(), QSize(354, 364));
    QCOMPARE(dialog.findChildren<QLCDNumber *>().size(), 13);
    for (const char *name : readOutNames) {
        const auto *lcd = dialog.findChild<QLCDNumber *>(QLatin1String(name));
        QVERIFY2(lcd, name);
        QCOMPARE(lcd->digitCount(), 7);
        QCOMPARE(lcd->styleSheet(), QStringLiteral("color: rgb(255, 255, 255);\nbackground : rgb(0, 0, 127);"));
        const bool filled = qstrcmp(name, "lcdNumber_RPM") == 0 || qstrcmp(name, "lcdNumber_Freq") == 0;
        QCOMPARE(lcd->segmentStyle(), filled ? QLCDNumber::Filled : QLCDNumber().segmentStyle());
    }
}

void TestVerificationDialog::parseUpdatesOnlyReadingsFound_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("readOut");
    QTest::addColumn<double>("expected");

    // Every read-out starts at 7 here, so an unchanged one is told apart
    // from one reset to zero.
    QTest::newRow("RPM") << QStringLiteral("RPM=1500\r\nTemp=35.25\r\n") << "lcdNumber_RPM" << 1500.0;
    QTest::newRow("Temp") << QStringLiteral("RPM=1500\r\nTemp=35.25\r\n") << "lcdNumber_Temp" << 35.25;
    QTest::newRow("Vin untouched") << QStringLiteral("RPM=1500\r\nTemp=35.25\r\n") << "lcdNumber_Vin" << 7.0;
    QTest::newRow("RPM=1500.5") << QStringLiteral("RPM=1500.5") << "lcdNumber_RPM" << 1500.0;
    QTest::newRow("Vin=.5") << QStringLiteral("Vin=.5") << "lcdNumber_Vin" << 0.5;
    QTest::newRow("Vin=5.") << QStringLiteral("Vin=5.") << "lcdNumber_Vin" << 7.0;
    QTest::newRow("Temp=-3.5") << QStringLiteral("Temp=-3.5") << "lcdNumber_Temp" << 7.0;
    QTest::newRow("Temp=21") << QStringLiteral("Temp=21") << "lcdNumber_Temp" << 7.0;
    QTest::newRow("Freq") << QStringLiteral("Freq=50.5") << "lcdNumber_Freq" << 50.5;
    QTest::newRow("Vout") << QStringLiteral("Vout=12.5") << "lcdNumber_Vout" << 12.5;
    QTest::newRow("Aout") << QStringLiteral("Aout=1.25") << "lcdNumber_Aout" << 1.25;
    QTest::newRow("Xaccel on Z") << QStringLiteral("Xaccel=0.5") << "lcdNumber_Xaccel" << 0.5;
    QTest::newRow("Yaccel") << QStringLiteral("Yaccel=0.75") << "lcdNumber_Yaccel" << 0.75;
    QTest::newRow("maximal X") << QStringLiteral("dataMaximal_X=1.5") << "lcdNumber_Maximal_X" << 1.5;
    QTest::newRow("maximal X is not maximal") << QStringLiteral("dataMaximal_X=1.5") << "lcdNumber_dataMaximal"
                                              << 7.0;
    QTest::newRow("average X") << QStringLiteral("dataAverage_X=2.5") << "lcdNumber_Average_X" << 2.5;
    QTest::newRow("maximal Y") << QStringLiteral("dataMaximal_Y=3.5") << "lcdNumber_Maximal_Y" << 3.5;
    QTest::newRow("average Y") << QStringLiteral("dataAverage_Y=4.5") << "lcdNumber_Average_Y" << 4.5;
    QTest::newRow("maximal") << QStringLiteral("dataMaximal_Y=3.5 dataMaximal=5.5") << "lcdNumber_dataMaximal"
                             << 5.5;
}

void TestVerificationDialog::parseUpdatesOnlyReadingsFound()
{
    QFETCH(QString, text);
    QFETCH(QString, readOut);
    QFETCH(double, expected);

    VerificationDialog dialog;
    for (QLCDNumber *lcd : dialog.findChildren<QLCDNumber *>())
        lcd->display(7);
    dialog.parseMonitorText(text);
    QCOMPARE(shown(dialog, qPrintable(readOut)), expected);
}

void TestVerificationDialog::valuesStayUntilReplaced()
{
    VerificationDialog dialog;
    dialog.show();
    dialog.parseMonitorText(QStringLiteral("Freq=50.5\r\nAout=2.5\r\n"));
    dialog.close();
    dialog.parseMonitorText(QStringLiteral("Aout=3.5\r\n"));
    dialog.show();
    QCOMPARE(shown(dialog, "lcdNumber_Freq"), 50.5);
    QCOMPARE(shown(dialog, "lcdNumber_Aout"), 3.5);
}

void TestVerificationDialog::closeNotifiesOwner()
{
    VerificationDialog dialog;
    QSignalSpy closed(&dialog, SIGNAL(VerificationDialogClosed()));
    dialog.show();
    QVERIFY(dialog.close());
    QCOMPARE(closed.count(), 1);
    QVERIFY(!dialog.isVisible());
}

void TestVerificationDialog::switchesLanguageBothWays()
{
    QVERIFY2(QFile::exists(QCoreApplication::applicationDirPath() + QStringLiteral("/RVKReport_en_GB.qm")),
             "this test runs with the translation file beside it");
    VerificationDialog dialog;
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Dialog"));
    QCOMPARE(labelText(dialog, "label_Freq"), QStringLiteral("Частота"));

    dialog.slotSetLanguage(1);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Sensor values"));
    QCOMPARE(labelText(dialog, "label_Freq"), QStringLiteral("Frequency"));
    QCOMPARE(labelText(dialog, "label_RPM"), QStringLiteral("Rotation speed"));
    QCOMPARE(labelText(dialog, "label_Vin"), QStringLiteral("Input voltage"));
    QCOMPARE(labelText(dialog, "label_Vout"), QStringLiteral("Output voltage"));
    QCOMPARE(labelText(dialog, "label_Aout"), QStringLiteral("Current consumption"));
    QCOMPARE(labelText(dialog, "label_Temp"), QStringLiteral("Temperature"));
    QCOMPARE(labelText(dialog, "label"), QStringLiteral("Accelerometer"));
    QCOMPARE(labelText(dialog, "label_Xaccel"), QStringLiteral("Z"));
    QCOMPARE(labelText(dialog, "label_Average_X"), QStringLiteral("Z average"));
    QCOMPARE(labelText(dialog, "label_Average_Y"), QStringLiteral("Y average"));
    QCOMPARE(labelText(dialog, "label_Maximal_X"), QStringLiteral("Z maximum"));
    QCOMPARE(labelText(dialog, "label_Maximal_Y"), QStringLiteral("Y maximum"));
    QCOMPARE(labelText(dialog, "label_dataMaximal"), QStringLiteral("Vibration maximum"));
    // Each reading with its unit, in the same language.
    QCOMPARE(labelText(dialog, "label_FreqUnit"), QStringLiteral("Hz"));
    QCOMPARE(labelText(dialog, "label_RPMUnit"), QStringLiteral("rpm"));
    QCOMPARE(labelText(dialog, "label_VinUnit"), QStringLiteral("V"));
    QCOMPARE(labelText(dialog, "label_VoutUnit"), QStringLiteral("V"));
    QCOMPARE(labelText(dialog, "label_AoutUnit"), QStringLiteral("mA"));
    QCOMPARE(labelText(dialog, "label_TempUnit"), QStringLiteral("°C"));
    QCOMPARE(labelText(dialog, "label_AccelerometerUnit"), QStringLiteral("Acceleration and vibration in g"));
    // The application's one translator stays: boxes and later texts follow.
    QCOMPARE(QCoreApplication::translate("VerificationDialog", "Частота"), QStringLiteral("Frequency"));

    dialog.slotSetLanguage(7);
    QCOMPARE(labelText(dialog, "label_Freq"), QStringLiteral("Frequency"));

    dialog.slotSetLanguage(0);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Значения датчиков"));
    QCOMPARE(labelText(dialog, "label_Freq"), QStringLiteral("Частота"));
    QCOMPARE(QCoreApplication::translate("VerificationDialog", "Частота"), QStringLiteral("Частота"));
    QCOMPARE(labelText(dialog, "label"), QStringLiteral("Акселерометр"));
    QCOMPARE(labelText(dialog, "label_dataMaximal"), QStringLiteral("Вибрация максимум"));
    QCOMPARE(labelText(dialog, "label_TempUnit"), QStringLiteral("°С"));
    QCOMPARE(labelText(dialog, "label_AoutUnit"), QStringLiteral("мА"));
}

RVK_TEST_MAIN(TestVerificationDialog)
#include "tst_verificationdialog.moc"
