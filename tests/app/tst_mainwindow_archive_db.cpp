// The archive pass of the main window against the test MariaDB: order,
// progress, files that stay, a connection lost in the middle, and a live
// read-out with a backlog. Serial numbers 72100..72199 belong to this file.
#include "protocol/archivefile.h"
#include "ssu/gui/ssudialog.h"
#include "tests/support/httpfileserver.h"
#include "tests/support/mainwindowfixture.h"
#include "tests/support/modalanswerer.h"
#include "tests/support/recordbuilder.h"
#include "tests/support/ssutestsupport.h"
#include "tests/support/testfiles.h"
#include "tests/support/testmain.h"

#include <QDir>
#include <QLabel>
#include <QProgressBar>
#include <QSignalSpy>
#include <QSqlQuery>

#include <functional>

namespace {
constexpr quint32 FirstSn = 72100;
constexpr quint32 LastSn = 72199;

// Writes an archive file the way a failed live upload does.
QString archive(quint32 sn, const QString &readoutTime)
{
    const QString path = ArchiveFile::path(sn, readoutTime);
    return ArchiveFile::write(path, rvktest::plausibleRecord(sn)) ? QFileInfo(path).fileName() : QString();
}

QStringList archiveNames()
{
    return rvktest::filesIn(QStringLiteral("ssu"));
}

QDateTime storedDate(quint32 sn)
{
    const QList<QVariantMap> rows = rvktest::rowsForSerial(sn);
    return rows.size() == 1 ? rows.first().value("date").toDateTime() : QDateTime();
}

struct ProgressStep
{
    int value;
    int maximum;
    QStringList remaining;
};
} // namespace

class TestMainWindowArchive : public QObject, public rvktest::MainWindowFixture
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();

    void equalFilesUploadInDescendingNameOrderWithProgress();
    void filesThatDoNotUploadStayAndThePassGoesOn();
    void connectionLostMidPassLeavesTheRestInPlace();
    void liveReadoutUploadsTheBacklogFirstThenItselfUnderItsOwnDate();

private:
    QProgressBar *uploadBar() const;
    // Runs the pass as an opened connection does; onStep runs at each
    // progress change, inside the pass.
    QList<ProgressStep> runPass(const std::function<void(int)> &onStep = {});

    HttpFileServer server;
};

void TestMainWindowArchive::initTestCase()
{
    QVERIFY2(rvktest::databaseReachable(), "start the test database: scripts/test-db start");
}

void TestMainWindowArchive::init()
{
    QList<quint32> serials;
    for (quint32 sn = FirstSn; sn <= LastSn; ++sn)
        serials << sn;
    rvktest::deleteSerials(serials);
    rvktest::removeEntries({QStringLiteral("ssu")});
    startWindow();
    // Online before any archive file exists, so the pass of this first
    // connection has nothing to do.
    QVERIFY(rvktest::bringOnline(*window->findChild<SSUDialog *>(), server));
}

void TestMainWindowArchive::cleanup()
{
    closeWindow();
}

void TestMainWindowArchive::cleanupTestCase()
{
    QList<quint32> serials;
    for (quint32 sn = FirstSn; sn <= LastSn; ++sn)
        serials << sn;
    rvktest::deleteSerials(serials);
}

QProgressBar *TestMainWindowArchive::uploadBar() const
{
    // The upload bar is not part of the main window's widget tree.
    for (QWidget *widget : QApplication::allWidgets())
        if (auto *bar = qobject_cast<QProgressBar *>(widget))
            if (!window->isAncestorOf(bar))
                return bar;
    return nullptr;
}

QList<ProgressStep> TestMainWindowArchive::runPass(const std::function<void(int)> &onStep)
{
    QList<ProgressStep> steps;
    QProgressBar *bar = uploadBar();
    if (!bar)
        return steps;
    const QMetaObject::Connection connection
        = QObject::connect(bar, &QProgressBar::valueChanged, bar, [&steps, bar, onStep](int value) {
              steps.append({value, bar->maximum(), archiveNames()});
              if (onStep)
                  onStep(value);
          });
    ReportStore *store = window->station()->store();
    QSignalSpy finished(store, &ReportStore::archivePassFinished);
    store->uploadArchive();
    // The pass goes on from the event loop, a file after each answer.
    if (!finished.wait(30000))
        qWarning("the archive pass did not finish");
    QObject::disconnect(connection);
    return steps;
}

void TestMainWindowArchive::equalFilesUploadInDescendingNameOrderWithProgress()
{
    const QString first = archive(72101, QStringLiteral("01.01.2025 10:00"));
    const QString second = archive(72102, QStringLiteral("02.01.2025 11:30"));
    const QString third = archive(72103, QStringLiteral("03.01.2025 12:45"));
    QVERIFY(!first.isEmpty() && !second.isEmpty() && !third.isEmpty());

    ModalAnswerer answerer;
    bool windowShownDuringPass = false;
    QString label;
    const QList<ProgressStep> steps = runPass([&](int value) {
        if (value == 2) {
            QWidget *progressWindow = uploadBar()->window();
            windowShownDuringPass = progressWindow->isVisible();
            if (QLabel *text = progressWindow->findChild<QLabel *>())
                label = text->text();
        }
    });

    QCOMPARE(steps.size(), 3);
    QCOMPARE(steps.at(0).value, 1);
    QCOMPARE(steps.at(0).maximum, 3);
    QCOMPARE(steps.at(0).remaining, (QStringList{first, second}));
    QCOMPARE(steps.at(1).value, 2);
    QCOMPARE(steps.at(1).maximum, 3);
    QCOMPARE(steps.at(1).remaining, QStringList{first});
    QCOMPARE(steps.at(2).value, 3);
    QCOMPARE(steps.at(2).remaining, QStringList());
    QVERIFY(windowShownDuringPass);
    QCOMPARE(label, QStringLiteral("Подождите..."));
    QVERIFY(!uploadBar()->window()->isVisible());
    QVERIFY(answerer.seen.isEmpty());

    // Each row carries the date its file name encodes.
    QCOMPARE(storedDate(72101), QDateTime(QDate(2025, 1, 1), QTime(10, 0)));
    QCOMPARE(storedDate(72102), QDateTime(QDate(2025, 1, 2), QTime(11, 30)));
    QCOMPARE(storedDate(72103), QDateTime(QDate(2025, 1, 3), QTime(12, 45)));
}

