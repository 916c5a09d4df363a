// The invisible row key the program gives the report table, on the plain
// test server: present after the program connects, invisible to SELECT * and
// to INSERTs without a column list, and left alone when it is already there.
#include "testmain.h"

#include "reportschema.h"
#include "ssudialog.h"
#include "ssutestsupport.h"

#include <QSqlRecord>

class TstRowKey : public QObject
{
    Q_OBJECT
private slots:
    void programConnectionAddsAnInvisibleKey();
};

void TstRowKey::programConnectionAddsAnInvisibleKey()
{
    QVERIFY2(rvktest::databaseReachable(), "start the test database: scripts/test-db start");
    HttpFileServer server;
    SSUDialog dialog;
    QVERIFY(rvktest::bringOnline(dialog, server));
    QVERIFY(dialog.connectAndCreateTable());

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
    ensureRowKey(db);
    QVERIFY(query.exec(QStringLiteral("SELECT COUNT(*) FROM information_schema.columns WHERE table_schema = "
                                      "DATABASE() AND table_name = 'rvkreport'")));
    QVERIFY(query.next());
    QCOMPARE(query.value(0).toInt(), 22);
}

RVK_TEST_MAIN(TstRowKey)
#include "tst_rowkey_db.moc"
