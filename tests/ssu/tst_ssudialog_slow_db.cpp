// The search dialog against a slow SSU: the test MariaDB behind a proxy that
// holds every answer, while the user goes on clicking. Every act must land on
// the report shown as current when it was made, and the lists must show each
// report of the search once. This file owns serial numbers 76000..76099.
#include "tests/support/httpfileserver.h"
#include "tests/support/modalanswerer.h"
#include "tests/support/sessioncalls.h"
#include "tests/support/ssutestsupport.h"
#include "tests/support/stallingproxy.h"
#include "tests/support/testmain.h"
#include "tests/support/urlcatcher.h"

#include "protocol/programidentity.h"
#include "ssu/mysqlquerymodel.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QPushButton>
#include <QSet>
#include <QSpinBox>
#include <QTableView>
#include <QTemporaryDir>

namespace {
constexpr quint32 ManyReports = 76001;  // 40 reports, 100:00 to 139:00
constexpr quint32 FewReports = 76002;   // 5 reports
constexpr int ManyCount = 40;
constexpr int FewCount = 5;
constexpr int WindowRows = 8;
constexpr int HeldMs = 150;

// The module's report number i: its total time orders it (as text) and its
// minute names its document.
bool seed(quint32 sn, int count)
{
    QSqlQuery query(rvktest::adminConnection());
    query.prepare(QStringLiteral(
        "INSERT INTO rvkreport VALUES (:sn, :date, '2019-06-01', '3.1', 7, :total, '01:15', '0,0,0,0,100', "
        "'0,0,0,0,100', '0,0,0,0,100', '0,0,0,0,100', '0,0,0,0,100', '0,0,0,0,100', 5, '0,0,0,0,100', "
        "'0,0,0,0,100', '0,0,0,0,100', '0,0,0,0,100', '0,0,0,0,100', '0,0,0,0,100', 2)"));
    for (int i = 0; i < count; ++i) {
        query.bindValue(QStringLiteral(":sn"), sn);
        query.bindValue(QStringLiteral(":date"), QDateTime(QDate(2025, 3, 1), QTime(8, 0)).addSecs(60 * i));
        query.bindValue(QStringLiteral(":total"), QStringLiteral("%1:00").arg(100 + i));
        if (!query.exec())
            return false;
    }
    return true;
}

QStringList totalTimesOf(quint32 sn)
{
    QStringList times;
    for (const QVariantMap &row : rvktest::rowsForSerial(sn))
        times << row.value("total_time").toString();
    times.sort();
    return times;
}
} // namespace

class TestSsuDialogSlow : public rvktest::DatabaseTestCase
{
    Q_OBJECT

    std::unique_ptr<StallingProxy> proxy;
    std::unique_ptr<SSUDialog> dialog;
    QTemporaryDir workingFolder;
    QString previousFolder;

public:
    TestSsuDialogSlow()
        : DatabaseTestCase(76000, 76099)
    {
    }

private:
    MySqlQueryModel *model() const { return dialog->databaseSession()->model(); }
    QTableView *view() const { return dialog->findChild<QTableView *>(QStringLiteral("tableView")); }
    QPushButton *button(const char *name) const { return dialog->findChild<QPushButton *>(QLatin1String(name)); }
    QString listLength() const { return dialog->findChild<QLabel *>(QStringLiteral("label_RowCount"))->text(); }

    void search(int sn)
    {
        dialog->findChild<QSpinBox *>(QStringLiteral("spinBox_SN"))->setValue(sn);
        button("pushButton_SN")->click();
    }
    // The search's rows are all there (listed and counted).
    bool listed(int rows)
    {
        return QTest::qWaitFor(
            [&] { return !model()->isLoading() && !model()->isCounting() && model()->rowCount() == rows; }, 20000);
    }
    void makeCurrent(int row)
    {
        const QModelIndex index = model()->index(row, 0);
        view()->scrollTo(index);
        view()->setCurrentIndex(index);
    }
    // The total times of every row, each read once its window has arrived.
    QStringList everyRow()
    {
        QStringList times;
        for (int row = 0; row < model()->rowCount(); ++row) {
            if (!QTest::qWaitFor([&] { return model()->reportKey(row).isValid(); }, 10000))
                return {};
            times << model()->reportKey(row).totalTime;
        }
        return times;
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(databaseReady(), DatabaseMissing);
        previousFolder = QDir::currentPath();
        QDir::setCurrent(workingFolder.path());
        QVERIFY(seed(ManyReports, ManyCount));
        QVERIFY(seed(FewReports, FewCount));
    }

