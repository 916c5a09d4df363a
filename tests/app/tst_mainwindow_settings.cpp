#include "app/startupsize.h"
#include "diagnostics/dbgtextedit.h"
#include "diagnostics/verificationdialog.h"
#include "tests/support/mainwindowfixture.h"
#include "tests/support/testfiles.h"
#include "tests/support/testmain.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTextCodec>

// Window geometry in "RVKReport.ini" in the working directory.
class TestMainWindowSettings : public QObject, public rvktest::MainWindowFixture
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void missingOrUnusableIniRestoresNothing_data();
    void missingOrUnusableIniRestoresNothing();
    void storedGeometryIsRestored_data();
    void storedGeometryIsRestored();
    void storedHeightGivesWayToTheStartUpResize();
    void closingSavesTheGeometryOfAllThreeWindows();

private:
    static void writeIni(const QVariantMap &values);
    static QWidget *monitorOf(MainWindow *window);
    static QWidget *sensorDialogOf(MainWindow *window);
};

void TestMainWindowSettings::writeIni(const QVariantMap &values)
{
    QSettings ini(QStringLiteral("RVKReport.ini"), QSettings::IniFormat);
    ini.setIniCodec(QTextCodec::codecForName("Windows-1251"));
    ini.beginGroup(QStringLiteral("MainWindow"));
    for (auto it = values.begin(); it != values.end(); ++it)
        ini.setValue(it.key(), it.value());
    ini.endGroup();
}

QWidget *TestMainWindowSettings::monitorOf(MainWindow *window)
{
    return window->findChild<DbgTextEdit *>();
}

QWidget *TestMainWindowSettings::sensorDialogOf(MainWindow *window)
{
    return window->findChild<VerificationDialog *>();
}

void TestMainWindowSettings::init()
{
    installDriver();
    rvktest::removeEntries({QStringLiteral("RVKReport.ini")});
}

void TestMainWindowSettings::cleanup()
{
    closeWindow();
    rvktest::removeEntries({QStringLiteral("RVKReport.ini")});
}

void TestMainWindowSettings::missingOrUnusableIniRestoresNothing_data()
{
    QTest::addColumn<bool>("folder");
    QTest::newRow("no file") << false;
    QTest::newRow("a folder of that name") << true;
}

void TestMainWindowSettings::missingOrUnusableIniRestoresNothing()
{
    QFETCH(bool, folder);
    if (folder)
        QVERIFY(QDir().mkdir(QStringLiteral("RVKReport.ini")));

    createWindow();

    QCOMPARE(window->size(), QSize(385, 477));
    QVERIFY(monitorOf(window.get()));
    QCOMPARE(monitorOf(window.get())->width(), 300);
    QVERIFY(sensorDialogOf(window.get()));
    QVERIFY(sensorDialogOf(window.get())->size() != QSize(400, 400));
    // Start-up only reads; it must not turn a folder into a file or create one.
    QCOMPARE(QFileInfo(QStringLiteral("RVKReport.ini")).isDir(), folder);
    QCOMPARE(QFileInfo(QStringLiteral("RVKReport.ini")).exists(), folder);
}

// The three windows' geometry in the order main window, monitor, sensor dialog.
using Geometry = QList<QRect>;

