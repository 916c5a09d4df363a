// rvk-report's commands run in this process against the simulated module on
// a private virtual bus and the test MariaDB: exit codes, what they print,
// and what they leave in the working folder and the SSU. Serial numbers
// 63400..63499 belong to this file.
#include "cli/commandline.h"
#include "protocol/frameclassification.h"
#include "ssu/ssusession.h"
#include "tests/support/databasetest.h"
#include "tests/support/httpfileserver.h"
#include "tests/support/testfiles.h"
#include "tests/support/testmain.h"
#include "tests/support/vcantestsupport.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

namespace {
constexpr quint32 FirstSn = 63400;
constexpr quint32 LastSn = 63499;

struct Run
{
    int code = -1;
    QString out;
    QString err;
};
} // namespace

class TestCommandLine : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();
    void usageErrorsExitWithTwo_data();
    void usageErrorsExitWithTwo();
    void adaptersListsTheBus();
    void writeKeepsTheOldReportVerifiesAndLogs();
    void writeLogsWhatReachedAModuleThatDoesNotAnswer();
    void readStoresInTheSsuAndPrintsJson();
    void readWithoutTheSsuArchivesAndSaysSo();
    void readTwiceComparesWithThePreviousReport();
    void readWithoutAModuleExitsNoAnswer();
    void readOfABrokenTransferStoresNothing();
    void monitorWritesUtcLinesWithTheOffset();
    void exportStreamsTheSelectedReports();
    void fleetPrintsTheWindowsFiguresGroupByGroup();

private:
    Run run(const QStringList &arguments, bool online = false);
    void startModule(SimulatedModuleOptions options = {});
    std::unique_ptr<SimulatedModule> module;
    HttpFileServer server;
};

Run TestCommandLine::run(const QStringList &arguments, bool online)
{
    Run result;
    QTextStream out(&result.out);
    QTextStream err(&result.err);
    CommandLineHooks hooks;
    if (online) {
        server.serve(QLatin1String(rvktest::passwordPath()), rvktest::passwordFile());
        hooks.prepareSession = [this](SsuSession *session) {
            session->setDownloadUrl(server.url(QLatin1String(rvktest::passwordPath())));
        };
    }
    result.code = runCommandLine(arguments, out, err, hooks);
    out.flush();
    err.flush();
    return result;
}

void TestCommandLine::startModule(SimulatedModuleOptions options)
{
    QString error;
    module = rvktest::startModuleOnPrivateBus(options, &error);
    QVERIFY2(module, qPrintable(error));
}

void TestCommandLine::initTestCase()
{
    QVERIFY2(rvktest::databaseReachable(), "start the test database: scripts/test-db start");
    rvktest::deleteSerialRange(FirstSn, LastSn);
}

void TestCommandLine::init()
{
    rvktest::removeEntries({QStringLiteral("ssu"), QStringLiteral("Reports"), QStringLiteral("History"),
                            QStringLiteral("factory-values.log")});
}

void TestCommandLine::cleanup()
{
    if (module)
        rvktest::stopModuleOnPrivateBus(module);
}

void TestCommandLine::cleanupTestCase()
{
    rvktest::deleteSerialRange(FirstSn, LastSn);
}

void TestCommandLine::usageErrorsExitWithTwo_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("no command") << QStringList{};
    QTest::newRow("unknown command") << QStringList{"fly"};
    QTest::newRow("unknown option") << QStringList{"read", "--fast"};
    QTest::newRow("write without values") << QStringList{"write", "--serial", "5"};
    QTest::newRow("serial out of range") << QStringList{"write", "--serial", "70000", "--release-date", "01.01.2025",
                                                        "--impact", "3"};
    QTest::newRow("impossible date") << QStringList{"write", "--serial", "5", "--release-date", "31.02.2025",
                                                    "--impact", "3"};
    QTest::newRow("monitor without file") << QStringList{"monitor", "--duration", "1"};
    QTest::newRow("export format") << QStringList{"export", "--format", "xml"};
    QTest::newRow("export negative serial") << QStringList{"export", "--serial", "-1"};
    QTest::newRow("fleet without grouping") << QStringList{"fleet"};
    QTest::newRow("fleet grouping") << QStringList{"fleet", "--group", "colour"};
    QTest::newRow("fleet format") << QStringList{"fleet", "--group", "firmware", "--format", "xml"};
    QTest::newRow("export date") << QStringList{"export", "--from", "yesterday"};
}

