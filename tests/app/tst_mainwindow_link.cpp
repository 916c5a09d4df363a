// Link set-up, guard, supervision and the adapter list through the real
// window, over the scripted driver and D2XX.
#include "canids.h"
#include "faked2xx.h"
#include "fakektxdriver.h"
#include "mainwindow.h"
#include "modalanswerer.h"
#include "testmain.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>

#include <memory>

namespace {
const QString green = QStringLiteral("QLabel { border-radius: 10px; background-color: green; color: white;}");
const QString red = QStringLiteral("QLabel { border-radius: 10px; background-color: red; color: white;}");
const QString lossText = QStringLiteral("Отсутствует связь с модулем RVK\nПроверьте подключение адаптера KIVO и модуля RVK");
} // namespace

class TestMainWindowLink : public QObject
{
    Q_OBJECT

private:
    FakeKtxDriver *driver = nullptr;
    FakeD2xx *d2xx = nullptr;
    std::unique_ptr<MainWindow> window;

    void makeWindow(bool stopSupervision = true)
    {
        window = std::make_unique<MainWindow>();
        // Supervision ticks are driven by hand, so a tick of the real timer
        // cannot add a box or an attempt in the middle of a case.
        if (stopSupervision) {
            for (QTimer *timer : window->findChildren<QTimer *>())
                if (timer->interval() == 1000)
                    timer->stop();
        }
    }
    QLabel *indicator() const
    {
        for (QLabel *label : window->statusBar()->findChildren<QLabel *>())
            if (label->text() == QLatin1String(" KIVO "))
                return label;
        return nullptr;
    }
    QPushButton *readButton() const { return window->findChild<QPushButton *>(QStringLiteral("pushButton_ReadData")); }
    QComboBox *adapters() const { return window->findChild<QComboBox *>(QStringLiteral("comboBox_InfoDevice")); }
    void superviseOnce() { QVERIFY(QMetaObject::invokeMethod(window.get(), "checkCANError")); }
    bool linkShownUp() const
    {
        return indicator()->styleSheet() == green && readButton()->isEnabled()
            && readButton()->styleSheet() == QLatin1String("background-color:DarkGreen; color:white;");
    }
    bool linkShownDown() const
    {
        return indicator()->styleSheet() == red && !readButton()->isEnabled()
            && readButton()->styleSheet() == QLatin1String("background-color:white; color:Gray;");
    }

private slots:
    void init()
    {
        driver = FakeKtxDriver::install();
        d2xx = FakeD2xx::install();
    }
    void cleanup() { window.reset(); }
    void cleanupTestCase() { installD2xx(nullptr); }

    void openResult_data()
    {
        QTest::addColumn<int>("openResult");
        QTest::addColumn<bool>("opened");
        for (int result : {0, 2, 15, 20, 1000, -1, -6, -100})
            QTest::addRow("%d proceeds", result) << result << true;
        for (int result : {1, 16, 17, 18, 19})
            QTest::addRow("%d abandons", result) << result << false;
    }
    void openResult()
    {
        QFETCH(int, openResult);
        QFETCH(bool, opened);
        driver->openResult = openResult;
        makeWindow();
        QCOMPARE(driver->callCount(QStringLiteral("setup")), opened ? 1 : 0);
        QCOMPARE(driver->callCount(QStringLiteral("close")), opened ? 0 : 1);
        QCOMPARE(linkShownUp(), opened);
        QCOMPARE(linkShownDown(), !opened);
        if (opened)
            QCOMPARE(driver->lastSetupRecord, QByteArray::fromHex("AA07A0070000000B3100"));
    }

    void setupAndInfoGuardTheOpen_data()
    {
        QTest::addColumn<int>("setupResult");
        QTest::addColumn<int>("infoResult");
        QTest::addColumn<bool>("opened");
        QTest::addColumn<QStringList>("calls");
        const QStringList full{"open", "setup", "deviceInfo", "info"};
        QTest::newRow("all well") << 0 << 0 << true << full;
        QTest::newRow("setup -1") << -1 << 0 << false << QStringList{"open", "setup", "close"};
        QTest::newRow("setup -6") << -6 << 0 << false << QStringList{"open", "setup", "close"};
        QTest::newRow("setup 3 is no failure") << 3 << 0 << true << full;
        QTest::newRow("info -3") << 0 << -3 << false << full + QStringList{"close"};
        QTest::newRow("info 2 passes the guard") << 0 << 2 << true << full;
    }
    void setupAndInfoGuardTheOpen()
    {
        QFETCH(int, setupResult);
        QFETCH(int, infoResult);
        QFETCH(bool, opened);
        QFETCH(QStringList, calls);
        driver->setupResult = setupResult;
        driver->infoResult = infoResult;
        makeWindow();
        QCOMPARE(driver->calls.mid(0, calls.size()), calls);
        QCOMPARE(linkShownUp(), opened);
    }

