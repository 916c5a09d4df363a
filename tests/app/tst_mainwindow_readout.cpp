#include "ssu/ssuendpoints.h"
#include "ssu/ssusession.h"
#include "tests/support/mainwindowfixture.h"
#include "tests/support/modalanswerer.h"
#include "tests/support/recordbuilder.h"
#include "tests/support/testfiles.h"
#include "tests/support/testmain.h"
#include "tests/support/urlcatcher.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QDir>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QRegularExpression>
#include <QFileInfo>
#include <QPushButton>
#include <QSpinBox>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QUrl>

// The read-out through the real window over the fake driver: frames in, the
// form, the HTML report, the viewer hand-over and the archive file out. No
// database is reachable here, so every upload fails and the report is archived.
using rvktest::filesIn;
using rvktest::readFile;

namespace {
const QByteArray realisticRecord = rvktest::exampleRecord();

const QString green = QStringLiteral("background-color:green; color:white;");
const QString red = QStringLiteral("background-color:red; color:white;");
} // namespace

class TestMainWindowReadout : public QObject, public rvktest::MainWindowFixture
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void completeReadoutFillsFormWritesReportAndArchives();
    void unsetValuesAreUnknownNotThePreviousModules();
    void brokenTransferIsShownButNeverStored_data();
    void brokenTransferIsShownButNeverStored();
    void framesBeyondTheReportLeaveTheProgressBar();
    void requestDuringTransferWaitsForItsEndOrStall();
    void silentReadoutThatNeverEndedLeavesTheNextOneFull();
    void linkDownAtRequestSendsNothing();
    void unwritableArchiveIsReported();
    void unwritableReportIsReportedAndTheRestGoesOn();
    void waitNoticeIsModelessAndGoesAway();
    void theBuildsOwnSsuIsNeverAsked();

    void silentModuleIsReportedAndTheBarStartsAtZero();
    void stalledTransferIsReported();
    void silentReadoutOfTheLogStaysSilent();
    void pressDuringASilentReadoutMakesItAFullReport();

private:
    void request() { QVERIFY(requestReport()); }
    QLabel *notice() const { return widget<QLabel>("label_ModuleNotice"); }
};

void TestMainWindowReadout::init()
{
    rvktest::removeEntries({QStringLiteral("Reports"), QStringLiteral("ssu")});
    UrlCatcher::instance().urls.clear();
    startWindow();
    driver->written.clear();
}

void TestMainWindowReadout::cleanup()
{
    closeWindow();
}

