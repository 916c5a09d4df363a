// rvk-report as a script or a production line uses it: the language it is
// asked for, JSON a program can read without knowing the window's forms, a
// reader that closes the pipe early, the archive sent on demand and the
// read loop over module after module. Runs in this process against the
// simulated module on a private virtual bus and the test MariaDB. Serial
// numbers 63500..63599 belong to this file.
#include "cli/commandline.h"
#include "protocol/archivefile.h"
#include "protocol/programidentity.h"
#include "report/reportrecord.h"
#include "ssu/ssusession.h"
#include "tests/support/databasetest.h"
#include "tests/support/httpfileserver.h"
#include "tests/support/testfiles.h"
#include "tests/support/testmain.h"
#include "tests/support/vcantestsupport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTimer>

#include <csignal>
#include <cstdio>
#include <functional>
#include <unistd.h>

namespace {
constexpr quint32 FirstSn = 63500;
constexpr quint32 LastSn = 63599;
const char *const LanguageKey = "Settings/Language";

struct Run
{
    int code = -1;
    QString out;
    QString err;
};

bool hasCyrillic(const QString &text)
{
    return text.contains(QRegularExpression(QStringLiteral("[\\x{0400}-\\x{04FF}]")));
}
} // namespace

class TestCommandLineScripts : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();
    void languageFollowsOptionThenSettingThenLang_data();
    void languageFollowsOptionThenSettingThenLang();
    void readJsonHasIsoDatesMinutesArraysAndTheSummary();
    void readLoopReadsEachModuleOnceUntilInterrupted();
    void uploadSendsTheArchiveAndNamesEachFile();
    void exportToAClosedPipeEndsQuietly();

private:
    CommandLineHooks onlineHooks();
    Run run(const QStringList &arguments, bool online = false);
    void startModule(quint32 serial, SimulatedModuleOptions options = {});
    std::unique_ptr<SimulatedModule> module;
    HttpFileServer server;
};

CommandLineHooks TestCommandLineScripts::onlineHooks()
{
    server.serve(QLatin1String(rvktest::passwordPath()), rvktest::passwordFile());
    CommandLineHooks hooks;
    hooks.prepareSession = [this](SsuSession *session) {
        session->setDownloadUrl(server.url(QLatin1String(rvktest::passwordPath())));
    };
    return hooks;
}

Run TestCommandLineScripts::run(const QStringList &arguments, bool online)
{
    Run result;
    QTextStream out(&result.out);
    QTextStream err(&result.err);
    result.code = runCommandLine(arguments, out, err, online ? onlineHooks() : CommandLineHooks{});
    out.flush();
    err.flush();
    return result;
}

void TestCommandLineScripts::startModule(quint32 serial, SimulatedModuleOptions options)
{
    QString error;
    module = rvktest::startModuleOnPrivateBus(options, &error);
    QVERIFY2(module, qPrintable(error));
    EepromImage image = module->eeprom();
    image.setWord(WordSerialNumber, serial);
    module->setEeprom(image);
}

void TestCommandLineScripts::initTestCase()
{
    QVERIFY2(rvktest::databaseReachable(), "start the test database: scripts/test-db start");
    rvktest::deleteSerialRange(FirstSn, LastSn);
}

void TestCommandLineScripts::init()
{
    rvktest::removeEntries({QStringLiteral("ssu"), QStringLiteral("Reports"), QStringLiteral("History")});
    // Russian unless a test asks otherwise, whatever the machine's locale.
    ProgramIdentity::nativeSettings().remove(QLatin1String(LanguageKey));
    qunsetenv("LC_ALL");
    qunsetenv("LC_MESSAGES");
    qputenv("LANG", "ru_RU.UTF-8");
}

void TestCommandLineScripts::cleanup()
{
    if (module)
        rvktest::stopModuleOnPrivateBus(module);
}

void TestCommandLineScripts::cleanupTestCase()
{
    rvktest::deleteSerialRange(FirstSn, LastSn);
    ProgramIdentity::nativeSettings().remove(QLatin1String(LanguageKey));
}

