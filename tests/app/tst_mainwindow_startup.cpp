#include "diagnostics/dbgtextedit.h"
#include "diagnostics/verificationdialog.h"
#include "tests/support/mainwindowfixture.h"
#include "tests/support/modalanswerer.h"
#include "tests/support/testmain.h"

#include <QAction>
#include <QDateEdit>
#include <QFrame>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>

// The window as it comes out of the constructor.
class TestMainWindowStartup : public QObject, public rvktest::MainWindowFixture
{
    Q_OBJECT
private slots:
    void cleanup() { closeWindow(); }
    void failingAdapterStartsDisconnected();
    void workingAdapterStartsConnected();
    void serviceControlsStartHiddenAndDisabled_data();
    void serviceControlsStartHiddenAndDisabled();
    void windowFlagsAndHelperWindows();
    void statusBarIndicators();
    void formLayout_data();
    void formLayout();
};

void TestMainWindowStartup::failingAdapterStartsDisconnected()
{
    installDriver();
    driver->openResult = 1;
    driver->infoResult = -1;
    ModalAnswerer answerer;
    answerer.press(QMessageBox::Ignore);
    createWindow();

    QLabel *kivo = kivoLight();
    QVERIFY(kivo);
    QVERIFY2(kivo->styleSheet().contains(QStringLiteral("background-color: red")), qPrintable(kivo->styleSheet()));
    QVERIFY(!widget<QPushButton>("pushButton_ReadData")->isEnabled());
    QVERIFY(!widget<QAction>("actionSSU")->isVisible());
    QCOMPARE(answerer.seen.size(), 0); // nothing is shown by the constructor

    // The supervision reports the missing link within about a second.
    QVERIFY(answerer.waitForBoxes(1, 2500));
    QCOMPARE(answerer.seen.first().title, QStringLiteral("Ошибка"));
}

void TestMainWindowStartup::workingAdapterStartsConnected()
{
    startWindow();
    QVERIFY(driver->calls.contains("open"));
    QCOMPARE(driver->openedDescription, QByteArray("VXA"));
    QVERIFY(widget<QPushButton>("pushButton_ReadData")->isEnabled());
}

void TestMainWindowStartup::serviceControlsStartHiddenAndDisabled_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("hidden");
    QTest::addColumn<bool>("disabled");
    for (const char *name : {"pushButton_SetSN", "pushButton_SetDate", "pushButton_SetHit", "pushButton_IRTClear",
                             "pushButton_EEPROMClear"})
        QTest::newRow(name) << QString::fromLatin1(name) << true << true;
    for (const char *name : {"spinBox_SNValue", "dateEdit", "spinBox_HitValue"})
        QTest::newRow(name) << QString::fromLatin1(name) << false << true;
    for (const char *name : {"pushButton_MonitorOn", "pushButton_MonitorOff", "checkBox_WriteToFile"})
        QTest::newRow(name) << QString::fromLatin1(name) << true << false;
    QTest::newRow("pushButton_ReadData") << QStringLiteral("pushButton_ReadData") << false << false;
}

void TestMainWindowStartup::serviceControlsStartHiddenAndDisabled()
{
    QFETCH(QString, name);
    QFETCH(bool, hidden);
    QFETCH(bool, disabled);
    startWindow();
    window->show();
    QWidget *control = window->centralWidget()->findChild<QWidget *>(name);
    QVERIFY(control);
    QCOMPARE(control->isHidden(), hidden);
    QCOMPARE(!control->isEnabled(), disabled);
}

void TestMainWindowStartup::windowFlagsAndHelperWindows()
{
    startWindow();
    QCOMPARE(window->windowType(), Qt::Window);
    // Qt adds the system menu hint to a customised title with a close button.
    const Qt::WindowFlags requested(0x0A001100);
    QCOMPARE(window->windowFlags() & requested, requested);
    QVERIFY(!(window->windowFlags()
              & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint | Qt::WindowContextHelpButtonHint)));

    auto *monitor = window->findChild<DbgTextEdit *>();
    QVERIFY(monitor && monitor->isWindow());
    QVERIFY(monitor->isReadOnly());
    QCOMPARE(monitor->windowTitle(), QStringLiteral("Debugger"));
    QCOMPARE(monitor->pos(), QGuiApplication::screens().first()->availableGeometry().topLeft());
    QCOMPARE(monitor->width(), 300);

    auto *sensors = window->findChild<VerificationDialog *>();
    QVERIFY(sensors);
    QVERIFY(!(sensors->windowFlags() & Qt::WindowContextHelpButtonHint));

    QCOMPARE(widget<QDateEdit>("dateEdit")->displayFormat(), QStringLiteral("dd.MM.yyyy"));
    QCOMPARE(widget<QPushButton>("pushButton_IRTClear")->styleSheet(),
             QStringLiteral("background-color:LightPink;"));
    QCOMPARE(widget<QPushButton>("pushButton_EEPROMClear")->styleSheet(),
             QStringLiteral("background-color:LightPink;"));
    QVERIFY(!window->statusBar()->isSizeGripEnabled());
}

