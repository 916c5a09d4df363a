// The SSU on a three-node Galera cluster (scripts/ssu-cluster): uploads,
// searches, a node that dies and rejoins, and the same module uploaded
// through two nodes at once. Run by scripts/test-cluster, which starts the
// cluster, passes its nodes in RVK_SSU_CLUSTER_HOSTS and the script itself in
// RVK_SSU_CLUSTER_SCRIPT (to kill and restart a node), and stops it again.
// This file owns serial numbers 91000..91999.
#include "tests/support/sessioncalls.h"
#include "tests/support/testmain.h"

#include "report/reportrecord.h"
#include "ssu/driver/databasehosts.h"
#include "ssu/reportschema.h"
#include "ssu/reportupload.h"
#include "ssu/gui/ssudialog.h"
#include "tests/support/httpfileserver.h"
#include "tests/support/ssutestsupport.h"

#include <QProcess>
#include <QSpinBox>
#include <QPushButton>
#include <QSqlError>
#include <QTableView>
#include <QThread>

#include <atomic>

namespace {
constexpr quint32 FirstSn = 91000;

QList<DatabaseHost> clusterNodes()
{
    return parseDatabaseHosts(qEnvironmentVariable("RVK_SSU_CLUSTER_HOSTS"), 3666);
}

QString nodeList(std::initializer_list<int> nodes)
{
    QStringList names;
    const QList<DatabaseHost> all = clusterNodes();
    for (int node : nodes)
        names << QStringLiteral("%1:%2").arg(all.value(node - 1).name).arg(all.value(node - 1).port);
    return names.join(QLatin1Char(','));
}

// A connection of the test's own to one node, for looking behind the program
// (on the stations' account unless told otherwise).
QSqlDatabase nodeConnection(int node, const QString &name, const QString &user = QStringLiteral("RVKuser"),
                            const QString &password = rvktest::testDatabasePassword())
{
    QSqlDatabase db = QSqlDatabase::contains(name) ? QSqlDatabase::database(name, false)
                                                   : QSqlDatabase::addDatabase(QStringLiteral("QMYSQL"), name);
    const DatabaseHost host = clusterNodes().value(node - 1);
    db.setHostName(host.name);
    db.setPort(host.port);
    db.setDatabaseName(QStringLiteral("RVKSSUdb"));
    db.setUserName(user);
    db.setPassword(password);
    db.setConnectOptions(QStringLiteral("MYSQL_OPT_CONNECT_TIMEOUT=5"));
    db.open();
    return db;
}

int rowsOn(int node, quint32 sn)
{
    QSqlDatabase db = nodeConnection(node, QStringLiteral("look-node%1").arg(node));
    QSqlQuery query(db);
    query.prepare(QStringLiteral("SELECT COUNT(*) FROM rvkreport WHERE sn = ?"));
    query.addBindValue(sn);
    if (!query.exec() || !query.next())
        return -1;
    return query.value(0).toInt();
}

QByteArray record(quint32 sn, qint32 totalSeconds = 3600)
{
    return rvktest::reportRecordWith({{0, totalSeconds}, {7, 100}, {34, 600}, {66, 100}, {69, qint32(sn)},
                                      {70, 15032024}, {71, 322}, {72, 40}});
}

bool runScript(const QStringList &arguments)
{
    QProcess script;
    script.start(qEnvironmentVariable("RVK_SSU_CLUSTER_SCRIPT"), arguments);
    if (!script.waitForFinished(120000))
        return false;
    return script.exitStatus() == QProcess::NormalExit && script.exitCode() == 0;
}
} // namespace

class TestSsuCluster : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();

    void uploadThroughOneNodeIsFoundThroughAnother();
    void uploadsMoveOnWhenANodeDiesAndItCatchesUp();
    void aNodeOutsideThePrimaryComponentIsSkipped();
    void sameModuleThroughTwoNodesAtOnceEndsAsOneRow();

private:
    void deleteOwnRows();
    bool upload(SSUDialog &dialog, const QByteArray &data, const QString &date);

    HttpFileServer server;
};