    void guardBeforeSending_data()
    {
        QTest::addColumn<int>("info");
        QTest::addColumn<bool>("sent");
        for (int result : {-6, -5, -4, -3, -2, -1})
            QTest::addRow("%d drops the request", result) << result << false;
        for (int result : {0, 1, 7, -7})
            QTest::addRow("%d sends it", result) << result << true;
    }
    void guardBeforeSending()
    {
        QFETCH(int, info);
        QFETCH(bool, sent);
        makeWindow();
        driver->calls.clear();
        driver->infoResult = info;
        QVERIFY(QMetaObject::invokeMethod(window.get(), "on_pushButton_ReadData_clicked"));
        QCOMPARE(driver->written.size(), sent ? 1 : 0);
        QCOMPARE(driver->callCount(QStringLiteral("close")), sent ? 0 : 1);
    }

    // Any non-zero answer is a loss for supervision, positive ones included.
    void lossAsksAndReconnects_data()
    {
        QTest::addColumn<int>("info");
        QTest::newRow("closed") << -1;
        QTest::newRow("bus-off") << -4;
        QTest::newRow("positive") << 1;
    }
    void lossAsksAndReconnects()
    {
        QFETCH(int, info);
        makeWindow();
        ModalAnswerer answerer;
        answerer.press(QMessageBox::Retry);
        driver->calls.clear();
        driver->infoResults << info << 0 << 0;
        superviseOnce();
        QCOMPARE(answerer.seen.size(), 1);
        QCOMPARE(answerer.seen.first().title, QStringLiteral("Ошибка"));
        QCOMPARE(answerer.seen.first().text, lossText);
        QCOMPARE(answerer.seen.first().buttons.size(), 3);
        QCOMPARE(driver->calls, (QStringList{"info", "close", "open", "setup", "deviceInfo", "info"}));
        QVERIFY(linkShownUp());
    }

    void presentLinkAsksNothing()
    {
        makeWindow();
        ModalAnswerer answerer;
        driver->calls.clear();
        superviseOnce();
        QCOMPARE(driver->calls, QStringList{"info"});
        QVERIFY(answerer.seen.isEmpty());
    }

    void failedReconnectShowsTheLinkDown()
    {
        makeWindow();
        QVERIFY(linkShownUp());
        ModalAnswerer answerer;
        answerer.press(QMessageBox::Retry);
        driver->infoResult = -1;
        driver->openResult = 1;
        superviseOnce();
        QCOMPARE(answerer.seen.size(), 1);
        QVERIFY(linkShownDown());
    }

    void ignoreSilencesUntilTheLinkIsSeen()
    {
        makeWindow();
        ModalAnswerer answerer;
        answerer.press(QMessageBox::Ignore);
        driver->infoResult = -1;
        driver->openResult = 1;
        superviseOnce();
        QCOMPARE(answerer.seen.size(), 1);

        // Silent attempts once a second while the link stays lost.
        for (int tick = 0; tick < 3; ++tick) {
            driver->calls.clear();
            superviseOnce();
            QCOMPARE(driver->callCount(QStringLiteral("open")), 1);
        }
        QCOMPARE(answerer.seen.size(), 1);

        driver->infoResult = 0;
        superviseOnce();
        driver->infoResult = -1;
        answerer.press(QMessageBox::Retry);
        superviseOnce();
        QCOMPARE(answerer.seen.size(), 2);
        QCOMPARE(answerer.pending(), 0);
    }

    void abortClosesTheWindowAndStillTriesOnce()
    {
        makeWindow();
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        ModalAnswerer answerer;
        answerer.press(QMessageBox::Abort);
        driver->infoResult = -1;
        driver->calls.clear();
        superviseOnce();
        QCOMPARE(answerer.seen.size(), 1);
        QVERIFY(!window->isVisible());
        QCOMPARE(driver->callCount(QStringLiteral("open")), 1);
    }

