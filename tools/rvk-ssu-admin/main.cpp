// rvk-ssu-admin: the administrator's step for the shared table. Stations may
// only create the table, store, read and delete reports; its row key and
// indexes are added here, on the administrator's own account, in one
// statement, so that the table is complete or as it was, never half-done.
// The same step keeps a copy of every deleted report, which this tool lists
// and restores, and the tool makes and revokes the accounts of single
// stations for plants that want them.

#include "alterprogress.h"
#include "deletedreports.h"
#include "keytext.h"
#include "passwordinput.h"
#include "stationaccounts.h"

#include "protocol/terminaltext.h"
#include "ssu/deployment.h"
#include "ssu/reportschema.h"
#include "ssu/stationaccount.h"
#include "ssu/driver/ssuconnection.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QTextStream>
#include <QVariant>

namespace {

enum ExitCode { Done = 0, KeysMissing = 1, Usage = 2, Failed = 3 };

const char *const AdminConnection = "rvk-ssu-admin";

// Rebuilding the indexes of the fleet's history can take hours; the
// stations' 20 s would abandon it.
constexpr int DefaultStatementHours = 12;

QString createStatement(const QString &table)
{
    return createReportTableStatement()
        .replace(QStringLiteral("EXISTS rvkreport("), QStringLiteral("EXISTS %1(").arg(table));
}

// Runs the statement with progress reports. A connection lost under it (the
// network, the deadline) leaves the server going on alone; it is told to
// stop, so that the table stays as it was rather than changing later.
bool runAlter(QSqlDatabase db, const SsuTarget &target, const QString &statement, QTextStream &err)
{
    QSqlQuery id(db);
    if (!id.exec(QStringLiteral("SELECT CONNECTION_ID()")) || !id.next()) {
        err << "rvk-ssu-admin: " << terminalSafe(id.lastError().text()) << '\n';
        return false;
    }
    AlterProgress progress(target, id.value(0).toLongLong());
    progress.start();
    QSqlQuery alter(db);
    const bool done = alter.exec(statement);
    progress.finish();
    if (done)
        return true;
    const QSqlError error = alter.lastError();
    err << "rvk-ssu-admin: adding the keys failed: " << terminalSafe(error.text()) << '\n';
    if (error.nativeErrorCode() == QLatin1String("1062"))
        err << "rvk-ssu-admin: the table holds a report more than once, which the unique key forbids; "
               "remove the duplicates (see the README) and run this again\n";
    // No server error number (the deadline) or one of the client library's
    // own (2000-2999): the server did not answer, and may be going on.
    const int code = error.nativeErrorCode().toInt();
    const bool unanswered = code == 0 || (code >= 2000 && code < 3000);
    if (unanswered && !progress.killWatched()) {
        err << "rvk-ssu-admin: the connection was lost and the server could not be told to stop; it may still "
               "complete the change: run --check later\n";
        return false;
    }
    err << "rvk-ssu-admin: the table was left as it was\n";
    return false;
}


// What the positional arguments ask for. Only words the tool knows, and the
// operands they take, count as the command: anything else may be a password
// typed where it does not belong, and is refused as one.
struct Invocation
{
    enum Command { Step, Deleted, Restore, StationAdd, StationList, StationRevoke } command = Step;
    int words = 0;
    QList<qint64> copies;
    QString station;
    QString usageError;
};

Invocation parseCommand(const QStringList &words)
{
    Invocation call;
    const QString first = words.value(0);
    if (first == QLatin1String("deleted")) {
        call.command = Invocation::Deleted;
        call.words = 1;
    } else if (first == QLatin1String("restore")) {
        call.command = Invocation::Restore;
        call.words = 1;
        for (int i = 1; i < words.size(); ++i) {
            bool ok = false;
            const qint64 id = words.at(i).toLongLong(&ok);
            if (!ok || id <= 0)
                break;
            call.copies << id;
            ++call.words;
        }
        if (call.copies.isEmpty() && words.size() == 1)
            call.usageError = QStringLiteral("name the deleted reports to restore by the numbers \"deleted\" lists");
    } else if (first == QLatin1String("station")) {
        const QString action = words.value(1);
        call.words = 2;
        if (action == QLatin1String("list")) {
            call.command = Invocation::StationList;
        } else if (action == QLatin1String("add") || action == QLatin1String("revoke")) {
            call.command = action == QLatin1String("add") ? Invocation::StationAdd : Invocation::StationRevoke;
            call.station = words.value(2);
            call.words = 3;
            if (!StationAccounts::validName(call.station))
                call.usageError = QStringLiteral("a station's name is 1 to 24 letters, digits, '_' or '-'");
        } else {
            call.usageError = QStringLiteral("station takes add NAME, list or revoke NAME");
        }
    }
    return call;
}

// The key the station file is encrypted with: the build's, or the first
// line of a file (never the command line, as with the password).
bool readKey(const QString &fileName, quint64 *key, QTextStream &err)
{
    if (fileName.isEmpty()) {
        *key = Deployment::key();
        return true;
    }
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        err << "rvk-ssu-admin: cannot read the key file " << fileName << ": " << file.errorString() << '\n';
        return false;
    }
    if (!parseKeyText(QString::fromLatin1(file.readLine(256)), key)) {
        err << "rvk-ssu-admin: the first line of " << fileName
            << " must be the key, a hexadecimal number of at most 16 digits\n";
        return false;
    }
    return true;
}