void TestMainWindowReadout::completeReadoutFillsFormWritesReportAndArchives()
{
    request();
    QCOMPARE(driver->written.size(), 1);
    const CanMessage sent = driver->writtenMessages().first();
    QCOMPARE(sent.id, quint16(0x7AA));
    QCOMPARE(sent.rtr, quint8(1));
    QCOMPARE(sent.dlc, quint8(1));

    auto *progress = widget<QProgressBar>("progressBar");
    const int expected[] = {2,  5,  8,  10, 13, 16, 18, 21, 24, 27, 29, 32, 35, 37, 40, 43, 45, 48, 51,
                            54, 56, 59, 62, 64, 67, 70, 72, 75, 78, 81, 83, 86, 89, 91, 94, 97, 100};
    for (int frame = 0; frame < 37; ++frame) {
        driver->receiveData(0x7AA, realisticRecord.mid(frame * 8, 8));
        QTRY_COMPARE(progress->value(), expected[frame]);
    }
    sendReportEnd();

    QTRY_COMPARE(filesIn(QStringLiteral("ssu")).size(), 1);
    const QString archive = filesIn(QStringLiteral("ssu")).first();
    QVERIFY2(QRegularExpression(QStringLiteral("^ssu_sn1234_\\d\\d\\.\\d\\d\\.\\d{4}_\\d\\d\\.\\d\\d\\.bin$"))
                 .match(archive).hasMatch(), qPrintable(archive));
    QCOMPARE(readFile(QStringLiteral("ssu/") + archive), realisticRecord);

    QCOMPARE(widget<QLabel>("label_FWVersion")->text(), QStringLiteral("v3.2.2"));
    QCOMPARE(widget<QLabel>("label_TotalTime")->text(), QStringLiteral("277:46"));
    QCOMPARE(widget<QLabel>("label_IRTime")->text(), QStringLiteral("10:00"));
    QCOMPARE(widget<QSpinBox>("spinBox_SNValue")->value(), 1234);
    QCOMPARE(widget<QSpinBox>("spinBox_HitValue")->value(), 7);
    QCOMPARE(widget<QDateEdit>("dateEdit")->date(), QDate(2026, 12, 6));
    QCOMPARE(widget<QPushButton>("pushButton_SetSN")->styleSheet(), green);
    QCOMPARE(widget<QPushButton>("pushButton_SetHit")->styleSheet(), green);
    QCOMPARE(widget<QPushButton>("pushButton_SetDate")->styleSheet(), green);
    QVERIFY(widget<QPushButton>("pushButton_ReadData")->isEnabled());

    // The document carries the archive's name pattern and reaches the viewer.
    const QString document = QString(archive).replace(QLatin1String("ssu_sn"), QLatin1String("RVKReport_sn"))
                                 .replace(QLatin1String(".bin"), QLatin1String(".html"));
    // Beside it, what changed since the module's previous report: no SSU
    // answers here and the station has not read the module before, so the
    // previous report is not known (never "the first report").
    const QString comparison = QString(document).replace(QLatin1String("RVKReport_"), QLatin1String("RVKChanges_"));
    QCOMPARE(filesIn(QStringLiteral("Reports")), QStringList({comparison, document}));
    const QString documentPath = QDir::currentPath() + QStringLiteral("/Reports/") + document;
    const QString comparisonPath = QDir::currentPath() + QStringLiteral("/Reports/") + comparison;
    // One page per read-out: the comparison is a line under the key values
    // and opens from its button only.
    const QString unknown = QStringLiteral("Предыдущий отчёт модуля здесь не известен: ССУ не ответила");
    QTRY_VERIFY(!widget<QWidget>("widget_Comparison")->isHidden());
    QCOMPARE(UrlCatcher::instance().urls, QList<QUrl>({QUrl::fromLocalFile(documentPath)}));
    QVERIFY(widget<QLabel>("label_Comparison")->text().contains(unknown));
    QVERIFY(press("pushButton_Comparison"));
    QCOMPARE(UrlCatcher::instance().urls,
             QList<QUrl>({QUrl::fromLocalFile(documentPath), QUrl::fromLocalFile(comparisonPath)}));
    QVERIFY(QString::fromUtf8(rvktest::readFile(comparisonPath)).contains(unknown));
    const QString html = rvktest::readWindows1251File(documentPath);
    QVERIFY(html.contains(QStringLiteral("<title>%1</title>").arg(document)));
    for (const char *cell : {"<td>1234</td>", "<td>06.12.2026</td>", "<td>3.2.2</td>", "<td>7</td>", "<td>277:46</td>"})
        QVERIFY2(html.contains(QLatin1String(cell)), cell);
}