void TestCommandLineScripts::languageFollowsOptionThenSettingThenLang_data()
{
    QTest::addColumn<QVariant>("setting"); // the window's choice; invalid: never made
    QTest::addColumn<QByteArray>("lcAll");
    QTest::addColumn<QByteArray>("lang");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("english");
    const QStringList help{QStringLiteral("--help")};
    QTest::newRow("English LANG") << QVariant() << QByteArray() << QByteArray("en_GB.UTF-8") << help << true;
    QTest::newRow("Russian LANG") << QVariant() << QByteArray() << QByteArray("ru_RU.UTF-8") << help << false;
    QTest::newRow("C locale keeps Russian") << QVariant() << QByteArray() << QByteArray("C.UTF-8") << help << false;
    QTest::newRow("LC_ALL before LANG") << QVariant() << QByteArray("en_US.UTF-8") << QByteArray("ru_RU.UTF-8")
                                        << help << true;
    QTest::newRow("setting before LANG") << QVariant(0) << QByteArray() << QByteArray("en_GB.UTF-8") << help << false;
    QTest::newRow("English setting") << QVariant(1) << QByteArray() << QByteArray("ru_RU.UTF-8") << help << true;
    QTest::newRow("option before setting") << QVariant(1) << QByteArray() << QByteArray("en_GB.UTF-8")
                                           << QStringList{"--lang", "ru", "--help"} << false;
    QTest::newRow("option after the command") << QVariant(0) << QByteArray() << QByteArray()
                                              << QStringList{"export", "--help", "--lang=en"} << true;
}

void TestCommandLineScripts::languageFollowsOptionThenSettingThenLang()
{
    QFETCH(QVariant, setting);
    QFETCH(QByteArray, lcAll);
    QFETCH(QByteArray, lang);
    QFETCH(QStringList, arguments);
    QFETCH(bool, english);
    if (setting.isValid())
        ProgramIdentity::nativeSettings().setValue(QLatin1String(LanguageKey), setting);
    if (!lcAll.isEmpty())
        qputenv("LC_ALL", lcAll);
    qputenv("LANG", lang);
    const Run result = run(arguments);
    QCOMPARE(result.code, int(ExitCode::Done));
    QVERIFY2(result.out.contains(QLatin1String("rvk-report")), qPrintable(result.out));
    QCOMPARE(!hasCyrillic(result.out), english);
    // The window's choice is the user's, and not changed by the option.
    QCOMPARE(ProgramIdentity::nativeSettings().value(QLatin1String(LanguageKey)), setting);

    const Run wrong = run(QStringList{"--lang", "de"} + arguments);
    QCOMPARE(wrong.code, int(ExitCode::Usage));
    QVERIFY(wrong.err.contains(QLatin1String("\"de\"")));
    QCOMPARE(run({"adapters", "--lang"}).code, int(ExitCode::Usage));
}