    void startWithoutAdapterReportsWithinASecond()
    {
        driver->openResult = 1;
        driver->infoResult = -1;
        ModalAnswerer answerer;
        answerer.press(QMessageBox::Ignore);
        makeWindow(false);
        QVERIFY(linkShownDown());
        QVERIFY(answerer.seen.isEmpty());
        QVERIFY(answerer.waitForBoxes(1, 1500));
        QCOMPARE(answerer.seen.first().text, lossText);
    }

    void adapterList_data()
    {
        QTest::addColumn<QStringList>("devices");
        QTest::addColumn<QStringList>("items");
        QTest::addColumn<int>("current");
        QTest::addColumn<QByteArray>("opened");
        QTest::newRow("none") << QStringList{} << QStringList{} << -1 << QByteArray("VXA");
        QTest::newRow("exactly one") << QStringList{"virtualcan/can0"} << QStringList{"virtualcan/can0"} << 0
                                     << QByteArray("virtualcan/can0");
        QTest::newRow("one, Latin-1 to UTF-8") << QStringList{QStringLiteral("Adapt\u00e9r")}
                                               << QStringList{QStringLiteral("Adapt\u00e9r")} << 0
                                               << QByteArray("Adapt\xc3\xa9r");
        QTest::newRow("several, none matching") << QStringList{"a", "b", "c"} << QStringList{"a", "b", "c"} << 0
                                                << QByteArray("VXA");
        QTest::newRow("remembered one twice") << QStringList{"VXA", "b", "VXA"} << QStringList{"VXA", "b", "VXA"} << 2
                                              << QByteArray("VXA");
    }
    void adapterList()
    {
        QFETCH(QStringList, devices);
        QFETCH(QStringList, items);
        QFETCH(int, current);
        QFETCH(QByteArray, opened);
        d2xx->devices = devices;
        makeWindow();
        QStringList shown;
        for (int i = 0; i < adapters()->count(); ++i)
            shown << adapters()->itemText(i);
        QCOMPARE(shown, items);
        QCOMPARE(adapters()->currentIndex(), current);
        QCOMPARE(driver->openedDescription, opened);
        // The remembered adapter's modem lines are pulsed before the count.
        QCOMPARE(d2xx->log.first(), QStringLiteral("open VXA"));
        QCOMPARE(d2xx->log.indexOf(QStringLiteral("list count")), d2xx->log.lastIndexOf(QStringLiteral("close")) + 1);
    }

    void vanishedAdaptersKeepTheList()
    {
        d2xx->devices = QStringList{"a", "b"};
        makeWindow();
        d2xx->devices.clear();
        driver->infoResult = -1;
        ModalAnswerer answerer;
        answerer.press(QMessageBox::Retry);
        superviseOnce();
        QCOMPARE(adapters()->count(), 2);
        QCOMPARE(driver->openedDescription, QByteArray("VXA"));
    }

    void changeOfAdapterReconnectsOnTheNextTick()
    {
        d2xx->devices = QStringList{"a", "b"};
        makeWindow();
        driver->calls.clear();
        adapters()->setCurrentIndex(1);
        QVERIFY(QMetaObject::invokeMethod(window.get(), "on_comboBox_InfoDevice_activated", Q_ARG(int, 1)));
        QCOMPARE(driver->calls, QStringList{"close"});

        ModalAnswerer answerer;
        answerer.press(QMessageBox::Retry);
        driver->infoResults << -1;
        superviseOnce();
        QCOMPARE(answerer.seen.size(), 1);
        QCOMPARE(driver->openedDescription, QByteArray("b"));
        QCOMPARE(adapters()->currentIndex(), 1);
        QVERIFY(linkShownUp());
    }

    void exitClosesTheChannelFirst()
    {
        d2xx->devices = QStringList{"VXA"};
        makeWindow();
        driver->calls.clear();
        d2xx->log.clear();
        window.reset();
        QCOMPARE(driver->calls.value(0), QStringLiteral("close"));
        QCOMPARE(d2xx->log, (QStringList{"open VXA", "clrRts", "setRts", "setDtr", "close", "setDtr", "close"}));
    }
};

RVK_TEST_MAIN(TestMainWindowLink)
#include "tst_mainwindow_link.moc"