void TestMainWindowReadout::unsetValuesAreUnknownNotThePreviousModules()
{
    // Module A has every factory value set.
    request();
    sendReportFrames(realisticRecord);
    sendReportEnd();
    QTRY_COMPARE(filesIn(QStringLiteral("ssu")).size(), 1);
    QCOMPARE(widget<QLabel>("label_FWVersion")->text(), QStringLiteral("v3.2.2"));
    QDir(QStringLiteral("Reports")).removeRecursively();

    // Module B's release date and firmware (and the rest) are unset.
    ModalAnswerer answerer;
    request();
    sendReportFrames(QByteArray(296, '\xFF'));
    sendReportEnd();
    QTRY_COMPARE(filesIn(QStringLiteral("Reports")).size(), 2);
    QCOMPARE(widget<QPushButton>("pushButton_SetSN")->styleSheet(), red);
    QCOMPARE(widget<QPushButton>("pushButton_SetHit")->styleSheet(), red);
    QCOMPARE(widget<QPushButton>("pushButton_SetDate")->styleSheet(), red);
    QCOMPARE(widget<QLabel>("label_FWVersion")->text(), QStringLiteral("v"));
    QCOMPARE(widget<QDateEdit>("dateEdit")->date(), QDate::currentDate());
    QCOMPARE(widget<QLabel>("label_TotalTime")->text(), QStringLiteral("00:00"));
    QCOMPARE(widget<QSpinBox>("spinBox_SNValue")->value(), 0);

    const QString document = filesIn(QStringLiteral("Reports")).last();
    QVERIFY(document.startsWith(QLatin1String("RVKReport_sn0_")));
    const QString html = rvktest::readWindows1251File(QStringLiteral("Reports/") + document);
    QVERIFY2(!html.contains(QLatin1String("06.12.2026")) && !html.contains(QLatin1String("3.2.2<")), qPrintable(html));
    QVERIFY(html.contains(QStringLiteral("Дата выпуска :</td><td></td>")));
    QVERIFY(html.contains(QStringLiteral("Версия прошивки :</td><td></td>")));
    // Still stored (in the archive here) like any complete report.
    QTRY_COMPARE(filesIn(QStringLiteral("ssu")).size(), 2);
    QVERIFY(answerer.seen.isEmpty());
}

void TestMainWindowReadout::brokenTransferIsShownButNeverStored_data()
{
    QTest::addColumn<QByteArray>("received");
    QTest::addColumn<int>("frames");
    QTest::addColumn<QString>("totalTime");
    QTest::addColumn<QString>("firmware");
    QTest::addColumn<int>("progress");
    QTest::addColumn<int>("shortFrame");
    // Every word from frame 8 on is shifted: word 71 reads the unset word 73.
    QTest::newRow("frame 8 missing") << (realisticRecord.left(56) + realisticRecord.mid(64)) << 36
                                     << QStringLiteral("277:46") << QStringLiteral("v") << 97 << -1;
    // Words 20 and above read 0; the release date 0 is no date.
    QTest::newRow("only 10 frames") << realisticRecord.left(80) << 10 << QStringLiteral("277:46")
                                    << QStringLiteral("v..0") << 27 << -1;
    QTest::newRow("end notice alone") << QByteArray() << 0 << QStringLiteral("00:00") << QStringLiteral("v..0") << 0
                                      << -1;
    // All 37 frames came, but frame 8 carried seven bytes: a byte of the
    // report is lost, though the words after it keep their places.
    QTest::newRow("frame 8 short") << realisticRecord << 36 << QStringLiteral("277:46") << QStringLiteral("v3.2.2")
                                   << 100 << 7;
}

