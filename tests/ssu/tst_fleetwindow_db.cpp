// The fleet window against the test MariaDB, through its controls. Its
// reports (serial numbers 64050..64099) carry a firmware version no other
// test stores, so their group's figures are the same whatever else the
// shared table holds meanwhile.
#include "ssu/gui/fleetwindow.h"
#include "tests/support/databasetest.h"
#include "tests/support/modalanswerer.h"
#include "tests/support/testmain.h"

#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTest>

namespace {
const QString Firmware = QStringLiteral("64.0.1");

bool insertReport(int sn, const QString &date, const QString &firmware, const QString &totalTime)
{
    QSqlQuery query(rvktest::adminConnection());
    query.prepare(QStringLiteral("INSERT INTO rvkreport VALUES (?, ?, '2090-01-02', ?, 1, ?, '1:00', "
                                 "'100,0,0,0,0,0', '0,100,0,0', '0,0,100,0,0', '0,0,0,100,0,0', '0,0,0,0,100,0', "
                                 "'0,0,0,0,100', 5, '0,0,0,0,0,0', '0,0,0,0', '0,0,0,0,0', '0,0,0,0,0,0', "
                                 "'0,0,0,0,0,0', '0,0,0,0,0', 0)"));
    for (const QVariant &value : QVariantList{sn, date, firmware, totalTime})
        query.addBindValue(value);
    return query.exec();
}

template <class T>
T *child(QWidget &window, const char *name)
{
    return window.findChild<T *>(QLatin1String(name));
}

bool waitForSummary(FleetWindow &window)
{
    QSignalSpy shown(&window, &FleetWindow::summaryShown);
    return shown.wait(15000);
}

QString cell(FleetWindow &window, int row, int column)
{
    const QTableWidgetItem *item = child<QTableWidget>(window, "tableWidget_Fleet")->item(row, column);
    return item ? item->text() : QString();
}
} // namespace

class TestFleetWindow : public rvktest::DatabaseTestCase
{
    Q_OBJECT
public:
    TestFleetWindow() : DatabaseTestCase(64050, 64099) {}

private:
    SsuSession session;
    std::unique_ptr<FleetWindow> window;

private slots:
    void initTestCase()
    {
        QVERIFY2(databaseReady(), DatabaseMissing);
        // 64050's later report moves it from 64.0.0 to the group; with
        // 64051 the group has 10 and 30 hours: median 20.
        QVERIFY(insertReport(64050, QStringLiteral("2091-01-01 10:00"), QStringLiteral("64.0.0"), "5:00"));
        QVERIFY(insertReport(64050, QStringLiteral("2091-02-01 10:00"), Firmware, "10:00"));
        QVERIFY(insertReport(64051, QStringLiteral("2091-02-01 11:00"), Firmware, "30:00"));
        QVERIFY(bringOnline(session));
        window = std::make_unique<FleetWindow>(&session);
        window->show();
        QVERIFY(waitForSummary(*window));
        QVERIFY2(window->summary().ok, qPrintable(window->summary().error));
    }

    void cleanupTestCase()
    {
        window.reset();
        deleteOwnRows();
    }

    void showsTheChosenGroupsSideBySide()
    {
        QCOMPARE(window->objectName(), QStringLiteral("FleetWindow"));
        QVERIFY(window->isWindow());
        QVERIFY(child<QLabel>(*window, "label_Status")->text().startsWith(QStringLiteral("Прочитано в ")));
        auto *groupA = child<QComboBox>(*window, "comboBox_GroupA");
        auto *groupB = child<QComboBox>(*window, "comboBox_GroupB");
        QVERIFY(groupA->findText(QStringLiteral("64.0.0")) < 0);
        groupA->setCurrentIndex(groupA->findText(Firmware));
        QCOMPARE(cell(*window, 0, 0), QStringLiteral("2"));
        QCOMPARE(cell(*window, 1, 0), window->locale().toString(20.0, 'f', 1));

        auto *table = child<QTableWidget>(*window, "tableWidget_Fleet");
        QCOMPARE(table->horizontalHeaderItem(0)->text(), Firmware);
        // The counts and spreads, then 6 + 4 + 5 + 6 + 6 + 5 bins.
        QCOMPARE(table->rowCount(), 11 + 32);
        QCOMPARE(table->verticalHeaderItem(11)->text(), QStringLiteral("Обороты 0…1000 об/мин, %"));
        QCOMPARE(table->verticalHeaderItem(16)->text(), QStringLiteral("Обороты 4000… об/мин, %"));
        // All of both modules' rotation time lies in the first bin.
        QCOMPARE(cell(*window, 11, 0), window->locale().toString(100.0, 'f', 1));

        // A refresh keeps the groups chosen.
        groupB->setCurrentIndex(groupB->findText(Firmware));
        QTest::mouseClick(child<QPushButton>(*window, "pushButton_Refresh"), Qt::LeftButton);
        QCOMPARE(child<QLabel>(*window, "label_Status")->text(), QStringLiteral("Чтение…"));
        QVERIFY(waitForSummary(*window));
        QCOMPARE(groupA->currentText(), Firmware);
        QCOMPARE(groupB->currentText(), Firmware);
        QCOMPARE(cell(*window, 0, 1), QStringLiteral("2"));
    }

