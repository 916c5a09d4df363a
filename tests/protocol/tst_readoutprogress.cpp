#include "protocol/readoutprogress.h"
#include "tests/support/testmain.h"

class TestReadoutProgress : public QObject
{
    Q_OBJECT

private slots:
    void progressValues_data();
    void progressValues();
};

void TestReadoutProgress::progressValues_data()
{
    QTest::addColumn<int>("frames");
    QTest::addColumn<int>("expected");
    const int values[] = {2,  5,  8,  10, 13, 16, 18, 21, 24, 27, 29, 32, 35, 37, 40, 43, 45, 48, 51,
                          54, 56, 59, 62, 64, 67, 70, 72, 75, 78, 81, 83, 86, 89, 91, 94, 97, 100};
    for (int frame = 1; frame <= 37; ++frame)
        QTest::addRow("frame %d", frame) << frame << values[frame - 1];
    QTest::newRow("before the first frame") << 0 << 0;
    QTest::newRow("frame 38 leaves the bar") << 38 << -1;
    QTest::newRow("far beyond") << 1000 << -1;
}

void TestReadoutProgress::progressValues()
{
    QFETCH(int, frames);
    QFETCH(int, expected);
    QCOMPARE(readoutProgressValue(frames), expected);
}

RVK_TEST_MAIN(TestReadoutProgress)
#include "tst_readoutprogress.moc"