void TestMainWindowSettings::storedGeometryIsRestored_data()
{
    QTest::addColumn<QVariantMap>("stored");
    QTest::addColumn<Geometry>("expected");
    QTest::newRow("every key")
        << QVariantMap{{"WinSize", QSize(420, 500)}, {"WinPos", QPoint(31, 42)},  {"DbgSize", QSize(321, 554)},
                       {"DbgPos", QPoint(5, 6)},     {"DiagSize", QSize(360, 370)}, {"DiagPos", QPoint(70, 80)}}
        << Geometry{{31, 42, 420, 500}, {8, 32, 321, 554}, {70, 80, 360, 370}};
    QTest::newRow("missing keys take the defaults")
        << QVariantMap{{"DbgSize", QSize(321, 554)}}
        << Geometry{{200, 200, 400, 400}, {200, 38, 321, 554}, {200, 192, 400, 400}};
    // The offscreen screen is 800 x 600: a window stored on a screen that is
    // gone, or taller than this one, comes back whole on it, with room for
    // a frame of 8 px and a title bar of 32 px around its contents (the
    // guess before a window is framed), so one stored at the screen's very
    // top comes back a title bar lower.
    QTest::newRow("off the screen and too tall")
        << QVariantMap{{"DbgSize", QSize(321, 900)}, {"DbgPos", QPoint(5000, 5000)}, {"DiagPos", QPoint(-3000, 100)}}
        << Geometry{{200, 200, 400, 400}, {471, 32, 321, 560}, {8, 100, 400, 400}};
}

void TestMainWindowSettings::storedGeometryIsRestored()
{
    QFETCH(QVariantMap, stored);
    QFETCH(Geometry, expected);
    writeIni(stored);

    createWindow();

    const QList<QWidget *> windows{window.get(), monitorOf(window.get()), sensorDialogOf(window.get())};
    for (int i = 0; i < windows.size(); ++i) {
        QCOMPARE(windows.at(i)->size(), expected.at(i).size());
        QCOMPARE(windows.at(i)->pos(), expected.at(i).topLeft());
    }
}

void TestMainWindowSettings::storedHeightGivesWayToTheStartUpResize()
{
    writeIni({{"WinSize", QSize(600, 900)}, {"WinPos", QPoint(10, 20)}});
    createWindow();

    // As main() shows it: the layout sets the minimum only once shown.
    applyStartUpSize(window.get());
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));

    QVERIFY(window->minimumHeight() > 0);
    QCOMPARE(window->height(), window->minimumHeight());
    QCOMPARE(window->width(), 600);
    // A title bar's room above the contents.
    QCOMPARE(window->pos(), QPoint(10, 32));
}

void TestMainWindowSettings::closingSavesTheGeometryOfAllThreeWindows()
{
    createWindow();
    window->show();
    window->resize(610, 520);
    window->move(15, 25);
    monitorOf(window.get())->resize(333, 444);
    monitorOf(window.get())->move(1, 2);
    sensorDialogOf(window.get())->show();
    sensorDialogOf(window.get())->resize(470, 400);
    sensorDialogOf(window.get())->move(30, 40);
    QVERIFY(QTest::qWaitForWindowExposed(sensorDialogOf(window.get())));

    QVERIFY(window->close());

    QVERIFY(QFileInfo(QStringLiteral("RVKReport.ini")).isFile());
    QSettings ini(QStringLiteral("RVKReport.ini"), QSettings::IniFormat);
    ini.beginGroup(QStringLiteral("MainWindow"));
    QCOMPARE(ini.value("WinSize").toSize(), QSize(610, 520));
    QCOMPARE(ini.value("WinPos").toPoint(), window->pos());
    QCOMPARE(ini.value("DbgSize").toSize(), QSize(333, 444));
    QCOMPARE(ini.value("DbgPos").toPoint(), QPoint(1, 2));
    QCOMPARE(ini.value("DiagSize").toSize(), QSize(470, 400));
    QCOMPARE(ini.value("DiagPos").toPoint(), QPoint(30, 40));

    // And the next start puts them back.
    closeWindow();
    createWindow();
    QCOMPARE(window->size(), QSize(610, 520));
    // Where it was closed, frame and all, once the window is shown again.
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    QCOMPARE(window->pos(), QPoint(15, 25));
    QCOMPARE(monitorOf(window.get())->size(), QSize(333, 444));
    sensorDialogOf(window.get())->show();
    QVERIFY(QTest::qWaitForWindowExposed(sensorDialogOf(window.get())));
    QCOMPARE(sensorDialogOf(window.get())->pos(), QPoint(30, 40));
}

RVK_TEST_MAIN(TestMainWindowSettings)
#include "tst_mainwindow_settings.moc"
