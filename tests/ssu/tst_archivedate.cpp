#include "tests/support/testmain.h"

#include "ssu/archivedate.h"

class TestArchiveDate : public QObject
{
    Q_OBJECT
private slots:
    void recoversTheReportDate_data();
    void recoversTheReportDate();
};

void TestArchiveDate::recoversTheReportDate_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("date");
    QTest::newRow("example") << "ssu_sn1234_05.03.2024_14.07.bin" << "05.03.2024 14:07";
    QTest::newRow("serial 0, midnight") << "ssu_sn0_01.01.2025_00.00.bin" << "01.01.2025 00:00";
    QTest::newRow("large serial") << "ssu_sn4294967295_31.12.2026_23.59.bin" << "31.12.2026 23:59";
    // Copies a user made by hand keep a suffix that no longer parses; the
    // upload then binds a null date and the server decides.
    QTest::newRow("copied file") << "ssu_sn7_06.12.2026_14.35 (2).bin" << "06.12.2026 14:35 (2)";
}

void TestArchiveDate::recoversTheReportDate()
{
    QFETCH(QString, fileName);
    QFETCH(QString, date);
    QCOMPARE(reportDateFromArchiveName(fileName), date);
}

RVK_TEST_MAIN(TestArchiveDate)
#include "tst_archivedate.moc"