void TestMainWindowReadout::brokenTransferIsShownButNeverStored()
{
    QFETCH(QByteArray, received);
    QFETCH(int, frames);
    QFETCH(QString, totalTime);
    QFETCH(QString, firmware);
    QFETCH(int, progress);
    QFETCH(int, shortFrame);
    auto *date = widget<QDateEdit>("dateEdit");
    date->setDate(QDate(2001, 1, 1));
    widget<QProgressBar>("progressBar")->setValue(0);

    ModalAnswerer answerer;
    answerer.press(QMessageBox::Ok);
    request();
    for (int at = 0; at < received.size(); at += 8)
        driver->receiveData(CanIdReadData, received.mid(at, at / 8 == shortFrame ? 7 : 8));
    sendReportEnd();
    QVERIFY(answerer.waitForBoxes(1, 10000));
    QCOMPARE(answerer.seen.first().title, QStringLiteral("Внимание"));
    QCOMPARE(answerer.seen.first().text,
             QStringLiteral("Отчёт прочитан не полностью (получено кадров: %1 из 37). Прочитайте отчёт ещё раз.").arg(frames));

    // The form shows what arrived...
    QCOMPARE(widget<QLabel>("label_TotalTime")->text(), totalTime);
    QCOMPARE(widget<QLabel>("label_FWVersion")->text(), firmware);
    QCOMPARE(widget<QProgressBar>("progressBar")->value(), progress);
    if (shortFrame < 0)
        QCOMPARE(date->date(), QDate(2001, 1, 1));
    // ...but no document, no upload (which would fail here and archive) and
    // no archive file come of it.
    QVERIFY(filesIn(QStringLiteral("Reports")).isEmpty());
    QVERIFY(filesIn(QStringLiteral("ssu")).isEmpty());
    QVERIFY(UrlCatcher::instance().urls.isEmpty());
    QCOMPARE(answerer.seen.size(), 1);
}

void TestMainWindowReadout::framesBeyondTheReportLeaveTheProgressBar()
{
    auto *progress = widget<QProgressBar>("progressBar");
    progress->setValue(0);
    ModalAnswerer answerer;
    request();
    sendReportFrames(realisticRecord + QByteArray(16, '\0'));
    QTRY_VERIFY(driver->incoming.isEmpty());
    QCOMPARE(progress->value(), 100);
    sendReportEnd();
    QVERIFY(answerer.waitForBoxes(1, 10000));
    QVERIFY2(answerer.seen.first().text.contains(QLatin1String("39")), qPrintable(answerer.seen.first().text));
    QVERIFY(filesIn(QStringLiteral("ssu")).isEmpty());
    QVERIFY(filesIn(QStringLiteral("Reports")).isEmpty());
}

void TestMainWindowReadout::requestDuringTransferWaitsForItsEndOrStall()
{
    auto *progress = widget<QProgressBar>("progressBar");
    request();
    // Pressed again at once: the module is about to answer the first request.
    request();
    QCOMPARE(driver->written.size(), 1);
    sendReportFrames(QByteArray(40, '\x55'));
    // Taken now rather than when the event loop comes round, so the press
    // below comes well within the stall limit, however short.
    window->station()->dispatchPendingFrames();
    QCOMPARE(progress->value(), 13);
    request();
    QCOMPARE(driver->written.size(), 1);

    // Once the transfer has been silent for the stall limit (a second in
    // the program), a request restarts it.
    QTRY_VERIFY_WITH_TIMEOUT(driver->written.size() == 2 || (request(), driver->written.size() == 2), 5000);
    driver->receiveData(0x7AA, realisticRecord.left(8));
    QTRY_COMPARE(progress->value(), 2);
    sendReportFrames(realisticRecord.mid(8));
    sendReportEnd();
    QTRY_COMPARE(filesIn(QStringLiteral("ssu")).size(), 1);
    QCOMPARE(readFile(QStringLiteral("ssu/") + filesIn(QStringLiteral("ssu")).first()), realisticRecord);
    QCOMPARE(filesIn(QStringLiteral("Reports")).size(), 2);

    // After the end notice the next request goes out at once.
    request();
    QCOMPARE(driver->written.size(), 3);
}

void TestMainWindowReadout::silentReadoutThatNeverEndedLeavesTheNextOneFull()
{
    ModalAnswerer answerer;
    // Opening the log asks silently for the serial number; the module stays quiet.
    widget<QCheckBox>("checkBox_WriteToFile")->setChecked(true);
    QCOMPARE(driver->written.size(), 1);
    QVERIFY(filesIn(QStringLiteral("Reports")).isEmpty());

    QTRY_VERIFY_WITH_TIMEOUT(driver->written.size() == 2 || (request(), driver->written.size() == 2), 5000);
    sendReportFrames(realisticRecord);
    sendReportEnd();
    QTRY_COMPARE(filesIn(QStringLiteral("ssu")).size(), 1);
    QCOMPARE(filesIn(QStringLiteral("Reports")).size(), 2);
    QCOMPARE(UrlCatcher::instance().reportDocuments().size(), 1);
    QVERIFY(answerer.seen.isEmpty());
}

