// The SSU login from the tool-bar action, against the test MariaDB. Serial
// numbers 72000..72099 belong to this file.
#include "protocol/archivefile.h"
#include "ssu/mysqlquerymodel.h"
#include "ssu/gui/ssudialog.h"
#include "tests/support/httpfileserver.h"
#include "tests/support/mainwindowfixture.h"
#include "tests/support/modalanswerer.h"
#include "tests/support/recordbuilder.h"
#include "tests/support/ssutestsupport.h"
#include "tests/support/testmain.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QSettings>
#include <QTableView>

namespace {
constexpr quint32 ArchivedSn = 72001;
const char *const TokenKey = "Settings/SSUid";
const char *const NoConnectionText = "Отсутствует подключение к БД";
const char *const WrongPasswordText = "Неверный пароль";
} // namespace

using rvktest::nativeSettings;

class TestMainWindowLogin : public QObject, public rvktest::MainWindowFixture
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();

    void unreachableDatabaseReportsNoConnection_data();
    void unreachableDatabaseReportsNoConnection();
    void refusedEntriesWithReachableDatabase_data();
    void refusedEntriesWithReachableDatabase();
    void validTokenLogsInUploadsArchiveAndListsAll();
    void storedTokenIsUsedWithoutPrompt();
    void changedServerPasswordClearsTheStoredToken();
    void storedTokenIsReadableByItsOwnerOnly();
    void passwordServerStartedLaterIsAskedAgain();

private:
    // A window whose dialog downloaded the given password; true when the
    // database accepted it.
    bool openWindow(const QString &password);
    void login() { trigger("actionSSU"); }
    SSUDialog *dialog() const { return window->findChild<SSUDialog *>(); }

    HttpFileServer server;
};

void TestMainWindowLogin::initTestCase()
{
    QVERIFY2(rvktest::databaseReachable(), "start the test database: scripts/test-db start");
}

void TestMainWindowLogin::init()
{
    nativeSettings().remove(QLatin1String(TokenKey));
    QDir(QStringLiteral("ssu")).removeRecursively();
    rvktest::deleteSerials({ArchivedSn});
    installDriver();
}

void TestMainWindowLogin::cleanup()
{
    closeWindow();
    // The next test may need other connection parameters.
}

void TestMainWindowLogin::cleanupTestCase()
{
    rvktest::deleteSerials({ArchivedSn});
}

bool TestMainWindowLogin::openWindow(const QString &password)
{
    createWindow();
    server.serve(QLatin1String(rvktest::passwordPath()), rvktest::passwordFile(password));
    dialog()->setDownloadUrl(server.url(QLatin1String(rvktest::passwordPath())));
    QSignalSpy indicator(dialog(), SIGNAL(signalIndicator(bool)));
    QSignalSpy received(dialog()->databaseSession(), &SsuSession::passwordReceived);
    dialog()->startDownload();
    // The download decrypts the password and then tries the connection.
    if (!QTest::qWaitFor([&]() { return dialog()->dbPassword() == password && !received.isEmpty(); }, 10000))
        return false;
    for (const QList<QVariant> &arguments : indicator)
        if (arguments.value(0).toBool())
            return true;
    return false;
}

void TestMainWindowLogin::unreachableDatabaseReportsNoConnection_data()
{
    QTest::addColumn<QString>("storedToken");
    QTest::addColumn<bool>("prompted");
    QTest::addColumn<bool>("pressOk");
    QTest::newRow("OK on an empty prompt") << QString() << true << true;
    QTest::newRow("Cancel") << QString() << true << false;
    QTest::newRow("stored token") << rvktest::loginToken() << false << false;
}

void TestMainWindowLogin::unreachableDatabaseReportsNoConnection()
{
    QFETCH(QString, storedToken);
    QFETCH(bool, prompted);
    QFETCH(bool, pressOk);
    if (!storedToken.isEmpty())
        nativeSettings().setValue(QLatin1String(TokenKey), storedToken);
    // The server refuses the downloaded password: the connection cannot open.
    QVERIFY(!openWindow(QStringLiteral("not-the-database-password")));

    ModalAnswerer answerer;
    if (prompted)
        answerer.enterText(QString(), pressOk);
    answerer.press(QMessageBox::Ok);
    login();

    QTRY_COMPARE(answerer.seen.size(), prompted ? 2 : 1);
    const ModalAnswerer::Seen box = answerer.seen.last();
    QCOMPARE(box.title, QStringLiteral("Ошибка"));
    QCOMPARE(box.text, QString::fromUtf8(NoConnectionText));
    QCOMPARE(box.informativeText, QStringLiteral("Сервер базы данных ССУ недоступен или не принял подключение."));
    QVERIFY(!dialog()->isVisible());
    QVERIFY(ssuLight()->styleSheet().contains(QLatin1String("background-color: red")));
    // The stored token is left as it was.
    QCOMPARE(nativeSettings().contains(QLatin1String(TokenKey)), !storedToken.isEmpty());
    QCOMPARE(nativeSettings().value(QLatin1String(TokenKey)).toString(), storedToken);
}

