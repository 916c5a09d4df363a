// The keys the program gives the report table, on the plain test server: an
// invisible row key, present after the program connects, unseen by SELECT *
// and INSERTs without a column list, left alone when already there; and the
// unique key of the duplicate rule.
#include "tests/support/sessioncalls.h"
#include "tests/support/testmain.h"

#include "ssu/reportschema.h"
#include "ssu/gui/ssudialog.h"
#include "tests/support/ssutestsupport.h"

#include <QSqlRecord>

namespace {
constexpr quint32 Sn = 81900;
} // namespace

class TestRowKey : public rvktest::DatabaseTestCase
{
    Q_OBJECT
public:
    TestRowKey()
        : DatabaseTestCase(Sn, Sn)
    {
    }

private slots:
    void initTestCase() { QVERIFY2(databaseReady(), DatabaseMissing); }
    void cleanupTestCase() { deleteOwnRows(); }

    void programConnectionAddsAnInvisibleKey();
    void aSecondRowOfTheSameReportIsRefused();
};

void TestRowKey::programConnectionAddsAnInvisibleKey()
{
    SSUDialog dialog;
    QVERIFY(bringOnline(dialog));
    QVERIFY(rvktest::Sync::connectAndCreateTable(dialog.databaseSession()));

    QSqlDatabase db = rvktest::adminConnection();
    QSqlQuery query(db);
    QVERIFY(query.exec(QStringLiteral("SELECT column_key, extra FROM information_schema.columns WHERE "
                                      "table_schema = DATABASE() AND table_name = 'rvkreport' AND column_name = 'id'")));
    QVERIFY(query.next());
    QCOMPARE(query.value(0).toString(), QStringLiteral("PRI"));
    QVERIFY2(query.value(1).toString().contains(QLatin1String("INVISIBLE")), qPrintable(query.value(1).toString()));
    QVERIFY2(query.value(1).toString().contains(QLatin1String("auto_increment")), qPrintable(query.value(1).toString()));

    // The columns every statement of the program and older programs see.
    QVERIFY(query.exec(QStringLiteral("SELECT * FROM rvkreport LIMIT 0")));
    QCOMPARE(query.record().count(), 21);
    QCOMPARE(query.record().fieldName(0), QStringLiteral("sn"));

    // A second pass finds the key and changes nothing.
    QCOMPARE(ensureReportIndexes(db), 0);
    QVERIFY(query.exec(QStringLiteral("SELECT COUNT(*) FROM information_schema.columns WHERE table_schema = "
                                      "DATABASE() AND table_name = 'rvkreport'")));
    QVERIFY(query.next());
    QCOMPARE(query.value(0).toInt(), 22);
}

// Two stations storing the same report at once: the key makes the later
// insert fail (its station archives the report) instead of adding a row.
void TestRowKey::aSecondRowOfTheSameReportIsRefused()
{
    QSqlDatabase db = rvktest::adminConnection();
    const QString insert = QStringLiteral(
        "INSERT INTO rvkreport VALUES (%1, '2026-12-08 10:00', '2024-03-15', '3.2.2', 40, '%2', '1:00', '100', '100', "
        "'100', '100', '100', '100', 0, '100', '100', '100', '100', '100', '100', 0)");
    QSqlQuery query(db);
    QVERIFY2(query.exec(insert.arg(Sn).arg(QStringLiteral("342:56"))), qPrintable(query.lastError().text()));
    QVERIFY(!query.exec(insert.arg(Sn).arg(QStringLiteral("342:56"))));
    QVERIFY2(query.exec(insert.arg(Sn).arg(QStringLiteral("342:57"))), qPrintable(query.lastError().text()));
    QCOMPARE(rvktest::rowsForSerial(Sn).size(), 2);
}

RVK_TEST_MAIN(TestRowKey)
#include "tst_rowkey_db.moc"