void TestMainWindowStartup::statusBarIndicators()
{
    startWindow();
    window->show();
    QList<QLabel *> labels;
    for (QLabel *label : window->statusBar()->findChildren<QLabel *>(QString(), Qt::FindDirectChildrenOnly))
        labels << label;
    QCOMPARE(labels.size(), 3);
    std::sort(labels.begin(), labels.end(), [](QLabel *a, QLabel *b) { return a->x() < b->x(); });
    QVERIFY(labels.at(0)->text().isEmpty());
    QCOMPARE(labels.at(1)->text(), QStringLiteral(" KIVO "));
    QCOMPARE(labels.at(1)->minimumSize(), labels.at(1)->sizeHint());
    QCOMPARE(labels.at(1)->alignment(), Qt::AlignCenter);
    QCOMPARE(labels.at(1)->toolTip(), QStringLiteral("Индикатор подключения к KIVO"));
    QCOMPARE(labels.at(2)->text(), QStringLiteral(" SSU "));
    QCOMPARE(labels.at(2)->toolTip(), QStringLiteral("Индикатор подключения к ССУ"));
    QVERIFY(labels.at(2)->isHidden());
}

void TestMainWindowStartup::formLayout_data()
{
    QTest::addColumn<QString>("layout");
    QTest::addColumn<QString>("item");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    auto row = [](const char *layout, const char *item, int r, int c) {
        QTest::addRow("%s", item) << QString::fromLatin1(layout) << QString::fromLatin1(item) << r << c;
    };
    row("gridLayout_5", "horizontalLayout_2", 0, 0);
    row("gridLayout_5", "frame", 5, 0);
    row("gridLayout_5", "pushButton_IRTClear", 6, 0);
    row("gridLayout_5", "pushButton_EEPROMClear", 7, 0);
    row("gridLayout_5", "checkBox_WriteToFile", 8, 0);
    row("gridLayout_5", "horizontalLayout", 11, 0);
    row("gridLayout_5", "label", 12, 0);
    row("gridLayout_5", "progressBar", 14, 0);
    row("gridLayout_5", "pushButton_ReadData", 15, 0);
    row("gridLayout_2", "gridLayout", 0, 0);
    row("gridLayout", "label_TTName", 1, 1);
    row("gridLayout", "label_TotalTime", 1, 2);
    row("gridLayout", "label_IRTUnit", 1, 3);
    row("gridLayout", "label_IRTName", 2, 1);
    row("gridLayout", "label_IRTime", 2, 2);
    row("gridLayout", "label_TTUnit", 2, 3);
    row("gridLayout", "label_SNName", 3, 1);
    row("gridLayout", "spinBox_SNValue", 3, 2);
    row("gridLayout", "pushButton_SetSN", 3, 3);
    row("gridLayout", "label_Date", 5, 1);
    row("gridLayout", "dateEdit", 5, 2);
    row("gridLayout", "pushButton_SetDate", 5, 3);
    row("gridLayout", "label_HitName", 8, 1);
    row("gridLayout", "spinBox_HitValue", 8, 2);
    row("gridLayout", "pushButton_SetHit", 8, 3);
    row("gridLayout", "label_FWName", 9, 1);
    row("gridLayout", "label_FWVersion", 9, 2);
}

void TestMainWindowStartup::formLayout()
{
    QFETCH(QString, layout);
    QFETCH(QString, item);
    QFETCH(int, row);
    QFETCH(int, column);
    startWindow();
    auto *grid = window->centralWidget()->findChild<QGridLayout *>(layout);
    QVERIFY(grid);
    int index = -1;
    for (int i = 0; i < grid->count(); ++i) {
        QLayoutItem *candidate = grid->itemAt(i);
        const QObject *object = candidate->widget() ? static_cast<QObject *>(candidate->widget())
                                                    : static_cast<QObject *>(candidate->layout());
        if (object && object->objectName() == item)
            index = i;
    }
    QVERIFY2(index >= 0, qPrintable(item));
    int r = -1, c = -1, rowSpan = 0, columnSpan = 0;
    grid->getItemPosition(index, &r, &c, &rowSpan, &columnSpan);
    QCOMPARE(r, row);
    QCOMPARE(c, column);
}

RVK_TEST_MAIN(TestMainWindowStartup)
#include "tst_mainwindow_startup.moc"
