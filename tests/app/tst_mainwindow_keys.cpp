#include "diagnostics/dbgtextedit.h"
#include "diagnostics/verificationdialog.h"
#include "tests/support/mainwindowfixture.h"
#include "tests/support/testmain.h"

#include <QApplication>
#include <QFileInfo>

// The key filter on the three watched windows: + and - switch the module's
// debug monitor, other keys pass.
class TestMainWindowKeys : public QObject, public rvktest::MainWindowFixture
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void plusSwitchesTheMonitorOn_data();
    void plusSwitchesTheMonitorOn();
    void plusWithTheLinkDownSendsNothing_data();
    void plusWithTheLinkDownSendsNothing();
    void minusAndBackspaceSwitchTheMonitorOff_data();
    void minusAndBackspaceSwitchTheMonitorOff();
    void otherKeysSendNothing_data();
    void otherKeysSendNothing();
    void plusWorksAtOnceAfterStart();

private:
    QWidget *target(const QString &name) const;
    void addTargets();
};

QWidget *TestMainWindowKeys::target(const QString &name) const
{
    if (name == QLatin1String("monitor"))
        return window->findChild<DbgTextEdit *>();
    if (name == QLatin1String("sensor dialog"))
        return window->findChild<VerificationDialog *>();
    return window.get();
}

void TestMainWindowKeys::addTargets()
{
    QTest::addColumn<QString>("watched");
    QTest::addColumn<int>("key");
}

void TestMainWindowKeys::init()
{
    startWindow();
    driver->written.clear();
    driver->calls.clear();
    QFile::remove(QStringLiteral("RVKReport.ini"));
}

void TestMainWindowKeys::cleanup()
{
    closeWindow();
    QFile::remove(QStringLiteral("RVKReport.ini"));
}

void TestMainWindowKeys::plusSwitchesTheMonitorOn_data()
{
    addTargets();
    for (const char *name : {"main window", "monitor", "sensor dialog"})
        QTest::newRow(name) << QString::fromLatin1(name) << int(Qt::Key_Plus);
}

void TestMainWindowKeys::plusSwitchesTheMonitorOn()
{
    QFETCH(QString, watched);
    QFETCH(int, key);
    QTest::keyClick(target(watched), Qt::Key(key));

    QCOMPARE(driver->written.size(), 1);
    QCOMPARE(driver->written.first().left(4).toHex(' '), QByteArray("af 07 01 01"));
    QVERIFY(window->findChild<DbgTextEdit *>()->isVisible());
    QVERIFY(window->findChild<VerificationDialog *>()->isVisible());
    QCOMPARE(window->findChild<DbgTextEdit *>()->toPlainText(), QString());
}

void TestMainWindowKeys::plusWithTheLinkDownSendsNothing_data()
{
    plusSwitchesTheMonitorOn_data();
}

void TestMainWindowKeys::plusWithTheLinkDownSendsNothing()
{
    QFETCH(QString, watched);
    QFETCH(int, key);
    driver->infoResults.enqueue(-2);
    QTest::keyClick(target(watched), Qt::Key(key));

    QVERIFY(driver->written.isEmpty());
    QVERIFY(driver->calls.contains("close"));
    QVERIFY(!window->findChild<DbgTextEdit *>()->isVisible());
    QVERIFY(!window->findChild<VerificationDialog *>()->isVisible());
}

void TestMainWindowKeys::minusAndBackspaceSwitchTheMonitorOff_data()
{
    addTargets();
    for (const char *name : {"main window", "monitor", "sensor dialog"}) {
        QTest::addRow("%s, minus", name) << QString::fromLatin1(name) << int(Qt::Key_Minus);
        QTest::addRow("%s, backspace", name) << QString::fromLatin1(name) << int(Qt::Key_Backspace);
    }
}

void TestMainWindowKeys::minusAndBackspaceSwitchTheMonitorOff()
{
    QFETCH(QString, watched);
    QFETCH(int, key);
    QTest::keyClick(window.get(), Qt::Key_Plus);
    QVERIFY(window->findChild<DbgTextEdit *>()->isVisible());
    driver->written.clear();

    QTest::keyClick(target(watched), Qt::Key(key));

    // Closing the two windows runs the off sequence again through their close
    // signals, so the off frame may go out more than once; nothing else may.
    QVERIFY(!driver->written.isEmpty());
    for (const QByteArray &frame : qAsConst(driver->written))
        QCOMPARE(frame.left(4).toHex(' '), QByteArray("af 07 01 00"));
    QVERIFY(!window->findChild<DbgTextEdit *>()->isVisible());
    QVERIFY(!window->findChild<VerificationDialog *>()->isVisible());
    QVERIFY(QFileInfo(QStringLiteral("RVKReport.ini")).isFile());
    // The keys never reach the monitor's text.
    QCOMPARE(window->findChild<DbgTextEdit *>()->toPlainText(), QString());
}

void TestMainWindowKeys::otherKeysSendNothing_data()
{
    addTargets();
    for (const char *name : {"main window", "monitor", "sensor dialog"}) {
        QTest::addRow("%s, return", name) << QString::fromLatin1(name) << int(Qt::Key_Return);
        QTest::addRow("%s, enter", name) << QString::fromLatin1(name) << int(Qt::Key_Enter);
        QTest::addRow("%s, letter", name) << QString::fromLatin1(name) << int(Qt::Key_A);
        QTest::addRow("%s, equals", name) << QString::fromLatin1(name) << int(Qt::Key_Equal);
    }
}

void TestMainWindowKeys::otherKeysSendNothing()
{
    QFETCH(QString, watched);
    QFETCH(int, key);
    QTest::keyClick(target(watched), Qt::Key(key));
    QVERIFY(driver->written.isEmpty());
    QVERIFY(!driver->calls.contains("info"));
}

// Whichever widget holds the focus of a freshly started window (the adapter
// list, which searches its entries on typed text), + reaches the filter.
void TestMainWindowKeys::plusWorksAtOnceAfterStart()
{
    window->show();
    QApplication::setActiveWindow(window.get());
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    QWidget *focused = QApplication::focusWidget();
    QVERIFY(focused);
    QTest::keyClick(focused, Qt::Key_Plus);
    QCOMPARE(driver->written.size(), 1);
    QCOMPARE(driver->written.first().left(4).toHex(' '), QByteArray("af 07 01 01"));
    driver->written.clear();
    auto *adapters = widget<QWidget>("comboBox_InfoDevice");
    QTest::keyClick(adapters, Qt::Key_Minus);
    QVERIFY(!driver->written.isEmpty());
    QCOMPARE(driver->written.last().left(4).toHex(' '), QByteArray("af 07 01 00"));
}

RVK_TEST_MAIN(TestMainWindowKeys)
#include "tst_mainwindow_keys.moc"