void TestCommandLineScripts::readJsonHasIsoDatesMinutesArraysAndTheSummary()
{
    SimulatedModuleOptions options;
    options.hoursPerReport = 24;
    startModule(63501, options);
    EepromImage image = module->eeprom();
    image.setWord(WordReleaseDate, 4052025);
    module->setEeprom(image);

    const Run first = run({"read", "--json"}, true);
    QCOMPARE(first.code, int(ExitCode::Done));
    QJsonObject json = QJsonDocument::fromJson(first.out.toUtf8()).object();
    QCOMPARE(json.value("sn").toInt(), 63501);
    QVERIFY2(QRegularExpression(QStringLiteral("^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:00$"))
                 .match(json.value("date").toString())
                 .hasMatch(),
             qPrintable(json.value("date").toString()));
    QCOMPARE(json.value("release_date").toString(), QStringLiteral("2025-05-04"));
    // 342:56 and 52:02 in the built-in module.
    QCOMPARE(json.value("total_time").toDouble(), 342.0 * 60 + 56);
    QCOMPARE(json.value("repair_time").toDouble(), 52.0 * 60 + 2);
    for (const char *key : {"total_percents", "repair_percents"}) {
        const QJsonArray parameters = json.value(QLatin1String(key)).toArray();
        QCOMPARE(parameters.size(), 6);
        for (const QJsonValue &parameter : parameters) {
            QVERIFY2(parameter.isArray() && !parameter.toArray().isEmpty(), key);
            for (const QJsonValue &percent : parameter.toArray())
                QVERIFY2(percent.isDouble() && percent.toDouble() >= 0 && percent.toDouble() <= 100, key);
        }
    }
    QJsonObject summary = json.value("comparison_summary").toObject();
    QVERIFY2(summary.value("line").toString().contains(QStringLiteral("первый")),
             qPrintable(summary.value("line").toString()));
    QVERIFY(summary.value("notices").isArray());

    // A day later, in English: the comparison's line in the language asked.
    const Run second = run({"read", "--json", "--lang", "en"}, true);
    QCOMPARE(second.code, int(ExitCode::Done));
    json = QJsonDocument::fromJson(second.out.toUtf8()).object();
    QCOMPARE(json.value("total_time").toDouble(), 366.0 * 60 + 56);
    summary = json.value("comparison_summary").toObject();
    const QString line = summary.value("line").toString();
    QVERIFY2(!line.isEmpty() && !hasCyrillic(line), qPrintable(line));
    QVERIFY2(line.contains(QLatin1String("24:00")), qPrintable(line));
    QVERIFY(!hasCyrillic(second.err));
}

// Module A is read, keeps answering and is not read again; it then answers
// with another number (a module swapped without a pause); then the line
// falls silent and a module with that same number answers: read again.
void TestCommandLineScripts::readLoopReadsEachModuleOnceUntilInterrupted()
{
    startModule(63510);
    QString printed;
    QString progress;
    QTextStream out(&printed);
    QTextStream err(&progress);
    const auto lines = [&] {
        out.flush();
        return printed.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    };

    // Each step waits for what the loop must have done before the next.
    int step = 0;
    int sentBeforeSwap = 0;
    QElapsedTimer silence;
    QTimer director;
    director.setInterval(20);
    QObject::connect(&director, &QTimer::timeout, [&] {
        switch (step) {
        case 0: // A read once, then asked twice more without a new line.
            if (lines().size() == 1 && module->reportsSent() >= 3) {
                sentBeforeSwap = module->reportsSent();
                EepromImage image = module->eeprom();
                image.setWord(WordSerialNumber, 63511);
                module->setEeprom(image);
                step = 1;
            }
            break;
        case 1: // the other number read; the module goes.
            if (lines().size() == 2) {
                module->stop();
                silence.start();
                step = 2;
            }
            break;
        case 2: // Long enough for a question nobody answers.
            if (silence.elapsed() > 2500) {
                QString error;
                SimulatedModuleOptions options;
                options.bus = module->options().bus;
                module = std::make_unique<SimulatedModule>(options);
                QVERIFY2(module->start(&error), qPrintable(error));
                // Another module of that number: its report is not the one
                // stored already, which the SSU would take as the same.
                EepromImage image = module->eeprom();
                image.setWord(WordSerialNumber, 63511);
                image.setWord(WordTotalTime, image.word(WordTotalTime) + 3600);
                module->setEeprom(image);
                step = 3;
            }
            break;
        case 3:
            if (lines().size() == 3) {
                step = 4;
                std::raise(SIGINT);
            }
            break;
        default:
            break;
        }
    });
    director.start();
    QElapsedTimer clock;
    clock.start();
    const int code = runCommandLine({"read", "--loop", "--json"}, out, err, onlineHooks());
    director.stop();
    err.flush();

    QCOMPARE(step, 4);
    QCOMPARE(code, int(ExitCode::Done));
    QVERIFY2(clock.elapsed() < 60000, "the loop took too long to notice the modules");
    const QStringList read = lines();
    QCOMPARE(read.size(), 3);
    const QList<int> serials{63510, 63511, 63511};
    for (int i = 0; i < read.size(); ++i) {
        const QJsonObject json = QJsonDocument::fromJson(read.at(i).toUtf8()).object();
        QCOMPARE(json.value("sn").toInt(), serials.at(i));
        QCOMPARE(json.value("stored").toString(), QStringLiteral("ssu"));
        QVERIFY(QFile::exists(json.value("document").toString()));
        QVERIFY(json.value("comparison_summary").isObject());
    }
    QVERIFY(sentBeforeSwap >= 3);
    QCOMPARE(rvktest::rowsForSerial(63510).size(), 1);
    QCOMPARE(rvktest::rowsForSerial(63511).size(), 2);
    QVERIFY2(progress.contains(QStringLiteral("Прочитано модулей: 3.")), qPrintable(progress));

    // As text: one line per module, the fields the loop promises.
    QString text;
    QTextStream textOut(&text);
    QTimer stop;
    stop.setSingleShot(true);
    QObject::connect(&stop, &QTimer::timeout, [] { std::raise(SIGTERM); });
    stop.start(3000);
    const int textCode = runCommandLine({"read", "--loop", "--no-upload"}, textOut, err);
    stop.stop();
    QCOMPARE(textCode, int(ExitCode::Done));
    textOut.flush();
    const QStringList fields = text.trimmed().split(QLatin1Char('\t'));
    QVERIFY2(fields.size() >= 4, qPrintable(text));
    QCOMPARE(fields.at(0), QStringLiteral("63511"));
    QVERIFY(QFile::exists(fields.at(1)));
    QVERIFY(fields.at(2).contains(QLatin1String("ssu_sn63511")));
}