void TestMainWindowLogin::refusedEntriesWithReachableDatabase_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<bool>("pressOk");
    QTest::addColumn<bool>("wrongPasswordShown");
    QTest::addColumn<bool>("connectionTried");
    QTest::addColumn<bool>("tokenCleared");
    QTest::newRow("OK on empty") << QString() << true << true << true << true;
    QTest::newRow("Cancel") << QString() << false << false << true << true;
    QTest::newRow("one character") << QStringLiteral("x") << true << true << false << false;
    QTest::newRow("token of another password") << rvktest::loginToken(QStringLiteral("other")) << true << true << true
                                               << true;
    QTest::newRow("not a token") << QStringLiteral("letmein") << true << true << true << true;
}

void TestMainWindowLogin::refusedEntriesWithReachableDatabase()
{
    QFETCH(QString, entry);
    QFETCH(bool, pressOk);
    QFETCH(bool, wrongPasswordShown);
    QFETCH(bool, connectionTried);
    QFETCH(bool, tokenCleared);
    QVERIFY(openWindow(rvktest::testDatabasePassword()));

    ModalAnswerer answerer;
    answerer.enterText(entry, pressOk);
    answerer.press(QMessageBox::Ok);
    QSignalSpy waitNotice(dialog(), SIGNAL(signalWaitDialog(bool)));
    login();

    // The log-in is answered once its connection attempt has ended, or at
    // once when there is none to make.
    if (connectionTried)
        QTRY_VERIFY(waitNotice.contains(QVariantList{false}));
    QTRY_COMPARE(answerer.seen.size(), wrongPasswordShown ? 2 : 1);
    QCOMPARE(answerer.seen.first().title, QStringLiteral("Вход в ССУ"));
    if (wrongPasswordShown) {
        QCOMPARE(answerer.seen.last().title, QStringLiteral("Доступ запрещён"));
        QCOMPARE(answerer.seen.last().text, QString::fromUtf8(WrongPasswordText));
    }
    QCOMPARE(waitNotice.count() > 0, connectionTried);
    QVERIFY(!dialog()->isVisible());
    QCOMPARE(nativeSettings().contains(QLatin1String(TokenKey)), tokenCleared);
    QCOMPARE(nativeSettings().value(QLatin1String(TokenKey)).toString(), QString());
}

void TestMainWindowLogin::validTokenLogsInUploadsArchiveAndListsAll()
{
    QVERIFY(openWindow(rvktest::testDatabasePassword()));
    const QString archived = ArchiveFile::path(ArchivedSn, QStringLiteral("06.12.2026 14:35"));
    QVERIFY(ArchiveFile::write(archived, rvktest::RecordBuilder()
                                              .set(WordTotalTime, 3600)
                                              .set(WordSerialNumber, ArchivedSn)
                                              .set(WordReleaseDate, 6122026)
                                              .build()));

    const QString token = rvktest::loginToken();
    ModalAnswerer answerer;
    answerer.enterText(token, true);
    login();

    QTRY_VERIFY(dialog()->isVisible());
    QCOMPARE(answerer.seen.size(), 1); // the prompt, nothing after it
    QCOMPARE(nativeSettings().value(QLatin1String(TokenKey)).toString(), token);
    QVERIFY(ssuLight()->styleSheet().contains(QLatin1String("background-color: green")));
    // The archive pass runs on the database thread after the login; a loaded
    // machine (the sanitizer build) may take longer than QTRY's default.
    QTRY_VERIFY_WITH_TIMEOUT(!QFileInfo::exists(archived), 20000);
    const QList<QVariantMap> rows = rvktest::rowsForSerial(ArchivedSn);
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows.first().value("date").toDateTime(), QDateTime(QDate(2026, 12, 6), QTime(14, 35)));

    // The serial-number field holds 0, so the table lists every report,
    // the one just uploaded among them.
    const QAbstractItemModel *listed = dialog()->findChild<QTableView *>()->model();
    QVERIFY(listed);
    // A long list shows its first rows at once and the rest once counted.
    const auto *windowed = qobject_cast<const MySqlQueryModel *>(listed);
    QTRY_VERIFY(!windowed || (!windowed->isLoading() && !windowed->isCounting()));
    // Rows beyond the first window arrive as they are asked for.
    bool found = false;
    for (int row = 0; row < listed->rowCount() && !found; ++row) {
        listed->index(row, 0).data();
        QTRY_VERIFY(!windowed || windowed->isRowLoaded(row));
        found = listed->index(row, 0).data().toUInt() == ArchivedSn;
    }
    QVERIFY(found);
}