// The table's keys and indexes, then the copy of deleted reports.
int runStep(QSqlDatabase db, const SsuTarget &target, const QString &table, bool check, QTextStream &out,
            QTextStream &err)
{
    QSqlQuery query(db);
    DeletedReports deleted(db, target.database, table);
    if (!check && !query.exec(createStatement(table))) {
        err << "rvk-ssu-admin: cannot create the table: " << terminalSafe(query.lastError().text()) << '\n';
        return Failed;
    }
    const int missing = missingReportKeys(db, table);
    if (missing < 0) {
        err << "rvk-ssu-admin: cannot read the table's indexes: " << terminalSafe(db.lastError().text()) << '\n';
        return Failed;
    }
    QString error;
    if (check) {
        out << missing << " of the table's keys and indexes missing\n";
        const bool copied = deleted.inPlace(&error);
        if (!error.isEmpty()) {
            err << "rvk-ssu-admin: cannot ask for the copy of deleted reports: " << error << '\n';
            return Failed;
        }
        out << (copied ? QStringLiteral("deleted reports are copied to %1\n").arg(deleted.copyTable())
                       : QStringLiteral("deleted reports are not copied yet\n"));
        return missing == 0 && copied ? Done : KeysMissing;
    }
    if (missing == 0) {
        out << "nothing missing: the table has its keys and indexes\n";
    } else {
        const QString statement = reportMigrationStatement(db, table);
        err << "rvk-ssu-admin: adding " << missing << " keys and indexes; on a large table this takes a while\n";
        err.flush();
        if (!runAlter(db, target, statement, err))
            return Failed;
        out << "added: " << statement.section(QLatin1Char(' '), 3) << '\n';
    }
    QStringList added;
    if (!deleted.ensure(&added, &error)) {
        err << "rvk-ssu-admin: cannot keep a copy of deleted reports: " << error << '\n'
            << "rvk-ssu-admin: the account needs TRIGGER on " << target.database << " and CREATE, INSERT, SELECT "
            << "and DELETE on " << deleted.adminDatabase() << " (see the README)\n";
        return Failed;
    }
    if (added.isEmpty())
        out << "nothing missing: deleted reports are copied to " << deleted.copyTable() << '\n';
    else
        out << "added: " << added.join(QLatin1String(", ")) << "; deleted reports are copied to "
            << deleted.copyTable() << '\n';
    return Done;
}