void TestCommandLineScripts::uploadSendsTheArchiveAndNamesEachFile()
{
    QCOMPARE(run({"upload"}).code, int(ExitCode::Done));

    startModule(63520);
    QCOMPARE(run({"read", "--no-upload"}).code, int(ExitCode::Done));
    EepromImage image = module->eeprom();
    image.setWord(WordSerialNumber, 63521);
    module->setEeprom(image);
    QCOMPARE(run({"read", "--no-upload"}).code, int(ExitCode::Done));
    const QStringList archived = ArchiveFile::list(ArchiveFile::directory());
    QCOMPARE(archived.size(), 2);

    // Without the SSU every file is named and stays.
    const Run offline = run({"upload"});
    QCOMPARE(offline.code, int(ExitCode::Database));
    for (const QString &name : archived)
        QVERIFY2(offline.out.contains(name + QStringLiteral(": не передан: ССУ недоступна")), qPrintable(offline.out));
    QCOMPARE(ArchiveFile::list(ArchiveFile::directory()), archived);

    // One report reached the SSU meanwhile, as from another station that
    // had the same file: it is said to be there already, and leaves the
    // folder all the same.
    const QString storedBefore = archived.filter(QStringLiteral("_sn63520_")).value(0);
    const QString sentNow = archived.filter(QStringLiteral("_sn63521_")).value(0);
    QByteArray record;
    QVERIFY(ArchiveFile::read(ArchiveFile::pathOf(storedBefore), &record));
    SsuSession other;
    QVERIFY(rvktest::bringOnline(other, server));
    const UploadResult first = rvktest::awaitCall<UploadResult>([&](QObject *c, std::function<void(UploadResult)> d) {
        other.uploadArchivedReport(record, storedBefore, c, d);
    });
    QCOMPARE(first.value, UploadOutcome::Inserted);

    const Run online = run({"upload", "--lang", "en"}, true);
    QCOMPARE(online.code, int(ExitCode::Done));
    QVERIFY2(!hasCyrillic(online.out + online.err), qPrintable(online.out + online.err));
    QStringList lines = online.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    lines.sort();
    QStringList expected{storedBefore + QStringLiteral(": already in the SSU (replaced by this copy)"),
                         sentNow + QStringLiteral(": sent to the SSU")};
    expected.sort();
    QCOMPARE(lines, expected);
    QVERIFY2(online.err.contains(QStringLiteral("Sent to the SSU: 2 (1 of them already there), not sent: 0.")),
             qPrintable(online.err));
    QVERIFY(ArchiveFile::list(ArchiveFile::directory()).isEmpty());
    QCOMPARE(rvktest::rowsForSerial(63520).size(), 1);
    QCOMPARE(rvktest::rowsForSerial(63521).size(), 1);

    // A file the server refuses (its name's date does not exist) stays, with
    // the server's reason on its line.
    const QString refused = QStringLiteral("ssu_sn63522_31.02.2026_14.35.bin");
    QVERIFY(ArchiveFile::write(ArchiveFile::pathOf(refused), record));
    const Run failing = run({"upload", "--lang", "en"}, true);
    QCOMPARE(failing.code, int(ExitCode::ArchivedOnly));
    QVERIFY2(failing.out.startsWith(refused + QStringLiteral(": not sent: ")) && failing.out.contains("date")
                 && failing.out.count(QLatin1Char('\n')) == 1,
             qPrintable(failing.out));
    QCOMPARE(ArchiveFile::list(ArchiveFile::directory()), QStringList{refused});
}