void TestCommandLine::usageErrorsExitWithTwo()
{
    QFETCH(QStringList, arguments);
    const Run result = run(arguments);
    QCOMPARE(result.code, int(ExitCode::Usage));
    QVERIFY(!result.err.isEmpty());
    QVERIFY(!QFile::exists(QStringLiteral("factory-values.log")));

    // --help answers every command, and names the exit codes.
    const Run help = run({arguments.value(0, QStringLiteral("--help")), QStringLiteral("--help")});
    if (arguments.value(0) != QLatin1String("fly")) {
        QCOMPARE(help.code, int(ExitCode::Done));
        QVERIFY(help.out.contains(QLatin1String("rvk-report")));
        QVERIFY(help.out.contains(QLatin1String(" 8 ")));
    }
}

void TestCommandLine::adaptersListsTheBus()
{
    startModule();
    const Run result = run({QStringLiteral("adapters")});
    QCOMPARE(result.code, int(ExitCode::Done));
    QCOMPARE(result.out.trimmed(), module->options().bus);
}

void TestCommandLine::writeKeepsTheOldReportVerifiesAndLogs()
{
    startModule();
    const Run result = run({"write", "--serial", "63401", "--release-date", "02.03.2025", "--impact", "17",
                            "--reset-repair"});
    QCOMPARE(result.code, int(ExitCode::Done));
    QVERIFY(result.out.contains(QLatin1String("sn=63401 release_date=02.03.2025 impact=17 repair_time=00:00")));
    // The values before were kept first: without the SSU, in the archive,
    // with the report's document and its comparison.
    QCOMPARE(rvktest::filesIn(QStringLiteral("ssu")).size(), 1);
    QCOMPARE(rvktest::filesIn(QStringLiteral("Reports")).size(), 2);

    QFile log(QStringLiteral("factory-values.log"));
    QVERIFY(log.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(log.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 1);
    const QStringList fields = lines.first().split(QLatin1Char('\t'));
    QCOMPARE(fields.size(), 6);
    QVERIFY(QDateTime::fromString(fields.at(0), Qt::ISODate).isValid());
    QVERIFY(fields.at(1).startsWith(QLatin1String("station=")));
    QVERIFY(fields.at(2).startsWith(QLatin1String("old: sn=10457 ")));
    QCOMPARE(fields.at(3), QStringLiteral("requested: sn=63401:acknowledged release_date=02.03.2025:acknowledged "
                                          "impact=17:acknowledged repair_reset:acknowledged"));
    QCOMPARE(fields.at(4), QStringLiteral("read back: sn=63401 release_date=02.03.2025 impact=17 repair_time=00:00"));
    QCOMPARE(fields.at(5), QStringLiteral("verified"));
}

// The module stores the release date but its acknowledgement never comes:
// the log says which value reached the module, which was not confirmed and
// which was never sent, and what the module holds afterwards.
void TestCommandLine::writeLogsWhatReachedAModuleThatDoesNotAnswer()
{
    SimulatedModuleOptions options;
    options.unacknowledgedCommand = CanIdSetDate;
    startModule(options);
    const Run result = run({"write", "--serial", "63403", "--release-date", "05.06.2025", "--impact", "23"});
    QCOMPARE(result.code, int(ExitCode::NoAnswer));
    QVERIFY2(result.err.contains(QLatin1String("sn=63403:acknowledged release_date=05.06.2025:unacknowledged "
                                               "impact=23:not-sent")),
             qPrintable(result.err));

    QFile log(QStringLiteral("factory-values.log"));
    QVERIFY(log.open(QIODevice::ReadOnly));
    const QStringList fields = QString::fromUtf8(log.readAll()).trimmed().split(QLatin1Char('\t'));
    QCOMPARE(fields.size(), 6);
    QCOMPARE(fields.at(3), QStringLiteral("requested: sn=63403:acknowledged release_date=05.06.2025:unacknowledged "
                                          "impact=23:not-sent"));
    // Read back: the new number and the unconfirmed date are stored, the
    // impact level is the module's old one.
    QVERIFY2(fields.at(4).startsWith(QLatin1String("read back: sn=63403 release_date=05.06.2025 impact=")),
             qPrintable(fields.at(4)));
    QVERIFY(!fields.at(4).contains(QLatin1String("impact=23 ")));
    QCOMPARE(fields.at(5), QStringLiteral("unacknowledged"));
}

void TestCommandLine::readStoresInTheSsuAndPrintsJson()
{
    startModule();
    QCOMPARE(run({"write", "--serial", "63402", "--release-date", "04.05.2025", "--impact", "9"}).code,
             int(ExitCode::Done));
    // The write's own keeping of the old report (another module's number)
    // stays out of the SSU.
    rvktest::removeEntries({QStringLiteral("ssu")});

    const Run result = run({QStringLiteral("read"), QStringLiteral("--json")}, true);
    QCOMPARE(result.code, int(ExitCode::Done));
    const QJsonObject json = QJsonDocument::fromJson(result.out.toUtf8()).object();
    QCOMPARE(json.value("sn").toInt(), 63402);
    QCOMPARE(json.value("release_date").toString(), QStringLiteral("2025-05-04"));
    QCOMPARE(json.value("stored").toString(), QStringLiteral("ssu"));
    QCOMPARE(json.value("total_percents").toArray().size(), 6);
    QVERIFY(QFile::exists(json.value("document").toString()));
    const QList<QVariantMap> rows = rvktest::rowsForSerial(63402);
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows.first().value("impact_level").toInt(), 9);
    QVERIFY(rvktest::filesIn(QStringLiteral("ssu")).isEmpty());
}