void TestSsuCluster::initTestCase()
{
    QVERIFY2(clusterNodes().size() == 3, "run through scripts/test-cluster (RVK_SSU_CLUSTER_HOSTS)");
    for (int node = 1; node <= 3; ++node)
        QVERIFY2(nodeConnection(node, QStringLiteral("look-node%1").arg(node)).isOpen(),
                 qPrintable(QStringLiteral("node %1 is not reachable").arg(node)));
    // The administrator's step gives the table its keys, as on a deployed
    // cluster; the stations may not.
    QSqlDatabase admin = nodeConnection(1, QStringLiteral("admin-node1"), QStringLiteral("RVKadmin"),
                                        rvktest::testAdminPassword());
    QSqlQuery query(admin);
    QVERIFY2(query.exec(createReportTableStatement()), qPrintable(query.lastError().text()));
    const QString migration = reportMigrationStatement(admin);
    QVERIFY2(migration.isEmpty() || query.exec(migration), qPrintable(query.lastError().text()));
    QCOMPARE(missingReportKeys(admin), 0);
    deleteOwnRows();
}

void TestSsuCluster::cleanupTestCase()
{
    deleteOwnRows();
}

void TestSsuCluster::deleteOwnRows()
{
    QSqlQuery(nodeConnection(1, QStringLiteral("look-node1")))
        .exec(QStringLiteral("DELETE FROM rvkreport WHERE sn BETWEEN %1 AND %2").arg(FirstSn).arg(FirstSn + 999));
}

bool TestSsuCluster::upload(SSUDialog &dialog, const QByteArray &data, const QString &date)
{
    dialog.setReportDate(date);
    rvktest::Sync::connectAndCreateTable(dialog.databaseSession());
    dialog.setReportDate(date);
    return rvktest::Sync::upload(dialog.databaseSession(), data);
}

void TestSsuCluster::uploadThroughOneNodeIsFoundThroughAnother()
{
    const quint32 sn = FirstSn + 1;
    SSUDialog dialog;
    dialog.setDatabaseHosts(nodeList({1}));
    QVERIFY(rvktest::bringOnline(dialog, server));
    QVERIFY(upload(dialog, record(sn), QStringLiteral("08.12.2026 10:00")));

    dialog.setDatabaseHosts(nodeList({3}));
    QVERIFY(rvktest::Sync::connectAndCreateTable(dialog.databaseSession()));
    dialog.findChild<QSpinBox *>(QStringLiteral("spinBox_SN"))->setValue(int(sn));
    dialog.findChild<QPushButton *>(QStringLiteral("pushButton_SN"))->click();
    auto *view = dialog.findChild<QTableView *>(QStringLiteral("tableView"));
    QTRY_COMPARE(view->model()->rowCount(), 1);
    QCOMPARE(view->model()->index(0, 0).data().toUInt(), sn);
}

// Cut off from the others, a node still accepts the login but refuses every
// statement; the upload goes through the next node instead of the archive.
void TestSsuCluster::aNodeOutsideThePrimaryComponentIsSkipped()
{
    const quint32 sn = FirstSn + 20;
    SSUDialog dialog;
    dialog.setDatabaseHosts(nodeList({1, 2, 3}));
    QVERIFY(rvktest::bringOnline(dialog, server));
    QVERIFY(runScript({QStringLiteral("isolate-node"), QStringLiteral("1")}));
    const bool stored = upload(dialog, record(sn), QStringLiteral("08.12.2026 12:00"));
    const QString usedHost = dialog.databaseSession()->connectedHost();
    QVERIFY(runScript({QStringLiteral("rejoin-node"), QStringLiteral("1")}));
    QVERIFY(stored);
    QCOMPARE(usedHost, clusterNodes().value(1).name);
    QCOMPARE(rowsOn(2, sn), 1);
    QSqlDatabase::removeDatabase(QStringLiteral("look-node1"));
    QTRY_COMPARE_WITH_TIMEOUT(rowsOn(1, sn), 1, 30000);
    qInfo("node 1 outside the primary component: the report went through %s", qPrintable(usedHost));
}

