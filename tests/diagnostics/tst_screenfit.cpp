// Where the program puts the windows it sizes itself.
#include "diagnostics/screenfit.h"
#include "tests/support/testmain.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

class TestScreenFit : public QObject
{
    Q_OBJECT

private slots:
    void fittedGeometry_data()
    {
        QTest::addColumn<QRect>("wanted");
        QTest::addColumn<QRect>("fitted");
        // A 1280x1024 primary with a panel at the bottom, and a second
        // screen to its right.
        QTest::newRow("fits already") << QRect(100, 100, 960, 820) << QRect(100, 100, 960, 820);
        QTest::newRow("taller than the screen") << QRect(100, 100, 960, 1342) << QRect(100, 0, 960, 984);
        QTest::newRow("runs off the bottom") << QRect(200, 500, 400, 600) << QRect(200, 384, 400, 600);
        QTest::newRow("mostly on the second screen")
            << QRect(1800, 100, 800, 600) << QRect(1800, 100, 800, 600);
        QTest::newRow("runs off the second screen") << QRect(2600, 100, 800, 600) << QRect(2400, 100, 800, 600);
        QTest::newRow("on a screen that is gone") << QRect(5000, 3000, 400, 400) << QRect(880, 584, 400, 400);
        QTest::newRow("left of every screen") << QRect(-900, 200, 400, 400) << QRect(0, 200, 400, 400);
    }
    void fittedGeometry()
    {
        QFETCH(QRect, wanted);
        QFETCH(QRect, fitted);
        const QVector<QRect> areas{QRect(0, 0, 1280, 984), QRect(1280, 0, 1920, 1080)};
        QCOMPARE(ScreenFit::fittedGeometry(wanted, areas), fitted);
    }

    void besideAnotherWindow_data()
    {
        QTest::addColumn<QRect>("other");
        QTest::addColumn<QPoint>("placed");
        QTest::newRow("room on the right") << QRect(100, 50, 500, 400) << QPoint(600, 50);
        QTest::newRow("room on the left only") << QRect(800, 50, 450, 400) << QPoint(400, 50);
        QTest::newRow("room on neither, more on the left") << QRect(300, 80, 800, 400) << QPoint(-100, 80);
        QTest::newRow("room on neither, more on the right") << QRect(100, 80, 900, 400) << QPoint(1000, 80);
        QTest::newRow("on the second screen") << QRect(1400, 0, 500, 400) << QPoint(1900, 0);
    }
    void besideAnotherWindow()
    {
        QFETCH(QRect, other);
        QFETCH(QPoint, placed);
        const QVector<QRect> areas{QRect(0, 0, 1280, 984), QRect(1280, 0, 1920, 1080)};
        QCOMPARE(ScreenFit::besideWindow(other, QSize(400, 300), areas), placed);
    }

    // A window sized for a larger screen, or placed by hand at its bottom,
    // opens whole, title bar and frame included; fitting it again moves
    // nothing (the main window used to creep up a title bar per start).
    void windowOpensWholeFrameIncluded()
    {
        ScreenFit::fitEveryWindow();
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        QWidget window;
        window.resize(area.width() + 200, area.height() - 100);
        window.move(area.left() + 50, area.bottom() - 120);
        const QMargins frame = ScreenFit::frameMargins(&window);
        QVERIFY(frame.top() >= 20);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QRect whole(window.pos(), window.size().grownBy(ScreenFit::frameMargins(&window)));
        QVERIFY2(area.contains(whole), qPrintable(QStringLiteral("%1,%2 %3x%4").arg(whole.x()).arg(whole.y()).arg(whole.width()).arg(whole.height())));
        const QPoint placed = window.pos();
        const QSize sized = window.size();
        ScreenFit::fitToScreen(&window);
        window.hide();
        window.show();
        QCOMPARE(window.pos(), placed);
        QCOMPARE(window.size(), sized);
    }
};

RVK_TEST_MAIN(TestScreenFit)
#include "tst_screenfit.moc"
