// Where the program puts the windows it sizes itself.
#include "diagnostics/screenfit.h"
#include "tests/support/testmain.h"

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
};

RVK_TEST_MAIN(TestScreenFit)
#include "tst_screenfit.moc"