void TestCommandLine::readWithoutTheSsuArchivesAndSaysSo()
{
    startModule();
    const Run stored = run({QStringLiteral("read")});
    QCOMPARE(stored.code, int(ExitCode::ArchivedOnly));
    QCOMPARE(rvktest::filesIn(QStringLiteral("ssu")).size(), 1);
    QVERIFY(stored.out.contains(QLatin1String("10457")));

    // Asked for, the archive is the whole job.
    rvktest::removeEntries({QStringLiteral("ssu")});
    QCOMPARE(run({QStringLiteral("read"), QStringLiteral("--no-upload")}, true).code, int(ExitCode::Done));
    QCOMPARE(rvktest::filesIn(QStringLiteral("ssu")).size(), 1);
}

// The module runs a day between read-outs; each read-out's comparison shows
// that day, from the SSU while it answers and from the station's own copy
// when it does not.
void TestCommandLine::readTwiceComparesWithThePreviousReport()
{
    SimulatedModuleOptions options;
    options.hoursPerReport = 24;
    startModule(options);
    EepromImage image = module->eeprom();
    image.setWord(WordSerialNumber, 63403);
    module->setEeprom(image);
    const auto comparisonOf = [](const Run &result) {
        const QString path = QJsonDocument::fromJson(result.out.toUtf8()).object().value("comparison").toString();
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    };

    const QString first = comparisonOf(run({QStringLiteral("read"), QStringLiteral("--json")}, true));
    QVERIFY2(first.contains(QStringLiteral("Это первый отчёт модуля: сравнивать не с чем.")), qPrintable(first));

    const QString second = comparisonOf(run({QStringLiteral("read"), QStringLiteral("--json")}, true));
    QVERIFY(second.contains(QStringLiteral("(ССУ)")));
    // 342:56 and 52:02 in the built-in module, a day and two impacts more.
    QVERIFY2(second.contains(QStringLiteral("<td>342:56</td><td>366:56</td><td>+24:00</td>")), qPrintable(second));
    QVERIFY(second.contains(QStringLiteral("<td>52:02</td><td>76:02</td><td>+24:00</td>")));
    QVERIFY(second.contains(QStringLiteral("<td>17</td><td>19</td><td>+2</td>")));
    QVERIFY(!second.contains(QStringLiteral("class=\"notice\"")));
    QCOMPARE(rvktest::rowsForSerial(63403).size(), 2);

    const QString offline = comparisonOf(run({QStringLiteral("read"), QStringLiteral("--json")}));
    QVERIFY(offline.contains(QStringLiteral("(копия этой станции)")));
    QVERIFY(offline.contains(QStringLiteral("<td>366:56</td><td>390:56</td><td>+24:00</td>")));
}