void TestMainWindowLogin::storedTokenIsUsedWithoutPrompt()
{
    nativeSettings().setValue(QLatin1String(TokenKey), rvktest::loginToken());
    QVERIFY(openWindow(rvktest::testDatabasePassword()));
    ModalAnswerer answerer;
    login();
    QTRY_VERIFY(dialog()->isVisible());
    QVERIFY(answerer.seen.isEmpty());
}

void TestMainWindowLogin::changedServerPasswordClearsTheStoredToken()
{
    // Issued for the password the server had before.
    nativeSettings().setValue(QLatin1String(TokenKey), rvktest::loginToken(QStringLiteral("old-password")));
    QVERIFY(openWindow(rvktest::testDatabasePassword()));

    ModalAnswerer answerer;
    answerer.press(QMessageBox::Ok);
    login();
    QTRY_COMPARE(answerer.seen.size(), 1);
    QCOMPARE(answerer.seen.first().text, QString::fromUtf8(WrongPasswordText));
    QCOMPARE(nativeSettings().value(QLatin1String(TokenKey)).toString(), QString());
    QVERIFY(!dialog()->isVisible());

    // The next login asks for a new token.
    const QString token = rvktest::loginToken();
    answerer.enterText(token, true);
    login();
    QTRY_VERIFY(dialog()->isVisible());
    QCOMPARE(answerer.seen.size(), 2);
    QCOMPARE(answerer.seen.last().title, QStringLiteral("Вход в ССУ"));
    QCOMPARE(nativeSettings().value(QLatin1String(TokenKey)).toString(), token);
}

void TestMainWindowLogin::storedTokenIsReadableByItsOwnerOnly()
{
    // A settings file left readable by others, as an older version did.
    const QString fileName = nativeSettings().fileName();
    QVERIFY(QDir().mkpath(QFileInfo(fileName).path()));
    {
        QFile file(fileName);
        QVERIFY(file.open(QIODevice::Append));
    }
    QVERIFY(QFile::setPermissions(fileName, QFileInfo(fileName).permissions() | QFileDevice::ReadGroup
                                                | QFileDevice::ReadOther));

    QVERIFY(openWindow(rvktest::testDatabasePassword()));
    ModalAnswerer answerer;
    answerer.enterText(rvktest::loginToken(), true);
    login();
    QTRY_VERIFY(dialog()->isVisible());
    dialog()->hide();
    QVERIFY(!nativeSettings().value(QLatin1String(TokenKey)).toString().isEmpty());
    const QFileDevice::Permissions others = QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ExeGroup
        | QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther;
    QCOMPARE(QFileInfo(fileName).permissions() & others, QFileDevice::Permissions());
    QVERIFY(QFileInfo(fileName).permissions() & QFileDevice::ReadOwner);

}

// The web server was down when the program started; it comes up later and
// the login gets in without a restart, having said meanwhile which server
// failed.
void TestMainWindowLogin::passwordServerStartedLaterIsAskedAgain()
{
    createWindow();
    const QString path = QLatin1String(rvktest::passwordPath());
    // The start-up download (the build's address, where nothing answers in
    // a test) and this one, where nothing is served yet, both fail.
    QSignalSpy failedDownloads(dialog(), SIGNAL(signalIndicator(bool)));
    server.remove(path);
    dialog()->setDownloadUrl(server.url(path));
    dialog()->startDownload();
    QTRY_COMPARE(failedDownloads.count(), 2);
    SsuSession *session = dialog()->databaseSession();
    QCOMPARE(session->passwordState(), SsuSession::PasswordState::Unreachable);

    ModalAnswerer answerer;
    answerer.enterText(rvktest::loginToken(), true);
    answerer.press(QMessageBox::Ok);
    server.requestedPaths.clear();
    login();
    QTRY_COMPARE(answerer.seen.size(), 2);
    QCOMPARE(server.requestedPaths, QStringList(path)); // asked again at the login
    QCOMPARE(answerer.seen.last().text, QString::fromUtf8(NoConnectionText));
    QCOMPARE(answerer.seen.last().informativeText, QStringLiteral("Не удалось получить файл пароля с веб-сервера ССУ."));
    QVERIFY(!dialog()->isVisible());

    server.serve(path, rvktest::passwordFile());
    answerer.enterText(rvktest::loginToken(), true);
    login();
    QTRY_VERIFY(dialog()->isVisible());
    QCOMPARE(answerer.seen.size(), 3);
    QCOMPARE(session->passwordState(), SsuSession::PasswordState::Received);
    QVERIFY(ssuLight()->styleSheet().contains(QLatin1String("background-color: green")));
}

RVK_TEST_MAIN(TestMainWindowLogin)
#include "tst_mainwindow_login_db.moc"
