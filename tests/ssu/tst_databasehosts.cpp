#include "tests/support/testmain.h"

#include "ssu/driver/databasehosts.h"

Q_DECLARE_METATYPE(QList<DatabaseHost>)

namespace {
QList<DatabaseHost> hosts(std::initializer_list<DatabaseHost> list)
{
    return QList<DatabaseHost>(list);
}
} // namespace

class TestDatabaseHosts : public QObject
{
    Q_OBJECT
private slots:
    void parsesTheDeploymentValue_data();
    void parsesTheDeploymentValue();
};

void TestDatabaseHosts::parsesTheDeploymentValue_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QList<DatabaseHost>>("expected");
    QTest::newRow("one host, as before") << "127.0.0.1" << hosts({{"127.0.0.1", 3666}});
    QTest::newRow("cluster in order") << "db1,db2:3307, 10.0.0.5 "
                                      << hosts({{"db1", 3666}, {"db2", 3307}, {"10.0.0.5", 3666}});
    QTest::newRow("blank entries skipped") << ",db1,,db2," << hosts({{"db1", 3666}, {"db2", 3666}});
    QTest::newRow("bad ports dropped") << "db1:0,db2:x,db3:70000,:3307,db4:3308"
                                       << hosts({{"db4", 3308}});
    QTest::newRow("repeats tried once") << "db1,db1:3666,db2" << hosts({{"db1", 3666}, {"db2", 3666}});
    QTest::newRow("bare IPv6 address") << "::1,fd00::5" << hosts({{"::1", 3666}, {"fd00::5", 3666}});
    QTest::newRow("nothing") << " , " << hosts({});
}

void TestDatabaseHosts::parsesTheDeploymentValue()
{
    QFETCH(QString, value);
    QFETCH(QList<DatabaseHost>, expected);
    const QList<DatabaseHost> parsed = parseDatabaseHosts(value, 3666);
    QCOMPARE(parsed.size(), expected.size());
    for (int i = 0; i < parsed.size(); ++i) {
        QCOMPARE(parsed.at(i).name, expected.at(i).name);
        QCOMPARE(parsed.at(i).port, expected.at(i).port);
    }
}

RVK_TEST_MAIN(TestDatabaseHosts)
#include "tst_databasehosts.moc"