void TestSsuCluster::uploadsMoveOnWhenANodeDiesAndItCatchesUp()
{
    const quint32 first = FirstSn + 10;
    const quint32 second = FirstSn + 11;
    SSUDialog dialog;
    dialog.setDatabaseHosts(nodeList({1, 2, 3}));
    QVERIFY(rvktest::bringOnline(dialog, server));
    QVERIFY(upload(dialog, record(first), QStringLiteral("08.12.2026 11:00")));

    QVERIFY(runScript({QStringLiteral("stop-node"), QStringLiteral("1")}));
    QVERIFY(upload(dialog, record(second), QStringLiteral("08.12.2026 11:05")));
    // The same report again (an archive pass repeating it) replaces, not adds.
    QVERIFY(upload(dialog, record(second), QStringLiteral("08.12.2026 11:06")));
    QCOMPARE(rowsOn(2, first), 1);
    QCOMPARE(rowsOn(2, second), 1);
    QCOMPARE(rowsOn(3, second), 1);

    QVERIFY(runScript({QStringLiteral("start-node"), QStringLiteral("1")}));
    QSqlDatabase::removeDatabase(QStringLiteral("look-node1"));
    QCOMPARE(rowsOn(1, first), 1);
    QCOMPARE(rowsOn(1, second), 1);
    qInfo("node 1 killed between two read-outs and restarted: %d and %d rows of the two modules on every node",
          rowsOn(1, first), rowsOn(1, second));
}

void TestSsuCluster::sameModuleThroughTwoNodesAtOnceEndsAsOneRow()
{
    // Two stations, each on its own node, store the same report of each of
    // many modules at the same moment. Galera lets only one of two clashing
    // commits through; the other fails and, as for any failed upload, the
    // station keeps the report and stores it again at its next connection.
    constexpr int Modules = 40;
    std::atomic<int> ready{0};
    QList<bool> results[2];
    auto station = [&](int index) {
        const QString name = QStringLiteral("station%1").arg(index);
        {
            QSqlDatabase db = nodeConnection(index + 1, name);
            QSqlQuery query(db);
            for (int i = 0; i < Modules; ++i) {
                ReportValues values = decodeReport(record(FirstSn + 100 + quint32(i)));
                values.date = QStringLiteral("08.12.2026 12:00");
                // Both stations start each module's upload together.
                ++ready;
                while (ready.load() < 2 * (i + 1))
                    QThread::yieldCurrentThread();
                results[index].append(storeReportRow(db, query, values).ok);
            }
        }
        QSqlDatabase::removeDatabase(name);
    };
    QThread *first = QThread::create(station, 0);
    QThread *second = QThread::create(station, 1);
    first->start();
    second->start();
    QVERIFY(first->wait(120000));
    QVERIFY(second->wait(120000));
    delete first;
    delete second;

    int failed = 0;
    QSqlDatabase retry = nodeConnection(1, QStringLiteral("retry"));
    QSqlQuery retryQuery(retry);
    for (int i = 0; i < Modules; ++i) {
        QVERIFY2(results[0].value(i) || results[1].value(i), "both stations lost the same report");
        for (int s = 0; s < 2; ++s) {
            if (results[s].value(i))
                continue;
            ++failed;
            ReportValues values = decodeReport(record(FirstSn + 100 + quint32(i)));
            values.date = QStringLiteral("08.12.2026 12:05");
            QVERIFY(storeReportRow(retry, retryQuery, values).ok);
        }
    }
    int duplicates = 0;
    for (int i = 0; i < Modules; ++i)
        for (int node = 1; node <= 3; ++node)
            if (rowsOn(node, FirstSn + 100 + quint32(i)) != 1)
                ++duplicates;
    qInfo("%d modules uploaded through two nodes at once: %d uploads failed and were stored again, %d modules "
          "without exactly one row on some node",
          Modules, failed, duplicates);
    QCOMPARE(duplicates, 0);
}

RVK_TEST_MAIN(TestSsuCluster)
#include "tst_ssu_cluster.moc"
