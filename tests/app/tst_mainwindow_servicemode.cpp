#include "tests/support/mainwindowfixture.h"
#include "tests/support/modalanswerer.h"
#include "tests/support/recordbuilder.h"
#include "tests/support/testmain.h"

#include <QAction>
#include <QCheckBox>
#include <QDateEdit>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>

// The hidden service controls and the deliberate way to reveal them.
class TestMainWindowServiceMode : public QObject, public rvktest::MainWindowFixture
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void refusedCodeChangesNothing_data();
    void refusedCodeChangesNothing();
    void rightCodeRevealsTheServiceControls();

private:
    struct State
    {
        QMap<QString, QPair<bool, bool>> widgets; // name -> hidden, enabled
        bool ssuActionVisible = false;
        bool ssuIndicatorHidden = false;
        QString title;
        bool operator==(const State &other) const
        {
            return widgets == other.widgets && ssuActionVisible == other.ssuActionVisible
                && ssuIndicatorHidden == other.ssuIndicatorHidden && title == other.title;
        }
    };
    State state() const;
    void pressChord();
};

static const QStringList serviceWidgets = {
    "pushButton_SetSN", "pushButton_SetDate", "pushButton_SetHit", "pushButton_IRTClear", "pushButton_EEPROMClear",
    "spinBox_SNValue",  "dateEdit",           "spinBox_HitValue",  "pushButton_MonitorOn", "pushButton_MonitorOff",
    "checkBox_WriteToFile"};

TestMainWindowServiceMode::State TestMainWindowServiceMode::state() const
{
    State result;
    // The form's own widgets; the inner parts of spin boxes and the date
    // editor follow their owners and say nothing more.
    for (QWidget *widget : window->centralWidget()->findChildren<QWidget *>()) {
        const QString name = widget->objectName();
        if (!name.isEmpty() && !name.startsWith(QLatin1String("qt_")))
            result.widgets.insert(name, qMakePair(widget->isHidden(), widget->isEnabled()));
    }
    result.ssuActionVisible = widget<QAction>("actionSSU")->isVisible();
    result.ssuIndicatorHidden = ssuLight()->isHidden();
    result.title = window->windowTitle();
    return result;
}

void TestMainWindowServiceMode::pressChord()
{
    QTest::keyClick(window.get(), Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
}

void TestMainWindowServiceMode::init()
{
    startWindow();
    window->show();
    QApplication::setActiveWindow(window.get());
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    QVERIFY(ssuLight());
}

void TestMainWindowServiceMode::cleanup()
{
    closeWindow();
}

void TestMainWindowServiceMode::refusedCodeChangesNothing_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<bool>("accept");
    QTest::addColumn<int>("boxes");
    QTest::newRow("wrong code") << QStringLiteral("123456") << true << 2;
    QTest::newRow("empty code") << QString() << true << 2;
    QTest::newRow("right code, cancelled") << QStringLiteral("583146") << false << 1;
}

void TestMainWindowServiceMode::refusedCodeChangesNothing()
{
    QFETCH(QString, code);
    QFETCH(bool, accept);
    QFETCH(int, boxes);
    const State before = state();
    ModalAnswerer answerer;
    answerer.enterText(code, accept);
    answerer.press(QMessageBox::Ok);

    pressChord();
    QVERIFY(answerer.waitForBoxes(boxes));
    QTest::qWait(50);

    QCOMPARE(answerer.seen.size(), boxes);
    QCOMPARE(answerer.seen.first().className, QStringLiteral("QInputDialog"));
    if (boxes == 2) {
        QCOMPARE(answerer.seen.at(1).title, QStringLiteral("Внимание"));
        QCOMPARE(answerer.seen.at(1).text, QStringLiteral("Неверный код доступа"));
    }
    QVERIFY(state() == before);
}

void TestMainWindowServiceMode::rightCodeRevealsTheServiceControls()
{
    const State before = state();
    QVERIFY(!before.ssuActionVisible);
    QVERIFY(!widget<QAction>("actionFleet")->isVisible());
    QVERIFY(before.ssuIndicatorHidden);
    ModalAnswerer answerer;
    answerer.enterText(QStringLiteral("583146"));

    pressChord();
    QTRY_VERIFY(widget<QAction>("actionSSU")->isVisible() && ssuLight()->isVisible());
    // A hasty second click where the code was answered cannot start a wipe.
    for (const char *wipe : {"pushButton_IRTClear", "pushButton_EEPROMClear"})
        QVERIFY2(!widget<QPushButton>(wipe)->isEnabled(), wipe);
    QTRY_VERIFY(widget<QPushButton>("pushButton_IRTClear")->isEnabled()
                && widget<QPushButton>("pushButton_EEPROMClear")->isEnabled());
    // The fleet is the maker's view: its window opens from service mode only.
    QVERIFY(widget<QAction>("actionFleet")->isVisible());
    widget<QAction>("actionFleet")->trigger();
    QWidget *fleet = window->findChild<QWidget *>(QStringLiteral("FleetWindow"));
    QVERIFY(fleet && fleet->isVisible() && fleet->isWindow());
    fleet->close();

    QCOMPARE(answerer.seen.size(), 1);
    const State after = state();
    for (const QString &name : serviceWidgets) {
        QVERIFY2(!after.widgets.value(name).first, qPrintable(name));
        QVERIFY2(after.widgets.value(name).second, qPrintable(name));
    }
    // Nothing but the service controls changed.
    State rest = after;
    State restBefore = before;
    for (const QString &name : serviceWidgets) {
        rest.widgets.remove(name);
        restBefore.widgets.remove(name);
    }
    rest.ssuActionVisible = restBefore.ssuActionVisible;
    rest.ssuIndicatorHidden = restBefore.ssuIndicatorHidden;
    QVERIFY(rest == restBefore);

    // The revealed controls work: over a whole report, a click sends the command.
    QVERIFY(readWholeReport(rvktest::exampleRecord()));
    window->centralWidget()->findChild<QSpinBox *>("spinBox_SNValue")->setValue(1234);
    driver->written.clear();
    QTest::mouseClick(window->centralWidget()->findChild<QPushButton *>("pushButton_SetSN"), Qt::LeftButton);
    QCOMPARE(driver->written.size(), 1);
    QCOMPARE(driver->written.first().left(8).toHex(' '), QByteArray("a1 07 00 04 d2 04 00 00"));

    // A language switch keeps them.
    QVERIFY(trigger("actionLangEng"));
    QVERIFY(trigger("actionLangRus"));
    for (const QString &name : serviceWidgets)
        QVERIFY2(window->centralWidget()->findChild<QWidget *>(name)->isVisible(), qPrintable(name));
    QVERIFY(widget<QAction>("actionSSU")->isVisible());
}

RVK_TEST_MAIN(TestMainWindowServiceMode)
#include "tst_mainwindow_servicemode.moc"
