#include "tests/support/testmain.h"

#include "ssu/reportschema.h"

// Every installation shares one table, created by whichever station comes
// first: the statements built from the field table must stay those that
// created it, byte for byte, or stations of two versions would disagree
// about the table.
class TestReportSchema : public QObject
{
    Q_OBJECT
private slots:
    void theSharedTableIsCreatedAsItAlwaysWas();
    void listingsSelectTheirColumns_data();
    void listingsSelectTheirColumns();
};

void TestReportSchema::theSharedTableIsCreatedAsItAlwaysWas()
{
    QCOMPARE(createReportTableStatement(),
             QStringLiteral(
                 "CREATE TABLE IF NOT EXISTS rvkreport(sn INT UNSIGNED NOT NULL,date DATETIME NOT NULL,release_date "
                 "DATE NOT NULL,firmware_version TEXT NOT NULL,impact_level INT UNSIGNED NOT NULL,total_time TEXT NOT "
                 "NULL,repair_time TEXT NOT NULL,rotation TEXT NOT NULL,in_voltage TEXT NOT NULL,out_voltage TEXT NOT "
                 "NULL,current TEXT NOT NULL,temperature TEXT NOT NULL,vibration TEXT NOT NULL,impacts INT UNSIGNED "
                 "NOT NULL,irt_rotation TEXT NOT NULL,irt_in_voltage TEXT NOT NULL,irt_out_voltage TEXT NOT "
                 "NULL,irt_current TEXT NOT NULL,irt_temperature TEXT NOT NULL,irt_vibration TEXT NOT NULL,irt_impacts "
                 "INT UNSIGNED NOT NULL);"));
}

void TestReportSchema::listingsSelectTheirColumns_data()
{
    QTest::addColumn<bool>("rowKey");
    QTest::addColumn<QString>("projection");
    QTest::newRow("without a row key")
        << false << "SELECT sn, date, release_date, firmware_version, total_time, repair_time FROM rvkreport";
    QTest::newRow("row key last")
        << true << "SELECT sn, date, release_date, firmware_version, total_time, repair_time, id FROM rvkreport";
}

void TestReportSchema::listingsSelectTheirColumns()
{
    QFETCH(bool, rowKey);
    QFETCH(QString, projection);
    QCOMPARE(listingProjection(rowKey), projection);
}

RVK_TEST_MAIN(TestReportSchema)
#include "tst_reportschema.moc"
