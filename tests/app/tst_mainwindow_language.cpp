#include "diagnostics/verificationdialog.h"
#include "report/reportrecord.h"
#include "ssu/gui/ssudialog.h"
#include "tests/support/mainwindowfixture.h"
#include "tests/support/modalanswerer.h"
#include "tests/support/testfiles.h"
#include "tests/support/testmain.h"

#include <QAction>
#include <QDateEdit>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QSpinBox>
#include <QToolBar>

// The language switch with the translation file beside the program.
class TestMainWindowLanguage : public QObject, public rvktest::MainWindowFixture
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void storedLanguageChoosesTheStart_data();
    void storedLanguageChoosesTheStart();
    void switchingBackAndForthKeepsTheFormValues();
    void everythingFollowsEverySwitchFromAnEnglishStart();
    void formTexts_data();
    void formTexts();

private:
    static void storeLanguage(const QVariant &code);
    static QVariant storedLanguage();
};

void TestMainWindowLanguage::storeLanguage(const QVariant &code)
{
    rvktest::nativeSettings().setValue(QStringLiteral("Settings/Language"), code);
}

QVariant TestMainWindowLanguage::storedLanguage()
{
    return rvktest::nativeSettings().value(QStringLiteral("Settings/Language"));
}

void TestMainWindowLanguage::init()
{
    installDriver();
}

void TestMainWindowLanguage::cleanup()
{
    closeWindow();
    rvktest::nativeSettings().clear();
}

void TestMainWindowLanguage::storedLanguageChoosesTheStart_data()
{
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<int>("storedAfter");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("adapterLabel");
    QTest::addColumn<QLocale::Language>("dateLocale");
    QTest::newRow("English") << QVariant(1) << 1 << QStringLiteral("RVK Report v2.1.1")
                             << QStringLiteral("Adapter Name") << QLocale::English;
    QTest::newRow("Russian") << QVariant(0) << 0 << QStringLiteral("RVK Отчёт v2.1.1")
                             << QStringLiteral("Имя адаптера") << QLocale::Russian;
    QTest::newRow("absent starts Russian") << QVariant() << 0 << QStringLiteral("RVK Отчёт v2.1.1")
                                           << QStringLiteral("Имя адаптера") << QLocale::Russian;
    QTest::newRow("unknown code 7 is replaced by Russian")
        << QVariant(7) << 0 << QStringLiteral("RVK Отчёт v2.1.1") << QStringLiteral("Имя адаптера") << QLocale::Russian;
}

void TestMainWindowLanguage::storedLanguageChoosesTheStart()
{
    QFETCH(QVariant, stored);
    QFETCH(int, storedAfter);
    QFETCH(QString, title);
    QFETCH(QString, adapterLabel);
    QFETCH(QLocale::Language, dateLocale);
    if (stored.isValid())
        storeLanguage(stored);

    ModalAnswerer answerer;
    createWindow();

    QCOMPARE(answerer.seen.size(), 0);
    QCOMPARE(window->windowTitle(), title);
    QCOMPARE(widget<QLabel>("label_InfoDevice")->text(), adapterLabel);
    QCOMPARE(storedLanguage().toInt(), storedAfter);
    QCOMPARE(widget<QAction>("actionLangEng")->isChecked(), storedAfter == 1);
    QCOMPARE(widget<QAction>("actionLangRus")->isChecked(), storedAfter == 0);
    QCOMPARE(widget<QDateEdit>("dateEdit")->locale().language(), dateLocale);
    // The start-up switch already put the window's values over the form's "---".
    QCOMPARE(widget<QLabel>("label_TotalTime")->text(), QStringLiteral("0"));
    QCOMPARE(widget<QLabel>("label_IRTime")->text(), QStringLiteral("0"));
    QCOMPARE(widget<QLabel>("label_FWVersion")->text(), QStringLiteral("v"));
}