void TestCommandLine::readWithoutAModuleExitsNoAnswer()
{
    // The bus is there, the module is not.
    startModule();
    const QString bus = module->options().bus;
    module.reset();
    const Run result = run({QStringLiteral("read"), QStringLiteral("--adapter"), bus});
    QCOMPARE(result.code, int(ExitCode::NoAnswer));
    QVERIFY(rvktest::filesIn(QStringLiteral("Reports")).isEmpty());
    const Run noAdapter = run({QStringLiteral("read"), QStringLiteral("--adapter"), QStringLiteral("nosuchplugin/can9")});
    QCOMPARE(noAdapter.code, int(ExitCode::NoAdapter));
    QCOMPARE(noAdapter.err, QStringLiteral("Адаптер nosuchplugin/can9 не открывается.\n"));
}

void TestCommandLine::readOfABrokenTransferStoresNothing()
{
    SimulatedModuleOptions options;
    options.dropFrame = 12;
    startModule(options);
    const Run result = run({QStringLiteral("read")}, true);
    QCOMPARE(result.code, int(ExitCode::Incomplete));
    QVERIFY(rvktest::filesIn(QStringLiteral("Reports")).isEmpty());
    QVERIFY(rvktest::filesIn(QStringLiteral("ssu")).isEmpty());

    // As JSON: what arrived, and no value, since none is known to be the
    // module's.
    const Run json = run({QStringLiteral("read"), QStringLiteral("--json")}, true);
    QCOMPARE(json.code, int(ExitCode::Incomplete));
    const QJsonObject printed = QJsonDocument::fromJson(json.out.toUtf8()).object();
    QCOMPARE(printed.value("whole").toBool(true), false);
    QCOMPARE(printed.value("frames").toInt(), 36);
    for (const char *key : {"sn", "release_date", "firmware_version", "impact_level", "total_time", "repair_time",
                            "impacts", "irt_impacts", "total_percents", "repair_percents"})
        QVERIFY2(printed.value(QLatin1String(key)).isNull(), key);
}