void TestMainWindowReadout::linkDownAtRequestSendsNothing()
{
    driver->infoResult = -3;
    ModalAnswerer answerer; // whatever the link supervision asks is dismissed
    request();
    QVERIFY(driver->written.isEmpty());
    QVERIFY(driver->calls.contains(QStringLiteral("close")));
}

void TestMainWindowReadout::unwritableArchiveIsReported()
{
    QVERIFY(rvktest::writeFile(QStringLiteral("ssu"), QByteArray()));
    ModalAnswerer answerer;
    request();
    sendReportFrames(realisticRecord);
    sendReportEnd();
    QVERIFY(answerer.waitForBoxes(1, 10000));
    const ModalAnswerer::Seen &box = answerer.seen.last();
    QCOMPARE(box.title, QStringLiteral("Внимание"));
    QVERIFY2(box.text.contains(QDir::currentPath() + QStringLiteral("/ssu/ssu_sn1234_")), qPrintable(box.text));
    QVERIFY(QFileInfo(QStringLiteral("ssu")).isFile());
}

void TestMainWindowReadout::unwritableReportIsReportedAndTheRestGoesOn()
{
    QVERIFY(rvktest::writeFile(QStringLiteral("Reports"), QByteArray()));
    ModalAnswerer answerer;
    answerer.press(QMessageBox::Ok);
    request();
    sendReportFrames(realisticRecord);
    sendReportEnd();
    QVERIFY(answerer.waitForBoxes(1, 10000));
    const ModalAnswerer::Seen &box = answerer.seen.first();
    QCOMPARE(box.title, QStringLiteral("Внимание"));
    QVERIFY2(box.text.startsWith(QStringLiteral("Не могу сохранить файл отчёта\n")), qPrintable(box.text));
    QVERIFY2(box.text.contains(QLatin1Char('\n') + QDir::currentPath() + QStringLiteral("/Reports/RVKReport_sn1234_")), qPrintable(box.text));
    QTRY_COMPARE(filesIn(QStringLiteral("ssu")).size(), 1);
    QVERIFY(UrlCatcher::instance().urls.isEmpty());
    // The comparison would go to the same folder; one box tells of both.
    QCOMPARE(answerer.seen.size(), 1);
}

void TestMainWindowReadout::waitNoticeIsModelessAndGoesAway()
{
    emit window->station()->session()->signalWaitDialog(true);
    const QList<QMessageBox *> boxes = window->findChildren<QMessageBox *>();
    QCOMPARE(boxes.size(), 1);
    QMessageBox *box = boxes.first();
    QVERIFY(box->isVisible());
    QVERIFY(!box->isModal());
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
    QCOMPARE(box->windowTitle(), QStringLiteral("Внимание"));
    QCOMPARE(box->text(), QStringLiteral("Подождите..."));
    QVERIFY(box->buttons().isEmpty());

    // Frames keep flowing while the notice is up.
    request();
    driver->receiveData(0x7AA, realisticRecord.left(8));
    QTRY_COMPARE(widget<QProgressBar>("progressBar")->value(), 2);

    emit window->station()->session()->signalWaitDialog(false);
    QVERIFY(window->findChildren<QMessageBox *>().isEmpty());
    emit window->station()->session()->signalWaitDialog(false);
}