void TestMainWindowLanguage::switchingBackAndForthKeepsTheFormValues()
{
    createWindow();
    QSignalSpy spy(window.get(), SIGNAL(signalSetLanguage(uchar)));
    auto *totalTime = widget<QLabel>("label_TotalTime");
    auto *repairTime = widget<QLabel>("label_IRTime");
    auto *firmware = widget<QLabel>("label_FWVersion");

    for (int round = 0; round < 2; ++round) {
        QVERIFY(trigger("actionLangEng"));
        QCOMPARE(window->windowTitle(), QStringLiteral("RVK Report v2.1.1"));
        QCOMPARE(widget<QPushButton>("pushButton_ReadData")->text(), QStringLiteral("Read the report"));
        QCOMPARE(totalTime->text(), QStringLiteral("0"));
        QCOMPARE(repairTime->text(), QStringLiteral("0"));
        QCOMPARE(firmware->text(), QStringLiteral("v"));
        QCOMPARE(storedLanguage().toInt(), 1);
        QCOMPARE(widget<QDateEdit>("dateEdit")->locale().language(), QLocale::English);

        QVERIFY(trigger("actionLangRus"));
        QCOMPARE(window->windowTitle(), QStringLiteral("RVK Отчёт v2.1.1"));
        QCOMPARE(widget<QPushButton>("pushButton_ReadData")->text(), QStringLiteral("Прочитать отчёт"));
        QCOMPARE(totalTime->text(), QStringLiteral("0"));
        QCOMPARE(repairTime->text(), QStringLiteral("0"));
        QCOMPARE(firmware->text(), QStringLiteral("v"));
        QCOMPARE(storedLanguage().toInt(), 0);
        QCOMPARE(widget<QDateEdit>("dateEdit")->locale().language(), QLocale::Russian);
    }

    QCOMPARE(spy.size(), 4);
    const QList<int> codes{spy.at(0).at(0).value<uchar>(), spy.at(1).at(0).value<uchar>(),
                           spy.at(2).at(0).value<uchar>(), spy.at(3).at(0).value<uchar>()};
    QCOMPARE(codes, QList<int>({1, 0, 1, 0}));
}

void TestMainWindowLanguage::everythingFollowsEverySwitchFromAnEnglishStart()
{
    storeLanguage(1);
    createWindow();
    auto *sensorDialog = window->findChild<VerificationDialog *>();
    auto *ssuDialog = window->findChild<SSUDialog *>();
    auto *readButton = widget<QPushButton>("pushButton_ReadData");
    QLabel *kivo = kivoLight();
    QVERIFY(kivo);

    const char *const switches[] = {"actionLangRus", "actionLangEng",
                                    "actionLangRus"};
    for (const char *languageSwitch : switches) {
        QVERIFY(trigger(languageSwitch));
        const bool russian = QByteArray(languageSwitch).contains("Rus");
        QCOMPARE(readButton->text(), russian ? QStringLiteral("Прочитать отчёт") : QStringLiteral("Read the report"));
        QCOMPARE(sensorDialog->windowTitle(), russian ? QStringLiteral("Значения датчиков") : QStringLiteral("Sensor values"));
        QCOMPARE(ssuDialog->windowTitle(), russian ? QStringLiteral("Система статистического учёта RVK")
                                                   : QStringLiteral("Statistical accounting system RVK"));

        QCOMPARE(kivo->toolTip(), russian ? QStringLiteral("Индикатор подключения к KIVO")
                                               : QStringLiteral("KIVO connection indicator"));

        ModalAnswerer answerer;
        QVERIFY(trigger("actionInfo"));
        QCOMPARE(answerer.seen.value(0).title, russian ? QStringLiteral("О программе") : QStringLiteral("About"));

        // A read-out after the switch writes its document in the chosen language.
        rvktest::removeEntries({QStringLiteral("Reports")});
        QVERIFY(requestReport());
        sendReport(QByteArray(ReportRecordSize, '\0'));
        // With it, the comparison ("RVKChanges_...", listed first).
        QTRY_COMPARE(rvktest::filesIn(QStringLiteral("Reports")).size(), 2);
        const QStringList documents = rvktest::filesIn(QStringLiteral("Reports"));
        const QString html = rvktest::readWindows1251File(QStringLiteral("Reports/") + documents.last());
        QCOMPARE(html.contains(QStringLiteral("Отчёт модуля питания генератора RVK")), russian);
        QCOMPARE(html.contains(QStringLiteral("Generator Power Supply Module Report")), !russian);
        QCOMPARE(html.contains(QStringLiteral("Гистограмма полной наработки")), russian);
        const QString changes = QString::fromUtf8(rvktest::readFile(QStringLiteral("Reports/") + documents.first()));
        QCOMPARE(changes.contains(QStringLiteral("<h1>С прошлого отчёта</h1>")), russian);
        QCOMPARE(changes.contains(QStringLiteral("<h1>Since the last report</h1>")), !russian);
    }
}