    void groupsByReleaseYearWhenChosen()
    {
        child<QComboBox>(*window, "comboBox_Grouping")->setCurrentIndex(2);
        QVERIFY(waitForSummary(*window));
        QCOMPARE(window->summary().value.grouping, FleetGrouping::ReleaseYear);
        QVERIFY(child<QComboBox>(*window, "comboBox_GroupA")->findText(QStringLiteral("2090")) >= 0);
        child<QComboBox>(*window, "comboBox_Grouping")->setCurrentIndex(0);
        QVERIFY(waitForSummary(*window));
    }

    void exportsTheSummaryToTheChosenFile()
    {
        const QString path = rvktest::workDir() + QStringLiteral("/fleet.csv");
        ModalAnswerer answerer;
        answerer.answerWith([&](QWidget *widget) {
            auto *dialog = qobject_cast<QFileDialog *>(widget);
            QVERIFY(dialog);
            dialog->selectFile(path);
            static_cast<QDialog *>(dialog)->accept();
        });
        QTest::mouseClick(child<QPushButton>(*window, "pushButton_ExportCsv"), Qt::LeftButton);
        QCOMPARE(answerer.seen.size(), 1);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = file.readAll().split('\n');
        QVERIFY(lines.first().startsWith("group,modules,hours_median,"));
        bool found = false;
        for (const QByteArray &line : lines)
            found = found || line.startsWith("64.0.1,2,20.000,");
        QVERIFY(found);
    }

    void saysWhenTheFileCannotBeWritten()
    {
        // Every write to /dev/full fails, also for root.
        ModalAnswerer answerer;
        answerer.answerWith([](QWidget *widget) {
            auto *dialog = qobject_cast<QFileDialog *>(widget);
            QVERIFY(dialog);
            dialog->setOption(QFileDialog::DontConfirmOverwrite);
            dialog->selectFile(QStringLiteral("/dev/full"));
            static_cast<QDialog *>(dialog)->accept();
        });
        answerer.press(QMessageBox::Ok);
        QTest::mouseClick(child<QPushButton>(*window, "pushButton_ExportCsv"), Qt::LeftButton);
        QVERIFY(answerer.waitForBoxes(2));
        QCOMPARE(answerer.seen.at(1).title, QStringLiteral("Сводка по парку"));
        QVERIFY(answerer.seen.at(1).text.startsWith(QStringLiteral("Не удалось записать файл /dev/full")));
    }

    void showsWhyNothingCouldBeRead()
    {
        // A session that never got its password opens no connection.
        SsuSession offline;
        FleetWindow failing(&offline);
        QVERIFY(waitForSummary(failing));
        QVERIFY(!failing.summary().ok);
        QCOMPARE(child<QLabel>(failing, "label_Status")->text(), failing.summary().error);
        QVERIFY(!child<QLabel>(failing, "label_Status")->text().isEmpty());
        QVERIFY(!child<QPushButton>(failing, "pushButton_ExportCsv")->isEnabled());
        QCOMPARE(child<QComboBox>(failing, "comboBox_GroupA")->count(), 0);
    }
};

RVK_TEST_MAIN(TestFleetWindow)
#include "tst_fleetwindow_db.moc"