// "rvk-report export | head -1": the reader goes after the first line. The
// process's own standard output is pointed at a pipe for the command.
void TestCommandLineScripts::exportToAClosedPipeEndsQuietly()
{
    QSqlQuery insert(rvktest::stationConnection());
    for (int day = 1; day <= 3; ++day)
        QVERIFY(insert.exec(QStringLiteral("INSERT INTO rvkreport SELECT 63530, '2025-06-0%1 10:00:00', "
                                           "'2024-01-01', '3.2.2', 40, '1%1:00', '01:00', '1,2', '1,2', '1,2', "
                                           "'1,2', '1,2', '1,2', 3, '1,2', '1,2', '1,2', '1,2', '1,2', '1,2', 1")
                                .arg(day)));
    const auto exportThroughPipe = [this](bool readerStays, QByteArray *received) {
        int ends[2];
        if (::pipe(ends) != 0)
            return Run{};
        std::fflush(stdout);
        const int saved = ::dup(STDOUT_FILENO);
        ::dup2(ends[1], STDOUT_FILENO);
        ::close(ends[1]);
        if (!readerStays)
            ::close(ends[0]);
        const Run result = run({"export", "--serial", "63530"}, true);
        std::fflush(stdout);
        ::dup2(saved, STDOUT_FILENO);
        ::close(saved);
        std::clearerr(stdout);
        if (readerStays) {
            char buffer[4096];
            ssize_t got = 0;
            while ((got = ::read(ends[0], buffer, sizeof buffer)) > 0)
                received->append(buffer, int(got));
            ::close(ends[0]);
        }
        return result;
    };

    QByteArray received;
    const Run open = exportThroughPipe(true, &received);
    QCOMPARE(open.code, int(ExitCode::Done));
    // The test's own log may write to the same descriptor meanwhile.
    const QStringList lines = QString::fromUtf8(received).split(QLatin1Char('\n'));
    QVERIFY2(lines.filter(QRegularExpression(QStringLiteral("^63530,"))).size() == 3, received.constData());
    QVERIFY(lines.filter(QRegularExpression(QStringLiteral("^sn,date,"))).size() == 1);

    const Run closed = exportThroughPipe(false, nullptr);
    QCOMPARE(closed.code, int(ExitCode::Done));
    QVERIFY2(!closed.err.contains(QStringLiteral("ССУ")), qPrintable(closed.err));
    QVERIFY2(!closed.err.contains(QStringLiteral("прервана")), qPrintable(closed.err));
}

RVK_TEST_MAIN(TestCommandLineScripts)
#include "tst_commandline_scripts_db_vcan.moc"
