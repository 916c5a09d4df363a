// Opening, saving and deleting stored reports against the test MariaDB. This
// file owns serial numbers 61100..61199 of the shared table.
#include "tests/support/sessioncalls.h"
#include "tests/support/testmain.h"

#include "report/htmlreport.h"
#include "report/reportrecord.h"
#include "ssu/gui/modulehistorywindow.h"
#include "tests/support/modalanswerer.h"
#include "tests/support/ssutestsupport.h"
#include "tests/support/urlcatcher.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTextCodec>

namespace {
constexpr quint32 firstSn = 61100;
constexpr quint32 lastSn = 61199;

struct SeededReport
{
    quint32 sn = 0;
    QDateTime date;
    QString totalTime = QStringLiteral("12:30");
    QString rotation = QStringLiteral("10,20,30,40,0");
    QString irtRotation = QStringLiteral("40,30,20,10,0");
    QString otherLists = QStringLiteral("0,0,0,0,100");
    quint32 impacts = 5;
    quint32 irtImpacts = 2;
};

bool store(const SeededReport &report)
{
    QSqlQuery query(rvktest::adminConnection());
    query.prepare(QStringLiteral(
        "INSERT INTO rvkreport VALUES (:sn, :date, '2019-06-01', '3.1', 7, :total, '01:15', :rot, :other, :other, "
        ":other, :other, :other, :impacts, :irt_rot, :other, :other, :other, :other, :other, :irt_impacts)"));
    query.bindValue(QStringLiteral(":sn"), report.sn);
    query.bindValue(QStringLiteral(":date"), report.date);
    query.bindValue(QStringLiteral(":total"), report.totalTime);
    query.bindValue(QStringLiteral(":rot"), report.rotation);
    query.bindValue(QStringLiteral(":irt_rot"), report.irtRotation);
    query.bindValue(QStringLiteral(":other"), report.otherLists);
    query.bindValue(QStringLiteral(":impacts"), report.impacts);
    query.bindValue(QStringLiteral(":irt_impacts"), report.irtImpacts);
    if (!query.exec())
        qWarning() << query.lastError().text();
    return query.numRowsAffected() == 1;
}

QString documentText(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QTextCodec::codecForName("windows-1251")->toUnicode(file.readAll());
}

// From the total section's heading to the footer: both histogram sections
// with their impact counts.
QString histogramPart(const QString &document)
{
    const int start = document.indexOf(QStringLiteral("<p style=\"font-size:24px"));
    const int end = document.indexOf(QStringLiteral("<p>"), start);
    return start < 0 || end < 0 ? QString() : document.mid(start, end - start);
}

QTableView *tableOf(SSUDialog &dialog)
{
    return dialog.findChild<QTableView *>(QStringLiteral("tableView"));
}

// Searches one module's reports; true once the listing has arrived.
bool searchSerial(SSUDialog &dialog, int sn)
{
    dialog.findChild<QSpinBox *>(QStringLiteral("spinBox_SN"))->setValue(sn);
    dialog.findChild<QPushButton *>(QStringLiteral("pushButton_SN"))->click();
    return rvktest::listingArrived(dialog);
}

// Clicks the row once it shows its report; false when it never did.
bool clickRow(SSUDialog &dialog, int row)
{
    if (!rvktest::rowArrived(dialog, row))
        return false;
    QTableView *view = tableOf(dialog);
    const QRect cell = view->visualRect(view->model()->index(row, 0));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
    return true;
}

void press(SSUDialog &dialog, const char *button)
{
    dialog.findChild<QPushButton *>(QLatin1String(button))->click();
}

// Runs the test body in a fresh working directory, where "Reports" does not
// exist yet.
class FreshWorkingDirectory
{
public:
    FreshWorkingDirectory() : previous(QDir::currentPath()) { QDir::setCurrent(dir.path()); }
    ~FreshWorkingDirectory() { QDir::setCurrent(previous); }
    QString path() const { return dir.path(); }

private:
    QTemporaryDir dir;
    QString previous;
};
} // namespace

class TestSsuDialogReports : public rvktest::DatabaseTestCase
{
    Q_OBJECT