void TestCommandLine::monitorWritesUtcLinesWithTheOffset()
{
    SimulatedModuleOptions options;
    options.monitorPeriodMs = 100;
    startModule(options);
    const Run result = run({"monitor", "--duration", "1", "--csv", "sensors.csv"});
    QCOMPARE(result.code, int(ExitCode::Done));
    QFile csv(QStringLiteral("sensors.csv"));
    QVERIFY(csv.open(QIODevice::ReadOnly | QIODevice::Text));
    const QStringList lines = QString::fromUtf8(csv.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QVERIFY2(lines.size() >= 3, qPrintable(lines.join('\n')));
    QVERIFY(lines.first().startsWith(QLatin1String("utc_time,utc_offset,Freq,RPM")));
    const QRegularExpression line(QStringLiteral("^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\\.\\d{3}Z,-?\\d{1,3},"));
    for (const QString &reading : lines.mid(1)) {
        QVERIFY2(line.match(reading).hasMatch(), qPrintable(reading));
        QCOMPARE(reading.count(QLatin1Char(',')), lines.first().count(QLatin1Char(',')));
    }
    // Switched off at the end, and said so: the module stops sending.
    QVERIFY2(result.err.contains(QStringLiteral("Монитор модуля выключен.")), qPrintable(result.err));
    QTRY_VERIFY(!module->monitorOn());
}

void TestCommandLine::exportStreamsTheSelectedReports()
{
    QSqlDatabase db = rvktest::stationConnection();
    QSqlQuery insert(db);
    for (int i = 0; i < 5; ++i)
        QVERIFY(insert.exec(QStringLiteral("INSERT INTO rvkreport SELECT %1, '2025-06-0%2 10:00:00', '2024-01-01', "
                                           "'3.2.2', 40, '1%2:00', '01:00', '1,2', '1,2', '1,2', '1,2', '1,2', '1,2', "
                                           "3, '1,2', '1,2', '1,2', '1,2', '1,2', '1,2', 1")
                                .arg(i < 3 ? 63410 : 63411)
                                .arg(i + 1)));
    // Another module around, which no selection here names.
    QVERIFY(insert.exec(QStringLiteral("INSERT INTO rvkreport SELECT 63412, '2025-06-05 10:00:00', '2024-01-01', "
                                       "'3.2.2', 40, '10:00', '01:00', '1,2', '1,2', '1,2', '1,2', '1,2', '1,2', "
                                       "3, '1,2', '1,2', '1,2', '1,2', '1,2', '1,2', 1")));

    const Run json = run({"export", "--serial", "63410", "--format", "json", "--out", "one.json"}, true);
    QCOMPARE(json.code, int(ExitCode::Done));
    QFile file(QStringLiteral("one.json"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QJsonArray rows = QJsonDocument::fromJson(file.readAll()).array();
    QCOMPARE(rows.size(), 3);
    for (const QJsonValue &row : rows)
        QCOMPARE(row.toObject().value("sn").toInt(), 63410);

    const Run csv = run({"export", "--serial", "63411", "--from", "2025-06-05", "--to", "2025-06-05", "--out",
                         "two.csv"},
                        true);
    QCOMPARE(csv.code, int(ExitCode::Done));
    QFile two(QStringLiteral("two.csv"));
    QVERIFY(two.open(QIODevice::ReadOnly | QIODevice::Text));
    const QStringList lines = QString::fromUtf8(two.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 2);
    QVERIFY(lines.first().startsWith(QLatin1String("sn,date,")));
    QVERIFY(lines.last().startsWith(QLatin1String("63411,2025-06-05T10:00:00,")));

    // Without the password the SSU is not reached.
    const Run unreached = run({"export", "--serial", "63410", "--out", "none.csv"});
    QCOMPARE(unreached.code, int(ExitCode::Database));
    QCOMPARE(unreached.err, QStringLiteral("ССУ недоступна.\n"));
}

// The shared table holds other tests' reports too: the module of this test
// has a firmware text of its own, so its group is its alone.
void TestCommandLine::fleetPrintsTheWindowsFiguresGroupByGroup()
{
    QSqlQuery insert(rvktest::stationConnection());
    QVERIFY(insert.exec(QStringLiteral("INSERT INTO rvkreport SELECT 63420, '2025-06-01 10:00:00', '2024-01-01', "
                                       "'cli-fleet', 40, '12:30', '01:00', '100,0,0,0,0,0', '1,2', '1,2', '1,2', "
                                       "'1,2', '1,2', 5, '1,2', '1,2', '1,2', '1,2', '1,2', '1,2', 1")));
    const Run csv = run({"fleet", "--group", "firmware"}, true);
    QCOMPARE(csv.code, int(ExitCode::Done));
    const QStringList lines = csv.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QVERIFY(lines.size() >= 2);
    QVERIFY2(lines.first().startsWith(QLatin1String("group,modules,hours_median,hours_p10,hours_p90,")),
             qPrintable(lines.first()));
    const QStringList header = lines.first().split(QLatin1Char(','));
    QString own;
    for (const QString &line : lines) {
        if (line.startsWith(QLatin1String("cli-fleet,")))
            own = line;
    }
    const QStringList cells = own.split(QLatin1Char(','));
    QCOMPARE(cells.size(), header.size());
    QCOMPARE(cells.at(header.indexOf("modules")), QStringLiteral("1"));
    QCOMPARE(cells.at(header.indexOf("hours_median")), QStringLiteral("12.500"));
    QCOMPARE(cells.at(header.indexOf("rotation_bin1_share")), QStringLiteral("100.000"));
    QCOMPARE(cells.at(header.indexOf("impacts_per_100h")), QStringLiteral("40.000"));
    // 2024-01-01 to 2025-06-01 is 517 days.
    QCOMPARE(cells.at(header.indexOf("age_years_median")), QString::number(517 / 365.25, 'f', 3));

    const Run json = run({"fleet", "--group", "release-year", "--format", "json"}, true);
    QCOMPARE(json.code, int(ExitCode::Done));
    const QJsonArray groups = QJsonDocument::fromJson(json.out.toUtf8()).array();
    QVERIFY(!groups.isEmpty());
    bool found = false;
    for (const QJsonValue &group : groups) {
        const QJsonObject object = group.toObject();
        QCOMPARE(object.keys().size(), header.size());
        found = found || object.value("group").toString() == QLatin1String("2024");
    }
    QVERIFY(found);

    // Without the password the SSU is not reached.
    const Run unreached = run({"fleet", "--group", "firmware"});
    QCOMPARE(unreached.code, int(ExitCode::Database));
    QCOMPARE(unreached.err, QStringLiteral("ССУ недоступна.\n"));
}

RVK_TEST_MAIN(TestCommandLine)
#include "tst_commandline_db_vcan.moc"
