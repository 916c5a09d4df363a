// The station's own copy of a module's last report: only a whole record of
// that module, with a readable time, is ever compared with.
#include "station/localhistory.h"
#include "tests/support/recordbuilder.h"
#include "tests/support/testmain.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

class TestLocalHistory : public QObject
{
    Q_OBJECT
private slots:
    void init() { QVERIFY(QDir::setCurrent(scratch.path())); }
    void keepsAndGivesBackTheModulesLastReport();
    void refusesWhatIsNotThisModulesWholeReport_data();
    void refusesWhatIsNotThisModulesWholeReport();

private:
    QTemporaryDir scratch;
};

void TestLocalHistory::keepsAndGivesBackTheModulesLastReport()
{
    LocalHistory history;
    ReportValues values;
    QVERIFY(!history.latest(4100, &values));
    QVERIFY(history.remember(4100, rvktest::plausibleRecord(4100, 7200), QStringLiteral("01.12.2026 10:00")));
    QVERIFY(history.remember(4100, rvktest::plausibleRecord(4100, 9000), QStringLiteral("05.12.2026 11:30")));
    QVERIFY(history.latest(4100, &values));
    QCOMPARE(values.sn, quint32(4100));
    QCOMPARE(values.date, QStringLiteral("05.12.2026 11:30"));
    QString error;
    QVERIFY(!history.remember(4100, rvktest::plausibleRecord(4100).left(100), QStringLiteral("05.12.2026 11:30"), &error));
    QVERIFY(!error.isEmpty());
}

void TestLocalHistory::refusesWhatIsNotThisModulesWholeReport_data()
{
    QTest::addColumn<QByteArray>("content");
    const QByteArray record = rvktest::plausibleRecord(4200);
    const QByteArray time("01.12.2026 10:00\n");
    QTest::newRow("another module's record") << time + rvktest::plausibleRecord(4201);
    QTest::newRow("cut short") << time + record.left(record.size() - 1);
    QTest::newRow("one byte too many") << time + record + 'x';
    QTest::newRow("no line end after the time") << QByteArray("01.12.2026 10:00 ") + record;
    QTest::newRow("time damaged") << QByteArray("41.13.2026 10:00\n") + record;
    QTest::newRow("empty") << QByteArray();
}

void TestLocalHistory::refusesWhatIsNotThisModulesWholeReport()
{
    QFETCH(QByteArray, content);
    LocalHistory history;
    QVERIFY(QDir().mkpath(QStringLiteral("History")));
    QFile file(history.pathOf(4200));
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(content), qint64(content.size()));
    file.close();
    ReportValues values;
    values.sn = 77;
    QVERIFY(!history.latest(4200, &values));
    QCOMPARE(values.sn, quint32(77));
}

RVK_TEST_MAIN(TestLocalHistory)
#include "tst_localhistory.moc"