    SSUDialog *dialog = nullptr;

public:
    TestSsuDialogReports()
        : DatabaseTestCase(firstSn, lastSn)
    {
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(databaseReady(), DatabaseMissing);
        dialog = new SSUDialog;
        QVERIFY(bringOnline(*dialog));
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog));
    }

    void init()
    {
        dialog->setLanguage(0);
        UrlCatcher::instance().urls.clear();
    }

    void cleanupTestCase()
    {
        delete dialog;
        deleteOwnRows();
    }

    void doubleClickOpensTheReportOfThatRow()
    {
        FreshWorkingDirectory cwd;
        QVERIFY(store({61101, QDateTime(QDate(2024, 3, 5), QTime(14, 7))}));
        QVERIFY(searchSerial(*dialog, 61101));
        QTableView *view = tableOf(*dialog);
        QCOMPARE(view->model()->rowCount(), 1);

        const QRect cell = view->visualRect(view->model()->index(0, 2));
        // A real double-click starts with a press and release; QTest's
        // double-click event alone does not.
        QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
        QVERIFY(rvktest::sessionSettled(*dialog));

        const QString path = cwd.path() + QStringLiteral("/Reports/RVKReport_sn61101_05.03.2024_14.07.html");
        QVERIFY(QFile::exists(path));
        QCOMPARE(UrlCatcher::instance().urls, (QList<QUrl>{QUrl::fromLocalFile(path)}));
        const QString document = documentText(path);
        QVERIFY(document.contains(QStringLiteral("<title>RVKReport_sn61101_05.03.2024_14.07.html</title>")));
        QVERIFY(document.contains(QStringLiteral("<td>05.03.2024 14:07</td></tr><tr><td>Серийный номер :</td>"
                                                 "<td>61101</td></tr><tr><td>Дата выпуска :</td><td>01.06.2019</td>"
                                                 "</tr><tr><td>Версия прошивки :</td><td>3.1</td></tr><tr><td>Уровень "
                                                 "удара :</td><td>7</td></tr><tr><td>Полная наработка, часов :</td>"
                                                 "<td>12:30</td></tr><tr><td>Межремонтная наработка, часов : </td>"
                                                 "<td>01:15</td>")));
        // 5 under the total histograms, 2 under the inter-repair ones.
        const QString histograms = histogramPart(document);
        const int totalImpacts = histograms.indexOf(QStringLiteral("Количество ударов : 5</p>"));
        const int irtHeading = histograms.indexOf(QStringLiteral("Гистограмма межремонтной наработки"));
        const int irtImpacts = histograms.indexOf(QStringLiteral("Количество ударов : 2</p>"));
        QVERIFY(totalImpacts > 0);
        QVERIFY(irtHeading > totalImpacts);
        QVERIFY(irtImpacts > irtHeading);
        QVERIFY(histograms.indexOf(QStringLiteral("padding-right:10%")) < irtHeading);
        QVERIFY(histograms.indexOf(QStringLiteral("padding-right:40%"), irtHeading)
                < histograms.indexOf(QStringLiteral("padding-right:10%"), irtHeading));
    }

    // The module of the chosen row: every report of it, oldest first, in
    // the history window, where two chosen reports are compared.
    void historyOfTheChosenModuleComparesTwoReports()
    {
        FreshWorkingDirectory cwd;
        QVERIFY(store({61150, QDateTime(QDate(2024, 5, 1), QTime(8, 0)), QStringLiteral("10:00")}));
        SeededReport latest{61150, QDateTime(QDate(2024, 6, 1), QTime(8, 0)), QStringLiteral("130:30")};
        latest.impacts = 9;
        QVERIFY(store(latest));
        QVERIFY(store({61150, QDateTime(QDate(2024, 5, 11), QTime(8, 0)), QStringLiteral("50:00")}));
        QVERIFY(store({61151, QDateTime(QDate(2024, 5, 20), QTime(8, 0)), QStringLiteral("70:00")}));
        QVERIFY(searchSerial(*dialog, 61150));
        QCOMPARE(tableOf(*dialog)->model()->rowCount(), 3);
        QVERIFY(clickRow(*dialog, 1));
        press(*dialog, "pushButton_History");
        QVERIFY(rvktest::sessionSettled(*dialog));

        auto *history = dialog->findChild<ModuleHistoryWindow *>();
        QVERIFY(history);
        QVERIFY(QTest::qWaitForWindowExposed(history));
        QCOMPARE(history->windowTitle(), QStringLiteral("История модуля 61150"));
        auto *table = history->findChild<QTableWidget *>(QStringLiteral("tableWidget_History"));
        QCOMPARE(table->rowCount(), 3);
        QCOMPARE(table->item(0, 3)->text(), QStringLiteral("10:00"));
        QCOMPARE(table->item(1, 3)->text(), QStringLiteral("50:00"));
        QCOMPARE(table->item(2, 0)->text(), QStringLiteral("01.06.2024 08:00"));

        auto *compare = history->findChild<QPushButton *>(QStringLiteral("pushButton_Compare"));
        table->selectRow(2);
        QVERIFY(!compare->isEnabled());
        table->selectionModel()->select(table->model()->index(0, 0),
                                        QItemSelectionModel::Select | QItemSelectionModel::Rows);
        QVERIFY(compare->isEnabled());
        compare->click();
        QCOMPARE(UrlCatcher::instance().urls.size(), 1);
        QFile comparison(UrlCatcher::instance().urls.first().toLocalFile());
        QVERIFY(comparison.fileName().startsWith(cwd.path() + QStringLiteral("/Reports/RVKChanges_sn61150_")));
        QVERIFY(comparison.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(comparison.readAll());
        QVERIFY(text.contains(QStringLiteral("<td class=\"name\">Прошло дней</td><td>31.0</td>")));
        QVERIFY(text.contains(QStringLiteral("<td>10:00</td><td>130:30</td><td>+120:30</td>")));
        QVERIFY(text.contains(QStringLiteral("<td>5</td><td>9</td><td>+4</td>")));
        history->close();
    }

    void openButtonUsesTheCurrentRow()
    {
        FreshWorkingDirectory cwd;
        QVERIFY(store({61102, QDateTime(QDate(2024, 1, 10), QTime(9, 0)), QStringLiteral("01:00")}));
        QVERIFY(store({61102, QDateTime(QDate(2024, 2, 20), QTime(18, 45)), QStringLiteral("02:00")}));
        QVERIFY(searchSerial(*dialog, 61102));
        QCOMPARE(tableOf(*dialog)->model()->rowCount(), 2);

        QVERIFY(clickRow(*dialog, 0));
        press(*dialog, "pushButton_Open");
        QVERIFY(rvktest::sessionSettled(*dialog));
        QVERIFY(QFile::exists(cwd.path() + QStringLiteral("/Reports/RVKReport_sn61102_10.01.2024_09.00.html")));

        // The clicked index stays, but the current row moved with the keys:
        // the current row is the one opened.
        QTest::keyClick(tableOf(*dialog), Qt::Key_Down);
        press(*dialog, "pushButton_Open");
        QVERIFY(rvktest::sessionSettled(*dialog));
        QVERIFY(QFile::exists(cwd.path() + QStringLiteral("/Reports/RVKReport_sn61102_20.02.2024_18.45.html")));
        QCOMPARE(UrlCatcher::instance().urls.size(), 2);
    }

    void saveWritesTheSameDocumentWhereTheUserChooses()
    {
        FreshWorkingDirectory cwd;
        // The dialog can only offer the Reports folder when it exists.
        QVERIFY(QDir(cwd.path()).mkdir(QStringLiteral("Reports")));
        QVERIFY(store({61103, QDateTime(QDate(2025, 2, 1), QTime(9, 5))}));
        QVERIFY(searchSerial(*dialog, 61103));
        QVERIFY(clickRow(*dialog, 0));

        const QString chosen = cwd.path() + QStringLiteral("/elsewhere.html");
        QString caption;
        QString offeredFile;
        QStringList filters;
        ModalAnswerer answerer;
        answerer.answerWith([&](QWidget *widget) {
            auto *fileDialog = qobject_cast<QFileDialog *>(widget);
            QVERIFY(fileDialog);
            caption = fileDialog->windowTitle();
            offeredFile = fileDialog->selectedFiles().value(0);
            filters = fileDialog->nameFilters();
            fileDialog->selectFile(chosen);
            static_cast<QDialog *>(fileDialog)->accept();
        });
        press(*dialog, "pushButton_Save");
        QVERIFY(rvktest::sessionSettled(*dialog));
        QCOMPARE(answerer.seen.size(), 1);

        QCOMPARE(caption, QStringLiteral("Сохранить файл"));
        QCOMPARE(offeredFile, cwd.path() + QStringLiteral("/Reports/RVKReport_sn61103_01.02.2025_09.05.html"));
        QCOMPARE(filters, (QStringList{"Web (*.html)", "All files (*.*)"}));
        QVERIFY(QFile::exists(chosen));
        QCOMPARE(QDir(cwd.path() + QStringLiteral("/Reports")).entryList(QDir::Files), QStringList());
        QVERIFY(UrlCatcher::instance().urls.isEmpty());

        press(*dialog, "pushButton_Open");
        QVERIFY(rvktest::sessionSettled(*dialog));
        const QString opened = cwd.path() + QStringLiteral("/Reports/RVKReport_sn61103_01.02.2025_09.05.html");
        QVERIFY(QFile::exists(opened));
        QVERIFY(!documentText(opened).isEmpty());
        QCOMPARE(documentText(chosen), documentText(opened));
    }

    void cancelledSaveWritesNothing()
    {
        FreshWorkingDirectory cwd;
        QVERIFY(store({61104, QDateTime(QDate(2025, 2, 2), QTime(10, 0))}));
        QVERIFY(searchSerial(*dialog, 61104));
        QVERIFY(clickRow(*dialog, 0));

        ModalAnswerer answerer;
        answerer.answerWith([](QWidget *widget) {
            if (auto *fileDialog = qobject_cast<QFileDialog *>(widget))
                fileDialog->reject();
        });
        press(*dialog, "pushButton_Save");
        QVERIFY(rvktest::sessionSettled(*dialog));
        QCOMPARE(answerer.seen.size(), 1);
        QCOMPARE(QDir(cwd.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
        QVERIFY(UrlCatcher::instance().urls.isEmpty());
    }

    void withoutSelectedRowNothingHappens()
    {
        FreshWorkingDirectory cwd;
        QVERIFY(store({61105, QDateTime(QDate(2025, 3, 3), QTime(11, 0))}));
        QVERIFY(searchSerial(*dialog, 61105));
        QCOMPARE(tableOf(*dialog)->model()->rowCount(), 1);
        QVERIFY(!tableOf(*dialog)->currentIndex().isValid());

        press(*dialog, "pushButton_Open");
        ModalAnswerer answerer;
        press(*dialog, "pushButton_Save");
        QVERIFY(rvktest::sessionSettled(*dialog));
        QVERIFY(answerer.seen.isEmpty());
        QCOMPARE(QDir(cwd.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
        QVERIFY(UrlCatcher::instance().urls.isEmpty());

        dialog->findChild<QSpinBox *>(QStringLiteral("spinBox_SN"))->setValue(583146);
        press(*dialog, "pushButton_SN");
        press(*dialog, "pushButton_Delete");
        QVERIFY(rvktest::sessionSettled(*dialog));
        QCOMPARE(rvktest::rowsForSerial(61105).size(), 1);
    }

    // Old rows may hold a zero date, which reads as no date at all: each of
    // them still opens as its own document instead of overwriting another's.
    void reportsWithUnreadableDatesOpenUnderNamesOfTheirOwn()
    {
        FreshWorkingDirectory cwd;
        QSqlQuery admin(rvktest::adminConnection());
        QVERIFY(admin.exec(QStringLiteral("SET SESSION sql_mode = ''")));
        for (const char *total : {"20:00", "21:00"}) {
            QVERIFY2(admin.exec(QStringLiteral("INSERT INTO rvkreport VALUES (61114, '0000-00-00 00:00:00', "
                                               "'2019-06-01', '3.1', 7, '%1', '01:15', '1', '1', '1', '1', '1', '1', "
                                               "5, '1', '1', '1', '1', '1', '1', 2)")
                                    .arg(QLatin1String(total))),
                     qPrintable(admin.lastError().text()));
        }
        QVERIFY(admin.exec(QStringLiteral("SET SESSION sql_mode = DEFAULT")));
        QVERIFY(searchSerial(*dialog, 61114));
        QCOMPARE(tableOf(*dialog)->model()->rowCount(), 2);

        for (int row = 0; row < 2; ++row) {
            QVERIFY(clickRow(*dialog, row));
            press(*dialog, "pushButton_Open");
            QVERIFY(rvktest::sessionSettled(*dialog));
        }
        QStringList documents = QDir(cwd.path() + QStringLiteral("/Reports")).entryList(QDir::Files);
        QCOMPARE(documents.size(), 2);
        for (const QString &name : qAsConst(documents))
            QVERIFY2(name.startsWith(QStringLiteral("RVKReport_sn61114_undated-")), qPrintable(name));
        // The same report opened again keeps its name.
        press(*dialog, "pushButton_Open");
        QVERIFY(rvktest::sessionSettled(*dialog));
        QCOMPARE(QDir(cwd.path() + QStringLiteral("/Reports")).entryList(QDir::Files), documents);
    }

    void aRowClickedBeforeANewListingIsForgotten()
    {
        FreshWorkingDirectory cwd;
        QVERIFY(store({61112, QDateTime(QDate(2025, 4, 4), QTime(12, 0))}));
        QVERIFY(searchSerial(*dialog, 61112));
        QVERIFY(clickRow(*dialog, 0));
        QVERIFY(searchSerial(*dialog, 61112));

        press(*dialog, "pushButton_Open");
        QVERIFY(rvktest::sessionSettled(*dialog));
        QCOMPARE(QDir(cwd.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());

        QVERIFY(clickRow(*dialog, 0));
        press(*dialog, "pushButton_Open");
        QVERIFY(rvktest::sessionSettled(*dialog));
        QVERIFY(QFile::exists(cwd.path() + QStringLiteral("/Reports/RVKReport_sn61112_04.04.2025_12.00.html")));
    }

    void deleteRemovesTheSelectedReportOnlyAndListsAll()
    {
        const QDateTime shared(QDate(2024, 6, 1), QTime(12, 0));
        QVERIFY(store({61106, shared, QStringLiteral("10:00")}));
        QVERIFY(store({61106, shared, QStringLiteral("10:01")}));
        QVERIFY(store({61106, QDateTime(QDate(2024, 6, 1), QTime(12, 1)), QStringLiteral("10:02")}));
        QVERIFY(store({61107, shared}));

        dialog->findChild<QSpinBox *>(QStringLiteral("spinBox_SN"))->setValue(583146);
        press(*dialog, "pushButton_SN");
        QVERIFY(dialog->findChild<QPushButton *>(QStringLiteral("pushButton_Delete"))->isEnabled());

        QVERIFY(searchSerial(*dialog, 61106));
        QTableView *view = tableOf(*dialog);
        QCOMPARE(view->model()->rowCount(), 3);
        QCOMPARE(view->model()->index(0, 4).data().toString(), QStringLiteral("10:00"));
        QVERIFY(clickRow(*dialog, 0));
        press(*dialog, "pushButton_Delete");
        QVERIFY(rvktest::sessionSettled(*dialog));

        // Its twin of the same minute is another report, and stays.
        const QList<QVariantMap> left = rvktest::rowsForSerial(61106);
        QCOMPARE(left.size(), 2);
        QCOMPARE(left.at(0).value(QStringLiteral("total_time")).toString(), QStringLiteral("10:01"));
        QCOMPARE(left.at(1).value(QStringLiteral("total_time")).toString(), QStringLiteral("10:02"));
        QCOMPARE(rvktest::rowsForSerial(61107).size(), 1);

        // The table now lists every report by serial number, whatever was shown.
        QVERIFY(rvktest::listingArrived(*dialog));
        const MySqlQueryModel *listing = dialog->databaseSession()->model();
        QTRY_VERIFY_WITH_TIMEOUT(!listing->isCounting(), 20000);
        QAbstractItemModel *model = view->model();
        QSet<quint32> listed;
        for (int row = 0; row < model->rowCount(); ++row) {
            QVERIFY(rvktest::rowArrived(*dialog, row));
            listed << model->index(row, 0).data().toUInt();
            if (row > 0)
                QVERIFY(model->index(row - 1, 0).data().toUInt() <= model->index(row, 0).data().toUInt());
        }
        QVERIFY(listed.contains(61106) && listed.contains(61107));
    }

    void missingPercentsPrintZero()
    {
        FreshWorkingDirectory cwd;
        SeededReport report{61108, QDateTime(QDate(2024, 7, 7), QTime(7, 7))};
        report.rotation = QStringLiteral("15,25");
        report.irtRotation = QStringLiteral("x,35,");
        report.otherLists = QStringLiteral("");
        QVERIFY(store(report));
        QVERIFY(searchSerial(*dialog, 61108));
        QVERIFY(clickRow(*dialog, 0));
        press(*dialog, "pushButton_Open");
        QVERIFY(rvktest::sessionSettled(*dialog));

        const QString document = documentText(cwd.path() + QStringLiteral("/Reports/RVKReport_sn61108_07.07.2024_07.07.html"));
        QVERIFY(!document.isEmpty());
        // One bar per bin in each section, every one with a number.
        QCOMPARE(document.count(QStringLiteral("padding-right:")), 64);
        QCOMPARE(document.count(QStringLiteral("padding-right:0%\">&nbsp;</span>&nbsp;0%")), 61);
        QVERIFY(document.contains(QStringLiteral("padding-right:15%")));
        QVERIFY(document.contains(QStringLiteral("padding-right:25%")));
        QVERIFY(document.contains(QStringLiteral("padding-right:35%")));
        QVERIFY(!document.contains(QStringLiteral("padding-right:%")));
        QVERIFY(document.endsWith(QStringLiteral("</body></html>")));
    }

    void unwritableReportFileIsReported_data()
    {
        QTest::addColumn<uchar>("language");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("message");
        QTest::newRow("Russian") << uchar(0) << QStringLiteral("Внимание")
                                 << QStringLiteral("Не могу сохранить файл отчёта\n");
        QTest::newRow("English") << uchar(1) << QStringLiteral("Warning") << QStringLiteral("I can't save the report file\n");
    }

    void unwritableReportFileIsReported()
    {
        QFETCH(uchar, language);
        QFETCH(QString, title);
        QFETCH(QString, message);
        FreshWorkingDirectory cwd;
        // A plain file where the folder should be: neither folder nor
        // document can be created.
        QFile blocker(cwd.path() + QStringLiteral("/Reports"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();

        QVERIFY(store({quint32(61109 + language), QDateTime(QDate(2024, 8, 8), QTime(8, 8))}));
        dialog->setLanguage(language);
        QVERIFY(searchSerial(*dialog, 61109 + language));
        QVERIFY(clickRow(*dialog, 0));
        ModalAnswerer answerer;
        press(*dialog, "pushButton_Open");
        QVERIFY(rvktest::sessionSettled(*dialog));

        QCOMPARE(answerer.seen.size(), 1);
        QCOMPARE(answerer.seen.first().title, title);
        QVERIFY2(answerer.seen.first().text.startsWith(message), qPrintable(answerer.seen.first().text));
        QVERIFY(answerer.seen.first().text.endsWith(
            QStringLiteral("/Reports/RVKReport_sn%1_08.08.2024_08.08.html").arg(61109 + language)));
        QVERIFY(UrlCatcher::instance().urls.isEmpty());
    }

    void storedReportHasTheLiveHistograms()
    {
        FreshWorkingDirectory cwd;
        QList<QPair<int, qint32>> words{{WordTotalTime, 36000},  {WordRepairTime, 7200},   {WordImpacts, 5},
                                        {WordIrtImpacts, 2},     {WordSerialNumber, 61111}, {WordReleaseDate, 1062019},
                                        {WordFirmwareVersion, 322}, {WordImpactLevel, 3}};
        for (int word = 1; word < WordImpacts; ++word)
            words.append({word, word * 397});
        for (int word = WordRepairTime + 1; word < WordIrtImpacts; ++word)
            words.append({word, (word - WordRepairTime) * 61});
        const QByteArray record = rvktest::reportRecordWith(words);

        dialog->setReportDate(QStringLiteral("09.09.2024 09:09"));
        QVERIFY(rvktest::Sync::upload(dialog->databaseSession(), record));
        QVERIFY(searchSerial(*dialog, 61111));
        QCOMPARE(tableOf(*dialog)->model()->rowCount(), 1);
        QVERIFY(clickRow(*dialog, 0));
        press(*dialog, "pushButton_Open");
        QVERIFY(rvktest::sessionSettled(*dialog));
        const QString stored = documentText(cwd.path() + QStringLiteral("/Reports/RVKReport_sn61111_09.09.2024_09.09.html"));

        // What the main window prints for the same record after a read-out.
        const QString liveHistograms = histogramPart(buildHtmlReport(decodeReport(record), 0));

        QVERIFY(liveHistograms.count(QStringLiteral("padding-right:")) == 64);
        QVERIFY(liveHistograms.count(QStringLiteral("padding-right:0%")) < 64);
        QCOMPARE(histogramPart(stored), liveHistograms);
    }
};

RVK_TEST_MAIN(TestSsuDialogReports)
#include "tst_ssudialog_reports_db.moc"