void TestMainWindowLanguage::formTexts_data()
{
    QTest::addColumn<QString>("object");
    QTest::addColumn<QByteArray>("property");
    QTest::addColumn<QString>("russian");
    QTest::addColumn<QString>("english");
    auto row = [](const char *object, const char *property, const QString &russian, const QString &english) {
        QTest::addRow("%s.%s", object, property) << QString::fromLatin1(object) << QByteArray(property) << russian
                                                 << english;
    };
    row("actionLangRus", "text", "RUS", "RUS");
    row("actionLangRus", "toolTip", "Выбрать русский язык", "Choose Russian language");
    row("actionLangEng", "text", "ENG", "ENG");
    row("actionLangEng", "toolTip", "Выбрать английский язык", "Choose English language");
    row("actionInfo", "text", "Info", "Info");
    row("actionInfo", "toolTip", "О программе", "About");
    row("actionSSU", "text", "SSU", "SAS");
    row("actionSSU", "toolTip", "Система статистического учёта RVK", "Statistical accounting system RVK");
    row("actionFleet", "text", "Парк модулей", "Module fleet");
    row("label_InfoDevice", "text", "Имя адаптера", "Adapter Name");
    row("label_TTName", "text", "Полная наработка", "Full operating time");
    row("label_IRTName", "text", "Межремонтная наработка", "Inter-repair time");
    row("label_TTUnit", "text", "часов", "hours");
    row("label_IRTUnit", "text", "часов", "hours");
    row("label_SNName", "text", "Серийный номер", "Serial number");
    row("label_Date", "text", "Дата выпуска", "Release date");
    row("label_HitName", "text", "Уровень удара, g", "Impact level, g");
    row("label_FWName", "text", "Версия прошивки", "Firmware version");
    row("pushButton_SetSN", "text", "Установить", "Set");
    row("pushButton_SetDate", "text", "Установить", "Set");
    row("pushButton_SetHit", "text", "Установить", "Set");
    row("pushButton_IRTClear", "toolTip", "ВНИМАНИЕ! Данные межремонтной наработки будут безвозвратно удалены!",
        "Attention! The data of the inter-repair work will be permanently deleted!");
    row("pushButton_IRTClear", "text", "Сбросить межремонтную наработку", "Reset inter-repair time");
    row("pushButton_EEPROMClear", "toolTip", "ВНИМАНИЕ! Все данные будут безвозвратно удалены!",
        "Attention! All data will be permanently deleted!");
    row("pushButton_EEPROMClear", "text", "Очистить EEPROM (удалит все данные)", "Delete all data");
    row("pushButton_ReadData", "text", "Прочитать отчёт", "Read the report");
    row("pushButton_MonitorOn", "text", "Включить отладочный монитор", "Enable debugging monitor");
    row("pushButton_MonitorOff", "text", "Выключить отладочный монитор", "Disable debugging monitor");
    row("label", "text", QString(), QString());
    row("checkBox_WriteToFile", "text", "Записывать лог в файл", "Write log to file");
    row("toolBar", "windowTitle", "toolBar", "toolBar");
}

void TestMainWindowLanguage::formTexts()
{
    QFETCH(QString, object);
    QFETCH(QByteArray, property);
    QFETCH(QString, russian);
    QFETCH(QString, english);
    createWindow();
    // The sensor values dialog has a "label" of its own: look only at the
    // window's direct children (actions, tool bar) and its central widget.
    QObject *target = window->findChild<QObject *>(object, Qt::FindDirectChildrenOnly);
    if (!target)
        target = window->centralWidget()->findChild<QObject *>(object);
    QVERIFY2(target, qPrintable(object));

    QVERIFY(trigger("actionLangRus"));
    QCOMPARE(target->property(property.constData()).toString(), russian);
    QVERIFY(trigger("actionLangEng"));
    QCOMPARE(target->property(property.constData()).toString(), english);
}

RVK_TEST_MAIN(TestMainWindowLanguage)
#include "tst_mainwindow_language.moc"
