// Link set-up, guard, supervision and the adapter list through the real
// window, over the scripted driver and D2XX.
#include "tests/support/faked2xx.h"
#include "tests/support/mainwindowfixture.h"
#include "tests/support/modalanswerer.h"
#include "tests/support/testmain.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTimer>

namespace {
const QString green = QStringLiteral("QLabel { border-radius: 10px; background-color: green; color: white;}");
const QString red = QStringLiteral("QLabel { border-radius: 10px; background-color: red; color: white;}");
const QString lossText = QStringLiteral("Отсутствует связь с модулем RVK\nПроверьте подключение адаптера KIVO и модуля RVK");
} // namespace

class TestMainWindowLink : public QObject, public rvktest::MainWindowFixture
{
    Q_OBJECT

private:
    FakeD2xx *d2xx = nullptr;

    // Interfaces that come and go: the D2XX lists what is attached, and the
    // driver opens only that and loses a channel whose interface goes.
    void attachInterfaces(const QStringList &interfaces)
    {
        d2xx->devices = interfaces;
        FakeD2xx *list = d2xx;
        driver->attached = [list](const QByteArray &description) {
            return list->devices.contains(QString::fromUtf8(description));
        };
    }
    QTimer *supervision() const { return rvktest::supervisionTimer(*window); }
    // The supervision period the windows of this test are built with.
    static int period() { return StationTimings::current().supervisionMs; }
    // The real supervision timer runs; this waits until it has completed
    // count more ticks (a tick with an open box completes when it closes).
    bool waitForTicks(int count)
    {
        QSignalSpy ticks(supervision(), &QTimer::timeout);
        QElapsedTimer clock;
        clock.start();
        while (ticks.count() < count && clock.elapsed() < count * period() + 2000)
            QTest::qWait(qMax(1, period() / 10));
        return ticks.count() >= count;
    }
    QPushButton *readButton() const { return widget<QPushButton>("pushButton_ReadData"); }
    QComboBox *adapters() const { return widget<QComboBox>("comboBox_InfoDevice"); }
    QStringList listedAdapters() const
    {
        QStringList shown;
        for (int i = 0; i < adapters()->count(); ++i)
            shown << adapters()->itemText(i);
        return shown;
    }
    void choose(int index)
    {
        adapters()->setCurrentIndex(index);
        emit adapters()->activated(index);
    }
    bool linkShownUp() const
    {
        return kivoLight()->styleSheet() == green && readButton()->isEnabled()
            && readButton()->styleSheet() == QLatin1String("background-color:DarkGreen; color:white;");
    }
    bool linkShownDown() const
    {
        return kivoLight()->styleSheet() == red && !readButton()->isEnabled()
            && readButton()->styleSheet() == QLatin1String("background-color:white; color:Gray;");
    }
    static void remember(const QString &adapter)
    {
        rvktest::nativeSettings().setValue(QStringLiteral("Settings/Adapter"), adapter);
    }

private slots:
    void init()
    {
        installDriver();
        d2xx = FakeD2xx::install();
        rvktest::nativeSettings().remove(QStringLiteral("Settings/Adapter"));
    }
    void cleanup() { closeWindow(); }
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
        createWindow();
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
        createWindow();
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
        createWindow();
        driver->calls.clear();
        driver->infoResult = info;
        QVERIFY(requestReport());
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
        createWindow();
        ModalAnswerer answerer;
        answerer.press(QMessageBox::Retry);
        driver->calls.clear();
        driver->infoResults << info << 0;
        QVERIFY(answerer.waitForBoxes(1, 5000));
        QCOMPARE(answerer.seen.first().title, QStringLiteral("Ошибка"));
        QCOMPARE(answerer.seen.first().text, lossText);
        QCOMPARE(answerer.seen.first().buttons.size(), 3);
        QTRY_VERIFY(linkShownUp());
        QCOMPARE(driver->calls.mid(0, 6), (QStringList{"info", "close", "open", "setup", "deviceInfo", "info"}));
        QCOMPARE(answerer.seen.size(), 1);
    }

    void presentLinkAsksNothing()
    {
        createWindow();
        ModalAnswerer answerer;
        driver->calls.clear();
        QVERIFY(waitForTicks(2));
        QCOMPARE(driver->calls, (QStringList{"info", "info"}));
        QVERIFY(answerer.seen.isEmpty());
        QVERIFY(linkShownUp());
    }

    void failedReconnectShowsTheLinkDown()
    {
        createWindow();
        QVERIFY(linkShownUp());
        ModalAnswerer answerer;
        answerer.press(QMessageBox::Retry);
        driver->infoResult = -1;
        driver->openResult = 1;
        QVERIFY(answerer.waitForBoxes(1, 5000));
        QTRY_VERIFY(driver->callCount(QStringLiteral("open")) == 2);
        QVERIFY(linkShownDown());
    }

    void ignoreSilencesUntilTheLinkIsSeen()
    {
        createWindow();
        ModalAnswerer answerer;
        answerer.press(QMessageBox::Ignore);
        driver->infoResult = -1;
        driver->openResult = 1;
        QVERIFY(answerer.waitForBoxes(1, 5000));

        // Silent attempts once a tick while the link stays lost.
        QVERIFY(waitForTicks(1));
        const int opens = driver->callCount(QStringLiteral("open"));
        QVERIFY(waitForTicks(2));
        QCOMPARE(driver->callCount(QStringLiteral("open")), opens + 2);
        QCOMPARE(answerer.seen.size(), 1);
        QVERIFY(linkShownDown());

        // Seen present once, a new loss asks again...
        driver->infoResult = 0;
        QVERIFY(waitForTicks(1));
        driver->infoResult = -1;
        answerer.press(QMessageBox::Retry);
        QVERIFY(answerer.waitForBoxes(2, 5000));
        QCOMPARE(answerer.seen.at(1).text, lossText);
        // ...and Retry, unlike Ignore, leaves the next loss to ask as well.
        answerer.press(QMessageBox::Ignore);
        QVERIFY(answerer.waitForBoxes(3, 5000));
        QCOMPARE(answerer.seen.at(2).text, lossText);
    }

    void abortClosesTheWindowAndStillTriesOnce()
    {
        createWindow();
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        ModalAnswerer answerer;
        answerer.press(QMessageBox::Abort);
        driver->infoResult = -1;
        driver->calls.clear();
        QVERIFY(answerer.waitForBoxes(1, 5000));
        QTRY_VERIFY(!window->isVisible());
        QTRY_COMPARE(driver->callCount(QStringLiteral("open")), 1);
    }

    // Within a second in the program: at the first supervision tick.
    void startWithoutAdapterReportsAtTheFirstTick()
    {
        driver->openResult = 1;
        driver->infoResult = -1;
        ModalAnswerer answerer;
        int ticksBeforeTheBox = -1;
        createWindow();
        // Connected after the station's own slot, so the tick that asks is
        // counted only once its box is answered.
        QSignalSpy ticks(supervision(), &QTimer::timeout);
        answerer.answerWith([&](QWidget *box) {
            ticksBeforeTheBox = ticks.count();
            qobject_cast<QMessageBox *>(box)->button(QMessageBox::Ignore)->click();
        });
        QVERIFY(linkShownDown());
        QVERIFY(answerer.seen.isEmpty());
        QVERIFY(answerer.waitForBoxes(1, 5000));
        QCOMPARE(answerer.seen.first().text, lossText);
        QCOMPARE(ticksBeforeTheBox, 0);
    }

    // A library notice at start (Windows) holds the link's question until
    // it is answered: the two boxes never stack.
    void startNoticeHoldsTheLinkQuestion()
    {
        driver->openResult = 1;
        driver->infoResult = -1;
        createWindow();
        window->show();
        ModalAnswerer answerer;
        int boxesWhileNoticeOpen = -1;
        answerer.answerWith([&](QWidget *notice) {
            // Open over two supervision ticks, as a user reading it.
            QTimer::singleShot(5 * period() / 2, notice, [&, notice] {
                boxesWhileNoticeOpen = answerer.seen.size();
                static_cast<QMessageBox *>(notice)->button(QMessageBox::Ok)->click();
            });
        });
        answerer.press(QMessageBox::Ignore);
        window->warnAtStart(QStringLiteral("Внимание"), QStringLiteral("ktxdrv.dll не загружена"));
        QCOMPARE(boxesWhileNoticeOpen, 1);
        QVERIFY(answerer.waitForBoxes(2, 5000));
        QCOMPARE(answerer.seen.at(1).text, lossText);
    }

    // An open slower than a supervision tick, as a network bus connecting:
    // nothing is asked and nothing closed before the window is there.
    void slowOpenAtStartIsLeftToFinish()
    {
        driver->openDelayMs = 3 * period() / 2;
        ModalAnswerer answerer;
        createWindow();
        QVERIFY(answerer.seen.isEmpty());
        QCOMPARE(driver->channelsClosed, 0);
        QVERIFY(driver->channelOpen);
        QVERIFY(linkShownUp());
        QVERIFY(waitForTicks(1));
        QVERIFY(answerer.seen.isEmpty());
        QVERIFY(linkShownUp());
    }

    void slowFailedStartAsksOnceTheWindowIsShown()
    {
        driver->openDelayMs = 6 * period() / 5;
        driver->openResult = 1;
        driver->infoResult = -1;
        ModalAnswerer answerer;
        answerer.press(QMessageBox::Abort);
        createWindow();
        QVERIFY(answerer.seen.isEmpty());
        window->show();
        QVERIFY(answerer.waitForBoxes(1, 5000));
        // The Abort reaches a window that exists and is shown: it closes.
        QTRY_VERIFY(!window->isVisible());
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
        createWindow();
        QCOMPARE(listedAdapters(), items);
        QCOMPARE(adapters()->currentIndex(), current);
        QCOMPARE(driver->openedDescription, opened);
        // The remembered adapter's modem lines are pulsed before the count.
        QCOMPARE(d2xx->log.first(), QStringLiteral("open VXA"));
        QVERIFY(d2xx->log.indexOf(QStringLiteral("list count")) > d2xx->log.lastIndexOf(QStringLiteral("close")));
    }

    void vanishedAdaptersKeepTheList()
    {
        d2xx->devices = QStringList{"a", "b"};
        createWindow();
        d2xx->devices.clear();
        driver->infoResult = -1;
        ModalAnswerer answerer;
        answerer.press(QMessageBox::Retry);
        QVERIFY(answerer.waitForBoxes(1, 5000));
        QTRY_COMPARE(driver->callCount(QStringLiteral("open")), 2);
        QCOMPARE(listedAdapters(), (QStringList{"a", "b"}));
        QCOMPARE(driver->openedDescription, QByteArray("VXA"));
    }

    // The user's pick connects at once, without a loss box, and is the
    // adapter of the next start.
    void choosingAnAdapterConnectsAtOnceAndIsRemembered()
    {
        attachInterfaces({"a", "b"});
        ModalAnswerer answerer;
        answerer.press(QMessageBox::Ignore);
        createWindow();
        QVERIFY(linkShownDown()); // "VXA" is none of them
        QVERIFY(answerer.waitForBoxes(1, 5000));

        driver->calls.clear();
        choose(1);
        QCOMPARE(driver->calls.mid(0, 2), (QStringList{"close", "open"}));
        QCOMPARE(driver->opensOverOpenChannel, 0);
        QCOMPARE(driver->openedDescription, QByteArray("b"));
        QCOMPARE(adapters()->currentIndex(), 1);
        QVERIFY(linkShownUp());
        QVERIFY(waitForTicks(2));
        QCOMPARE(answerer.seen.size(), 1);

        closeWindow();
        driver->calls.clear();
        createWindow();
        QCOMPARE(driver->openedDescription, QByteArray("b"));
        QCOMPARE(adapters()->currentIndex(), 1);
        QVERIFY(linkShownUp());
        QVERIFY(waitForTicks(1));
        QCOMPARE(answerer.seen.size(), 1);
    }

    void rememberedAdapterAtStart_data()
    {
        QTest::addColumn<QString>("remembered");
        QTest::addColumn<QStringList>("interfaces");
        QTest::addColumn<QByteArray>("opened");
        QTest::addColumn<int>("current");
        QTest::addColumn<bool>("asks");
        QTest::newRow("present among several") << "socketcan/can1" << QStringList{"socketcan/can0", "socketcan/can1", "peakcan/usb0"}
                                              << QByteArray("socketcan/can1") << 1 << false;
        QTest::newRow("absent among several") << "socketcan/can2" << QStringList{"socketcan/can0", "socketcan/can1"}
                                             << QByteArray("socketcan/can2") << 0 << true;
        QTest::newRow("absent, one interface") << "socketcan/can2" << QStringList{"socketcan/can0"}
                                              << QByteArray("socketcan/can0") << 0 << false;
        QTest::newRow("absent, virtual bus only") << "socketcan/can2" << QStringList{"virtualcan/can0"}
                                                 << QByteArray("virtualcan/can0") << 0 << false;
        QTest::newRow("nothing remembered, several") << QString() << QStringList{"socketcan/can0", "socketcan/can1"}
                                                    << QByteArray("VXA") << 0 << true;
    }
    void rememberedAdapterAtStart()
    {
        QFETCH(QString, remembered);
        QFETCH(QStringList, interfaces);
        QFETCH(QByteArray, opened);
        QFETCH(int, current);
        QFETCH(bool, asks);
        if (!remembered.isEmpty())
            remember(remembered);
        attachInterfaces(interfaces);
        ModalAnswerer answerer;
        answerer.press(QMessageBox::Ignore);
        createWindow();
        QCOMPARE(driver->calls.mid(0, 1), QStringList{"open"});
        QCOMPARE(driver->openedDescription, opened);
        QCOMPARE(listedAdapters(), interfaces);
        QCOMPARE(adapters()->currentIndex(), current);
        QCOMPARE(linkShownUp(), !asks);
        QVERIFY(waitForTicks(1));
        QCOMPARE(answerer.seen.size(), asks ? 1 : 0);
    }

    // Unplugged while in use: the box asks, the light is red while it is
    // open, no further tick comes and frames are still taken; back again,
    // Retry brings the link up on the same adapter.
    void unpluggedAdapterIsWaitedForBehindTheBox()
    {
        remember(QStringLiteral("socketcan/can1"));
        attachInterfaces({"socketcan/can0", "socketcan/can1"});
        createWindow();
        QVERIFY(linkShownUp());

        // The box runs its own event loop, inside whatever the test is
        // waiting in: what it shows is looked at from its answer.
        struct
        {
            bool lightDown = false;
            bool framesTaken = false;
            bool supervising = false;
            int ticks = -1;
            bool alone = false;
        } whileAsking;
        ModalAnswerer answerer;
        answerer.answerWith([&](QWidget *box) {
            whileAsking.lightDown = linkShownDown();
            const int infos = driver->callCount(QStringLiteral("info"));
            driver->receiveData(0x7AF, QByteArray("t=21;"));
            driver->receiveData(0x7AF, QByteArray("v=27;"));
            // Two of the window's own supervision periods, and the frames.
            const int periods = 2 * supervision()->interval();
            QElapsedTimer asking;
            asking.start();
            while ((asking.elapsed() < periods || !driver->incoming.isEmpty()) && asking.elapsed() < 2 * periods)
                QTest::qWait(10);
            whileAsking.framesTaken = driver->incoming.isEmpty();
            whileAsking.supervising = supervision()->isActive();
            whileAsking.ticks = driver->callCount(QStringLiteral("info")) - infos;
            whileAsking.alone = QApplication::activeModalWidget() == box;
            d2xx->devices << QStringLiteral("socketcan/can1");
            qobject_cast<QMessageBox *>(box)->button(QMessageBox::Retry)->click();
        });
        d2xx->devices.removeAll(QStringLiteral("socketcan/can1"));
        QVERIFY(answerer.waitForBoxes(1, 8000));
        QCOMPARE(answerer.seen.first().text, lossText);
        QVERIFY(whileAsking.lightDown);
        QVERIFY(whileAsking.framesTaken);
        // The supervision waits for the answer without being stopped...
        QVERIFY(whileAsking.supervising);
        QCOMPARE(whileAsking.ticks, 0);
        QVERIFY(whileAsking.alone);

        QTRY_VERIFY(linkShownUp());
        QCOMPARE(driver->openedDescription, QByteArray("socketcan/can1"));
        QCOMPARE(adapters()->currentText(), QStringLiteral("socketcan/can1"));
        QCOMPARE(answerer.seen.size(), 1);
        // ...and goes on once it has it.
        const int infos = driver->callCount(QStringLiteral("info"));
        QVERIFY(waitForTicks(1));
        QVERIFY(driver->callCount(QStringLiteral("info")) > infos);
    }

    // With Ignore the supervision's own attempts bring the link back; the
    // one interface left meanwhile does not replace the chosen adapter.
    void replugComesBackByItselfAfterIgnore()
    {
        attachInterfaces({"socketcan/can0", "socketcan/can1"});
        createWindow();
        choose(1);
        QVERIFY(linkShownUp());

        ModalAnswerer answerer;
        answerer.press(QMessageBox::Ignore);
        d2xx->devices = QStringList{"socketcan/can0"};
        QVERIFY(answerer.waitForBoxes(1, 5000));
        QVERIFY(waitForTicks(2));
        QCOMPARE(driver->openedDescription, QByteArray("socketcan/can1"));
        QVERIFY(linkShownDown());
        QCOMPARE(listedAdapters(), QStringList{"socketcan/can0"});

        d2xx->devices = QStringList{"socketcan/can0", "socketcan/can1"};
        QTRY_VERIFY_WITH_TIMEOUT(linkShownUp(), 5000);
        QCOMPARE(driver->openedDescription, QByteArray("socketcan/can1"));
        QCOMPARE(listedAdapters(), (QStringList{"socketcan/can0", "socketcan/can1"}));
        QCOMPARE(adapters()->currentIndex(), 1);
        QCOMPARE(answerer.seen.size(), 1);
    }

    // A pick made while a reconnection waits in a slow open: supervision
    // leaves that reconnection alone, which then goes on with the pick.
    void choiceWhileReconnectingIsTakenUp()
    {
        attachInterfaces({"a", "b", "c"});
        createWindow();
        choose(0);
        QVERIFY(linkShownUp());

        // "c" has gone, which the list learns only as the pick reads it
        // again; its open outlasts supervision ticks, which run meanwhile
        // because the reconnection is the pick's, not a tick's.
        driver->openDelayMs = 3 * period() / 2;
        d2xx->devices = QStringList{"a", "b"};
        ModalAnswerer answerer;
        QSignalSpy ticks(supervision(), &QTimer::timeout);
        // Lands inside the open of "c".
        QTimer::singleShot(driver->openDelayMs / 2, window.get(), [this] { choose(1); });
        choose(2);

        QVERIFY(ticks.count() >= 1);
        QVERIFY(linkShownUp());
        QCOMPARE(driver->openedDescription, QByteArray("b"));
        QCOMPARE(adapters()->currentText(), QStringLiteral("b"));
        QCOMPARE(answerer.seen.size(), 0);
        QCOMPARE(driver->opensOverOpenChannel, 0);
        QVERIFY(waitForTicks(1));
        QCOMPARE(answerer.seen.size(), 0);
    }

    void listIsReadAgainWhenOpened_data()
    {
        QTest::addColumn<bool>("byKey");
        QTest::newRow("mouse") << false;
        QTest::newRow("F4") << true;
    }
    void listIsReadAgainWhenOpened()
    {
        QFETCH(bool, byKey);
        attachInterfaces({"socketcan/can0"});
        createWindow();
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        d2xx->devices = QStringList{"socketcan/can0", "peakcan/usb0"};
        QCOMPARE(listedAdapters(), QStringList{"socketcan/can0"});
        if (byKey)
            QTest::keyClick(adapters(), Qt::Key_F4);
        else
            QTest::mouseClick(adapters(), Qt::LeftButton);
        QCOMPARE(listedAdapters(), (QStringList{"socketcan/can0", "peakcan/usb0"}));
        QCOMPARE(adapters()->currentIndex(), 0);
        QTRY_VERIFY(adapters()->view()->isVisible());
        adapters()->hidePopup();
        // Reading the list changes nothing on the link.
        QCOMPARE(driver->openedDescription, QByteArray("socketcan/can0"));
        QVERIFY(linkShownUp());
    }

    // Every FTDI handle and every channel is closed exactly once, the
    // channel first at exit, also after a loss and a reconnection.
    void exitClosesEachHandleOnce()
    {
        d2xx->devices = QStringList{"VXA"};
        createWindow();
        ModalAnswerer answerer;
        answerer.press(QMessageBox::Retry);
        driver->infoResults << -3;
        QVERIFY(answerer.waitForBoxes(1, 5000));
        QTRY_COMPARE(driver->channelsOpened, 2);
        driver->calls.clear();
        d2xx->log.clear();
        closeWindow();
        QCOMPARE(driver->calls.value(0), QStringLiteral("close"));
        QVERIFY(!driver->channelOpen);
        QCOMPARE(driver->channelsClosed, driver->channelsOpened);
        QCOMPARE(driver->opensOverOpenChannel, 0);
        QCOMPARE(d2xx->log, (QStringList{"open VXA", "clrRts", "setRts", "setDtr", "close"}));
        QVERIFY(!d2xx->anyHandleOpen());
        QCOMPARE(d2xx->handlesClosed, d2xx->handlesOpened);
        QCOMPARE(d2xx->callsOnClosedHandles, QStringList{});
    }
};

RVK_TEST_MAIN(TestMainWindowLink)
#include "tst_mainwindow_link.moc"