void TestMainWindowArchive::filesThatDoNotUploadStayAndThePassGoesOn()
{
    // Descending name order: 72114, 72113, 72112, 72111.
    const QString uploads = archive(72114, QStringLiteral("04.01.2025 10:00"));
    const QString unopenable = archive(72113, QStringLiteral("03.01.2025 10:00"));
    // A name whose date does not parse: the server refuses the NULL date.
    const QString refused = QStringLiteral("ssu_sn72112_unknown.bin");
    QVERIFY(ArchiveFile::write(QStringLiteral("ssu/") + refused, rvktest::plausibleRecord(72112)));
    const QString last = archive(72111, QStringLiteral("01.01.2025 10:00"));

    ModalAnswerer answerer;
    const QList<ProgressStep> steps = runPass([&](int value) {
        // While the pass waits after its first file, something else puts a
        // folder where the next file was: it can no longer be opened.
        if (value == 1) {
            QFile::remove(QStringLiteral("ssu/") + unopenable);
            QDir(QStringLiteral("ssu")).mkdir(unopenable);
        }
    });

    QCOMPARE(archiveNames(), QStringList{refused});
    QVERIFY(QFileInfo(QStringLiteral("ssu/") + unopenable).isDir());
    QVERIFY(storedDate(72114).isValid());
    QVERIFY(storedDate(72111).isValid());
    QCOMPARE(rvktest::rowsForSerial(72112).size(), 0);
    QCOMPARE(steps.size(), 2);
    QCOMPARE(steps.last().value, 3);
    QCOMPARE(steps.last().maximum, 4);
    QVERIFY(answerer.seen.isEmpty());
    Q_UNUSED(uploads)
    Q_UNUSED(last)
}

void TestMainWindowArchive::connectionLostMidPassLeavesTheRestInPlace()
{
    const QString first = archive(72121, QStringLiteral("01.01.2025 10:00"));
    const QString second = archive(72122, QStringLiteral("02.01.2025 10:00"));
    const QString third = archive(72123, QStringLiteral("03.01.2025 10:00"));

    const QVariantList id = rvktest::onSessionConnection(window->findChild<SSUDialog *>()->databaseSession(),
                                                         QStringLiteral("SELECT CONNECTION_ID()"));
    QVERIFY(!id.isEmpty());
    const qulonglong connectionId = id.first().toULongLong();

    const QList<ProgressStep> steps = runPass([&](int value) {
        // The server drops the program's connection after the first file.
        if (value == 1)
            QSqlQuery(rvktest::stationConnection()).exec(QStringLiteral("KILL %1").arg(connectionId));
    });

    QCOMPARE(steps.size(), 1);
    QCOMPARE(archiveNames(), (QStringList{first, second}));
    QVERIFY(storedDate(72123).isValid());
    QCOMPARE(rvktest::rowsForSerial(72122).size(), 0);
    QCOMPARE(rvktest::rowsForSerial(72121).size(), 0);
    Q_UNUSED(third)
}

void TestMainWindowArchive::liveReadoutUploadsTheBacklogFirstThenItselfUnderItsOwnDate()
{
    QVERIFY(!archive(72131, QStringLiteral("01.01.2025 10:00")).isEmpty());
    QVERIFY(!archive(72132, QStringLiteral("02.01.2025 10:00")).isEmpty());

    sendReport(rvktest::plausibleRecord(72133, 10800));
    const QDateTime before = QDateTime::currentDateTime();
    QTRY_VERIFY_WITH_TIMEOUT(storedDate(72133).isValid(), 20000);
    const QDateTime after = QDateTime::currentDateTime();

    QCOMPARE(archiveNames(), QStringList());
    QCOMPARE(storedDate(72131), QDateTime(QDate(2025, 1, 1), QTime(10, 0)));
    QCOMPARE(storedDate(72132), QDateTime(QDate(2025, 1, 2), QTime(10, 0)));
    // The live report keeps its read-out time (minutes), not the last
    // archived file's date.
    const QDateTime liveDate = storedDate(72133);
    QVERIFY2(liveDate >= before.addSecs(-before.time().second() - 60) && liveDate <= after,
             qPrintable(liveDate.toString(Qt::ISODate)));
    QCOMPARE(rvktest::rowsForSerial(72133).first().value("total_time").toString(), QStringLiteral("03:00"));
}

RVK_TEST_MAIN(TestMainWindowArchive)
#include "tst_mainwindow_archive_db.moc"