// A window under test looks for the SSU at the test's addresses only: an
// SSU answering at the build's deployment addresses (a developer's local
// server) is never asked for its password, so no test report reaches it.
void TestMainWindowReadout::theBuildsOwnSsuIsNeverAsked()
{
    const SsuEndpoints deployment = SsuEndpoints::deployment();
    QTcpServer deployedWebServer;
    if (!deployedWebServer.listen(QHostAddress(deployment.passwordUrl.host()), quint16(deployment.passwordUrl.port(80))))
        QSKIP("something already listens at the deployment's web address");
    int asked = 0;
    connect(&deployedWebServer, &QTcpServer::newConnection, this, [&] {
        while (QTcpSocket *socket = deployedWebServer.nextPendingConnection()) {
            ++asked;
            socket->abort();
        }
    });
    closeWindow();
    startWindow();
    request();
    sendReport(realisticRecord);
    // The upload fails (no password) and the report goes to the archive.
    QTRY_COMPARE(filesIn(QStringLiteral("ssu")).size(), 1);
    QCOMPARE(asked, 0);
}

// A dead module and a finished read-out looked alike: the bar kept the last
// transfer's 100 % and nothing was said.
void TestMainWindowReadout::silentModuleIsReportedAndTheBarStartsAtZero()
{
    QVERIFY(readWholeReport(realisticRecord));
    auto *progress = widget<QProgressBar>("progressBar");
    QCOMPARE(progress->value(), 100);

    request();
    QCOMPARE(progress->value(), 0);
    QVERIFY(notice()->isHidden());
    QTRY_VERIFY_WITH_TIMEOUT(!notice()->isHidden(), 5000);
    QCOMPARE(notice()->text(),
             QStringLiteral("Модуль не отвечает. Проверьте адаптер KIVO, кабель и питание модуля RVK."));
    QCOMPARE(progress->value(), 0);

    // Gone at the next request, and a module that answers brings none.
    request();
    QVERIFY(notice()->isHidden());
    sendReport(realisticRecord);
    QTRY_COMPARE(progress->value(), 100);
    QVERIFY(rvktest::waitPastAnswerLimit());
    QVERIFY(notice()->isHidden());
}

void TestMainWindowReadout::stalledTransferIsReported()
{
    ModalAnswerer answerer;
    request();
    sendReportFrames(realisticRecord.left(10 * 8));
    QTRY_VERIFY_WITH_TIMEOUT(!notice()->isHidden(), 5000);
    QVERIFY2(notice()->text().startsWith(QStringLiteral("Модуль перестал отвечать: прочитано 27 % отчёта.")),
             qPrintable(notice()->text()));
    QVERIFY(answerer.seen.isEmpty());
    QVERIFY(filesIn(QStringLiteral("Reports")).isEmpty());
}

void TestMainWindowReadout::silentReadoutOfTheLogStaysSilent()
{
    ModalAnswerer answerer;
    widget<QCheckBox>("checkBox_WriteToFile")->setChecked(true);
    QCOMPARE(driver->written.size(), 1);
    QVERIFY(rvktest::waitPastAnswerLimit());
    QVERIFY(notice()->isHidden());
    QVERIFY(answerer.seen.isEmpty());
}

// The log's read-out is under way when the user asks for the report: the
// transfer answers both, and the user gets the whole report from it.
void TestMainWindowReadout::pressDuringASilentReadoutMakesItAFullReport()
{
    ModalAnswerer answerer;
    widget<QCheckBox>("checkBox_WriteToFile")->setChecked(true);
    // The module answers the log's read-out and the user presses meanwhile,
    // well within the stall limit, however short.
    sendReportFrames(realisticRecord.left(5 * 8));
    window->station()->dispatchPendingFrames();
    request();
    sendReportFrames(realisticRecord.mid(5 * 8));
    sendReportEnd();
    QTRY_COMPARE(filesIn(QStringLiteral("Reports")).size(), 2);
    QCOMPARE(filesIn(QStringLiteral("ssu")).size(), 1);
    QCOMPARE(driver->written.size(), 1); // the press sent no second request
    QVERIFY(answerer.seen.isEmpty());
}

RVK_TEST_MAIN(TestMainWindowReadout)
#include "tst_mainwindow_readout.moc"
