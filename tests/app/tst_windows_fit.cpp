// Every window of the program on a 1024×768 laptop screen: what it needs at
// least, with room left for its frame, its title bar and a panel, in both
// languages (the English texts are the wider ones in places).
#include "diagnostics/dbgtextedit.h"
#include "diagnostics/trendswindow.h"
#include "diagnostics/verificationdialog.h"
#include "ssu/gui/fleetwindow.h"
#include "ssu/gui/modulehistorywindow.h"
#include "ssu/gui/ssudialog.h"
#include "tests/support/mainwindowfixture.h"
#include "tests/support/testmain.h"

#include <QAction>
#include <QLayout>

class TestWindowsFit : public QObject, public rvktest::MainWindowFixture
{
    Q_OBJECT
private slots:
    void cleanup() { closeWindow(); }
    void everyWindowFitsALaptopScreen_data();
    void everyWindowFitsALaptopScreen();
};

namespace {

// 1024×768 less a frame of 8 px a side, a 32 px title bar and a 36 px panel.
const QSize ClientRoom(1024 - 16, 768 - 8 - 32 - 36);

QSize leastSize(QWidget *window)
{
    QSize least = window->minimumSizeHint().expandedTo(window->minimumSize());
    if (window->layout())
        least = least.expandedTo(window->layout()->minimumSize());
    return least;
}

} // namespace

void TestWindowsFit::everyWindowFitsALaptopScreen_data()
{
    QTest::addColumn<bool>("english");
    QTest::newRow("Russian") << false;
    QTest::newRow("English") << true;
}

void TestWindowsFit::everyWindowFitsALaptopScreen()
{
    QFETCH(bool, english);
    startWindow();
    if (english)
        QVERIFY(trigger("actionLangEng"));
    QVERIFY(enterServiceMode());
    QVERIFY(trigger("actionTrends"));
    QVERIFY(trigger("actionFleet"));
    SSUDialog search(window.get());
    search.setLanguage(english ? 1 : 0);
    ModuleHistoryWindow history(1234, {}, english ? 1 : 0);

    QList<QWidget *> windows{window.get(), &search, &history};
    windows << window->findChild<DbgTextEdit *>() << window->findChild<VerificationDialog *>()
            << window->findChild<TrendsWindow *>() << window->findChild<FleetWindow *>();
    QStringList tooLarge;
    for (QWidget *shown : windows) {
        QVERIFY(shown);
        const QSize least = leastSize(shown);
        if (least.width() > ClientRoom.width() || least.height() > ClientRoom.height())
            tooLarge << QStringLiteral("%1 needs %2×%3").arg(shown->metaObject()->className()).arg(least.width()).arg(least.height());
    }
    QVERIFY2(tooLarge.isEmpty(), qPrintable(tooLarge.join(QStringLiteral("; "))));
}

RVK_TEST_MAIN(TestWindowsFit)
#include "tst_windows_fit.moc"