    void init()
    {
        UrlCatcher::instance().urls.clear();
        const DatabaseHost host = rvktest::testDatabaseHost();
        proxy = std::make_unique<StallingProxy>(QHostAddress(host.name), quint16(host.port));
        dialog = std::make_unique<SSUDialog>();
        dialog->setFetchWindowSize(WindowRows);
        dialog->setDatabaseServer(proxy->address().toString(), proxy->port(), {});
        QVERIFY(bringOnline(*dialog));
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
        proxy->holdAnswers(HeldMs);
    }

    void cleanup()
    {
        dialog.reset();
        proxy.reset();
    }

    void cleanupTestCase()
    {
        QDir::setCurrent(previousFolder);
        deleteOwnRows();
    }

    // A row far down is clicked while its window is read, then the next one
    // (the arrow key) during that wait: Delete waits for the row's report and
    // then deletes the report highlighted, and no other.
    void deleteActsOnTheRowShownAsCurrent()
    {
        search(ProgramIdentity::ServiceAccessCode);
        search(int(ManyReports));
        QVERIFY(listed(ManyCount));

        makeCurrent(30);
        QVERIFY(!model()->isRowLoaded(30));
        QVERIFY(!button("pushButton_Delete")->isEnabled());
        QVERIFY(!button("pushButton_Open")->isEnabled());
        QTest::keyClick(view(), Qt::Key_Down);
        QCOMPARE(view()->currentIndex().row(), 31);
        QVERIFY(!button("pushButton_Delete")->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(button("pushButton_Delete")->isEnabled(), 10000);
        QCOMPARE(model()->index(31, 4).data().toString(), QStringLiteral("131:00"));

        button("pushButton_Delete")->click();
        QTRY_COMPARE_WITH_TIMEOUT(totalTimesOf(ManyReports).size(), ManyCount - 1, 10000);
        QVERIFY(!totalTimesOf(ManyReports).contains(QStringLiteral("131:00")));
        QVERIFY(totalTimesOf(ManyReports).contains(QStringLiteral("130:00")));
        // The module's reports whole again for the tests that follow.
        rvktest::deleteSerials({ManyReports});
        QVERIFY(seed(ManyReports, ManyCount));
    }

    // Save on one row, then Open on the next while the first is answered:
    // the first is saved where the user chooses and the second opened.
    void saveThenOpenKeepEachItsOwnMode()
    {
        QVERIFY(QDir().mkpath(QStringLiteral("Reports")));
        search(int(FewReports));
        QVERIFY(listed(FewCount));
        const QString chosen = QDir::current().absoluteFilePath(QStringLiteral("saved.html"));
        ModalAnswerer answerer;
        answerer.answerWith([&](QWidget *widget) {
            auto *fileDialog = qobject_cast<QFileDialog *>(widget);
            QVERIFY(fileDialog);
            fileDialog->selectFile(chosen);
            static_cast<QDialog *>(fileDialog)->accept();
        });

        makeCurrent(0);
        button("pushButton_Save")->click();
        makeCurrent(1);
        button("pushButton_Open")->click();

        QTRY_COMPARE_WITH_TIMEOUT(UrlCatcher::instance().reportDocuments().size(), 1, 10000);
        QCOMPARE(answerer.seen.size(), 1);
        QVERIFY(QFile::exists(chosen));
        const QString opened = UrlCatcher::instance().reportDocuments().first().toLocalFile();
        QVERIFY2(opened.endsWith(QStringLiteral("RVKReport_sn76002_01.03.2025_08.01.html")), qPrintable(opened));
        QFile savedFile(chosen);
        QVERIFY(savedFile.open(QIODevice::ReadOnly));
        QVERIFY(savedFile.readAll().contains("100:00"));
        QFile openedFile(opened);
        QVERIFY(openedFile.open(QIODevice::ReadOnly));
        QVERIFY(openedFile.readAll().contains("101:00"));

        // Opened again, the same report reuses its file.
        button("pushButton_Open")->click();
        QTRY_COMPARE_WITH_TIMEOUT(UrlCatcher::instance().reportDocuments().size(), 2, 10000);
        QCOMPARE(UrlCatcher::instance().reportDocuments().last().toLocalFile(), opened);
        QCOMPARE(QDir(QStringLiteral("Reports")).entryList({QStringLiteral("RVKReport_sn76002*")}, QDir::Files).size(), 1);
    }

    // A heading clicked while the search's first window is read: the list
    // comes in the order clicked, every report once.
    void headingClickedDuringTheFirstWindow()
    {
        search(int(ManyReports));
        QVERIFY(model()->isLoading());
        view()->sortByColumn(4, Qt::DescendingOrder);
        QVERIFY(listed(ManyCount));
        const QStringList times = everyRow();
        QCOMPARE(times.size(), ManyCount);
        QCOMPARE(QSet<QString>(times.begin(), times.end()).size(), ManyCount);
        QStringList descending = times;
        std::sort(descending.begin(), descending.end(), std::greater<QString>());
        QCOMPARE(times, descending);
    }

    // A search started while a row's report is read: the list holds the new
    // search's reports only.
    void searchDuringARowsRead()
    {
        search(int(ManyReports));
        QVERIFY(listed(ManyCount));
        makeCurrent(33);
        QVERIFY(!model()->isRowLoaded(33));
        search(int(FewReports));
        QVERIFY(listed(FewCount));
        QTest::qWait(3 * HeldMs); // the dropped window's answer has come meanwhile
        QCOMPARE(model()->rowCount(), FewCount);
        for (int row = 0; row < FewCount; ++row) {
            QTRY_VERIFY(model()->reportKey(row).isValid());
            QCOMPARE(model()->reportKey(row).sn, FewReports);
        }
    }

    // The server drops the session's idle connection; the next search opens
    // it again and lists what is stored, and a server that stays away is
    // said to be away rather than shown as an empty table.
    void droppedConnectionIsOpenedAgain()
    {
        proxy->holdAnswers(0);
        SsuSession *session = dialog->databaseSession();
        const QVariantList id = rvktest::onSessionConnection(session, QStringLiteral("SELECT CONNECTION_ID()"));
        QVERIFY(!id.isEmpty());
        QVERIFY(rvktest::execOnSessionConnection(session, QStringLiteral("SET SESSION wait_timeout = 2")));
        QTRY_VERIFY_WITH_TIMEOUT(
            [&] {
                QSqlQuery alive(rvktest::adminConnection());
                return alive.exec(QStringLiteral("SELECT COUNT(*) FROM information_schema.PROCESSLIST WHERE ID = %1")
                                      .arg(id.first().toULongLong()))
                    && alive.next() && alive.value(0).toInt() == 0;
            }(),
            10000);

        search(int(FewReports));
        QVERIFY(listed(FewCount));
        QCOMPARE(listLength(), QStringLiteral("Отчётов: %1").arg(FewCount));

        // Gone for good: no new connection, the open one dropped.
        proxy->refuseNewConnections(true);
        for (int connection = 0; connection < 16; ++connection)
            proxy->dropConnection(connection);
        search(int(ManyReports));
        QTRY_VERIFY_WITH_TIMEOUT(!model()->isLoading(), 20000);
        QVERIFY(model()->readFailed());
        QCOMPARE(listLength(), QStringLiteral("ССУ не ответила: список отчётов не прочитан."));
    }
};

RVK_TEST_MAIN(TestSsuDialogSlow)
#include "tst_ssudialog_slow_db.moc"