int runRestore(QSqlDatabase db, const SsuTarget &target, const QString &table, const QList<qint64> &copies,
               QTextStream &out, QTextStream &err)
{
    DeletedReports deleted(db, target.database, table);
    int failures = 0;
    for (qint64 copy : copies) {
        QString detail;
        switch (deleted.restore(copy, &detail)) {
        case DeletedReports::Restored::Done:
            out << copy << ": restored (" << detail << ")\n";
            break;
        case DeletedReports::Restored::PresentAgain:
            // The duplicate rule keeps one row of a report: the one there
            // now stays, and so does the copy.
            out << copy << ": stored again meanwhile (" << detail << "); nothing changed, the copy stays\n";
            break;
        case DeletedReports::Restored::NoSuchCopy:
            err << "rvk-ssu-admin: " << copy << ": no such deleted report (\"deleted\" lists them)\n";
            ++failures;
            break;
        case DeletedReports::Restored::Failed:
            err << "rvk-ssu-admin: " << copy << ": not restored, the copy stays: " << detail << '\n';
            ++failures;
            break;
        }
    }
    return failures == 0 ? Done : Failed;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("rvk-ssu-admin"));
    QTextStream out(stdout);
    QTextStream err(stderr);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Without a command: creates the SSU's report table if missing and adds the row key and the indexes it "
        "lacks, in one statement (the table ends complete or as it was), and the trigger that copies every "
        "deleted report into <database>_admin. Run it with an account that may ALTER, INDEX and TRIGGER "
        "RVKSSUdb and create <database>_admin, once before the stations use a new or older table.\n"
        "Commands:\n"
        "  deleted [--serial N] [--since DATE]  list the deleted reports\n"
        "  restore ID...                        put deleted reports back\n"
        "  station add NAME [--output FILE]     make a station's own account and its station file\n"
        "  station list                         list the stations' accounts\n"
        "  station revoke NAME                  take a station's account away\n"
        "The password is read from the first line of standard input, or of the file given with "
        "--password-file; never from the command line.\n"
        "Exit status: 0 done (with --check: complete), 1 keys missing (--check), 2 wrong usage, 3 failed."));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("command"), QStringLiteral("deleted, restore or station; none: "
                                                                            "the step"));
    const QCommandLineOption hostsOption(QStringLiteral("hosts"),
                                         QStringLiteral("The database servers, \"host[:port],...\", tried in order "
                                                        "(port default %1).")
                                             .arg(SsuConnection::DefaultPort),
                                         QStringLiteral("hosts"));
    const QCommandLineOption caOption(QStringLiteral("ca"),
                                      QStringLiteral("Connect by TLS only, to a server with a certificate for "
                                                     "its host from the CA in <file> (PEM)."),
                                      QStringLiteral("file"));
    const QCommandLineOption userOption(QStringLiteral("user"), QStringLiteral("The account (default RVKadmin)."),
                                        QStringLiteral("name"), QStringLiteral("RVKadmin"));
    const QCommandLineOption passwordFileOption(
        QStringLiteral("password-file"),
        QStringLiteral("Read the account's password from the first line of <file> instead of standard input."),
        QStringLiteral("file"));
    const QCommandLineOption checkOption(QStringLiteral("check"),
                                         QStringLiteral("Change nothing; print how many keys and indexes are "
                                                        "missing, and whether deleted reports are copied."));
    const QCommandLineOption hoursOption(QStringLiteral("max-hours"),
                                         QStringLiteral("Give the change up to <hours> (default %1).")
                                             .arg(DefaultStatementHours),
                                         QStringLiteral("hours"), QString::number(DefaultStatementHours));
    const QCommandLineOption databaseOption(QStringLiteral("database"),
                                            QStringLiteral("The database (default RVKSSUdb)."),
                                            QStringLiteral("name"), QStringLiteral("RVKSSUdb"));
    const QCommandLineOption serialOption(QStringLiteral("serial"),
                                          QStringLiteral("deleted: only the reports of this serial number."),
                                          QStringLiteral("N"));
    const QCommandLineOption sinceOption(QStringLiteral("since"),
                                         QStringLiteral("deleted: only reports deleted from DATE on "
                                                        "(yyyy-MM-dd or \"yyyy-MM-dd HH:mm\")."),
                                         QStringLiteral("DATE"));
    const QCommandLineOption outputOption(QStringLiteral("output"),
                                          QStringLiteral("station add: write the station file to <file> "
                                                         "(default rvk-station-NAME.ssu here)."),
                                          QStringLiteral("file"));
    const QCommandLineOption keyFileOption(QStringLiteral("key-file"),
                                           QStringLiteral("station add: encrypt with the key on the first line "
                                                          "of <file> instead of this build's."),
                                           QStringLiteral("file"));
    QCommandLineOption tableOption(QStringLiteral("table"), QStringLiteral("The table (default rvkreport)."),
                                   QStringLiteral("name"), QStringLiteral("rvkreport"));
    tableOption.setFlags(QCommandLineOption::HiddenFromHelp);
    // Known only to be refused with a reason instead of "unknown option".
    QCommandLineOption passwordOption(QStringLiteral("password"), QString(), QStringLiteral("password"));
    passwordOption.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOptions({hostsOption, caOption, userOption, passwordFileOption, checkOption, hoursOption,
                       databaseOption, serialOption, sinceOption, outputOption, keyFileOption, tableOption,
                       passwordOption});
    parser.process(app);

    const Invocation call = parseCommand(parser.positionalArguments());
    SsuTarget target;
    target.hosts = parser.value(hostsOption);
    target.caFile = parser.value(caOption);
    target.user = parser.value(userOption);
    target.database = parser.value(databaseOption);
    const QString table = parser.value(tableOption);
    if (!call.usageError.isEmpty()) {
        err << "rvk-ssu-admin: " << call.usageError << '\n';
        return Usage;
    }
    if (target.hosts.isEmpty()) {
        err << "rvk-ssu-admin: name the database servers with --hosts\n";
        return Usage;
    }
    // The names become part of statements, with suffixes of their own
    // ("_admin", "_deleted", "_keep_deleted") within the server's 64.
    const QRegularExpression name(QStringLiteral("\\A[A-Za-z_][A-Za-z0-9_]{0,49}\\z"));
    if (!name.match(table).hasMatch() || !name.match(target.database).hasMatch()) {
        err << "rvk-ssu-admin: the table's and the database's names may hold only letters, digits and "
               "underscores, at most 50\n";
        return Usage;
    }
    bool hoursOk = false;
    const int hours = parser.value(hoursOption).toInt(&hoursOk);
    if (!hoursOk || hours < 1 || hours > 24 * 7) {
        err << "rvk-ssu-admin: --max-hours takes 1 to 168\n";
        return Usage;
    }
    DeletedReports::Filter filter;
    if (parser.isSet(serialOption)) {
        bool ok = false;
        filter.serial = parser.value(serialOption).toUInt(&ok);
        if (!ok || filter.serial == 0) {
            err << "rvk-ssu-admin: --serial takes a serial number above 0\n";
            return Usage;
        }
    }
    if (parser.isSet(sinceOption)) {
        const QString since = parser.value(sinceOption);
        filter.since = QDateTime::fromString(since, QStringLiteral("yyyy-MM-dd HH:mm"));
        if (!filter.since.isValid())
            filter.since = QDateTime(QDate::fromString(since, QStringLiteral("yyyy-MM-dd")), QTime(0, 0));
        if (!filter.since.isValid()) {
            err << "rvk-ssu-admin: --since takes yyyy-MM-dd or \"yyyy-MM-dd HH:mm\"\n";
            return Usage;
        }
    }
    quint64 key = 0;
    if (call.command == Invocation::StationAdd && !readKey(parser.value(keyFileOption), &key, err))
        return Failed;
    switch (readPassword(QStringLiteral("rvk-ssu-admin"), parser, passwordFileOption, &target.password, err,
                         {passwordOption}, call.words)) {
    case PasswordInput::Read:
        break;
    case PasswordInput::Unreadable:
        return Failed;
    default:
        return Usage;
    }

    SsuLinkPolicy policy = SsuConnection::policy(target);
    policy.statementMs = hours * 3600 * 1000;
    int exitCode = Failed;
    {
        QSqlDatabase db = SsuConnection::open(QLatin1String(AdminConnection), target, policy);
        QString error;
        if (!db.isOpen()) {
            err << "rvk-ssu-admin: cannot connect to " << target.hosts << " as " << target.user << ": "
                << terminalSafe(db.lastError().text()) << '\n';
        } else if (call.command == Invocation::Step) {
            exitCode = runStep(db, target, table, parser.isSet(checkOption), out, err);
        } else if (call.command == Invocation::Deleted) {
            DeletedReports deleted(db, target.database, table);
            out << "copy\tdeleted\tby\tserial\tdate\ttotal_time\trepair_time\n";
            const int listed = deleted.list(filter, out, &error);
            if (listed < 0) {
                err << "rvk-ssu-admin: cannot list the deleted reports: " << error << '\n';
            } else {
                err << "rvk-ssu-admin: " << listed << " deleted reports\n";
                exitCode = Done;
            }
        } else if (call.command == Invocation::Restore) {
            exitCode = runRestore(db, target, table, call.copies, out, err);
        } else {
            StationAccounts stations(db, target.database, table);
            if (call.command == Invocation::StationAdd) {
                const QString file = parser.isSet(outputOption)
                    ? parser.value(outputOption)
                    : QStringLiteral("rvk-station-%1.ssu").arg(call.station);
                QString token;
                if (stations.add(call.station, file, key, &token, &error)) {
                    out << "station " << call.station << ": account " << StationAccounts::accountOf(call.station)
                        << ", station file " << file << '\n'
                        << "copy the file to the station's user as " << StationAccount::defaultPath()
                                                                            .section(QLatin1Char('/'), -2)
                        << " in the user's configuration folder (~/.config on Linux, AppData\\Local on Windows)\n"
                        << "login token for service mode at that station: " << token << '\n';
                    exitCode = Done;
                } else {
                    err << "rvk-ssu-admin: station " << call.station << " not added: " << error << '\n';
                }
            } else if (call.command == Invocation::StationList) {
                out << "station\taccount\tadded\tby\n";
                if (stations.list(out, &error) < 0)
                    err << "rvk-ssu-admin: cannot list the stations: " << error << '\n';
                else
                    exitCode = Done;
            } else {
                switch (stations.revoke(call.station, &error)) {
                case StationAccounts::Revoked::Done:
                    out << "station " << call.station << " revoked: its account is dropped; what it reads from "
                        << "now on waits in its archive folder\n";
                    exitCode = Done;
                    break;
                case StationAccounts::Revoked::Unknown:
                    err << "rvk-ssu-admin: no station " << call.station << " (station list shows them)\n";
                    break;
                case StationAccounts::Revoked::Failed:
                    err << "rvk-ssu-admin: station " << call.station << " not revoked: " << error << '\n';
                    break;
                }
            }
        }
    }
    SsuConnection::remove(QLatin1String(AdminConnection));
    return exitCode;
}
