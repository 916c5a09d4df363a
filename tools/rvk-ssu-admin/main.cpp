// rvk-ssu-admin: the administrator's step for the shared table. Stations may
// only create the table, store, read and delete reports; its row key and
// indexes are added here, on the administrator's own account, in one
// statement, so that the table is complete or as it was, never half-done.

#include "alterprogress.h"
#include "passwordinput.h"

#include "ssu/reportschema.h"
#include "ssu/driver/ssuconnection.h"

#include <QCommandLineParser>
#include <QCoreApplication>
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
    return QString::fromLatin1(CreateReportTableStatement)
        .replace(QStringLiteral("EXISTS rvkreport("), QStringLiteral("EXISTS %1(").arg(table));
}

// Runs the statement with progress reports. A connection lost under it (the
// network, the deadline) leaves the server going on alone; it is told to
// stop, so that the table stays as it was rather than changing later.
bool runAlter(QSqlDatabase db, const SsuTarget &target, const QString &statement, QTextStream &err)
{
    QSqlQuery id(db);
    if (!id.exec(QStringLiteral("SELECT CONNECTION_ID()")) || !id.next()) {
        err << "rvk-ssu-admin: " << id.lastError().text() << '\n';
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
    err << "rvk-ssu-admin: adding the keys failed: " << error.text() << '\n';
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

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("rvk-ssu-admin"));
    QTextStream out(stdout);
    QTextStream err(stderr);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Creates the SSU's report table if missing and adds the row key and the indexes it lacks, in one "
        "statement: the table ends complete or as it was. Run it with an account that may ALTER and INDEX "
        "RVKSSUdb, once before the stations use a new or older table. The password is read from the first "
        "line of standard input, or of the file given with --password-file; never from the command line.\n"
        "Exit status: 0 done (with --check: complete), 1 keys missing (--check), 2 wrong usage, 3 failed."));
    parser.addHelpOption();
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
                                                        "missing."));
    const QCommandLineOption hoursOption(QStringLiteral("max-hours"),
                                         QStringLiteral("Give the change up to <hours> (default %1).")
                                             .arg(DefaultStatementHours),
                                         QStringLiteral("hours"), QString::number(DefaultStatementHours));
    const QCommandLineOption databaseOption(QStringLiteral("database"),
                                            QStringLiteral("The database (default RVKSSUdb)."),
                                            QStringLiteral("name"), QStringLiteral("RVKSSUdb"));
    QCommandLineOption tableOption(QStringLiteral("table"), QStringLiteral("The table (default rvkreport)."),
                                   QStringLiteral("name"), QStringLiteral("rvkreport"));
    tableOption.setFlags(QCommandLineOption::HiddenFromHelp);
    // Known only to be refused with a reason instead of "unknown option".
    QCommandLineOption passwordOption(QStringLiteral("password"), QString(), QStringLiteral("password"));
    passwordOption.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOptions({hostsOption, caOption, userOption, passwordFileOption, checkOption, hoursOption,
                       databaseOption, tableOption, passwordOption});
    parser.process(app);

    SsuTarget target;
    target.hosts = parser.value(hostsOption);
    target.caFile = parser.value(caOption);
    target.user = parser.value(userOption);
    target.database = parser.value(databaseOption);
    const QString table = parser.value(tableOption);
    if (target.hosts.isEmpty()) {
        err << "rvk-ssu-admin: name the database servers with --hosts\n";
        return Usage;
    }
    // The table's name becomes part of statements.
    if (!QRegularExpression(QStringLiteral("\\A[A-Za-z_][A-Za-z0-9_]{0,63}\\z")).match(table).hasMatch()) {
        err << "rvk-ssu-admin: the table name may hold only letters, digits and underscores\n";
        return Usage;
    }
    bool hoursOk = false;
    const int hours = parser.value(hoursOption).toInt(&hoursOk);
    if (!hoursOk || hours < 1 || hours > 24 * 7) {
        err << "rvk-ssu-admin: --max-hours takes 1 to 168\n";
        return Usage;
    }
    switch (readPassword(QStringLiteral("rvk-ssu-admin"), parser, passwordFileOption, &target.password, err,
                         {passwordOption})) {
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
        QSqlQuery query(db);
        if (!db.isOpen()) {
            err << "rvk-ssu-admin: cannot connect to " << target.hosts << " as " << target.user << ": "
                << db.lastError().text() << '\n';
        } else if (!parser.isSet(checkOption) && !query.exec(createStatement(table))) {
            err << "rvk-ssu-admin: cannot create the table: " << query.lastError().text() << '\n';
        } else if (const int missing = missingReportKeys(db, table); missing < 0) {
            err << "rvk-ssu-admin: cannot read the table's indexes: " << db.lastError().text() << '\n';
        } else if (parser.isSet(checkOption)) {
            out << missing << " of the table's keys and indexes missing\n";
            exitCode = missing == 0 ? Done : KeysMissing;
        } else if (missing == 0) {
            out << "nothing missing: the table has its keys and indexes\n";
            exitCode = Done;
        } else {
            const QString statement = reportMigrationStatement(db, table);
            err << "rvk-ssu-admin: adding " << missing << " keys and indexes; on a large table this takes a while\n";
            err.flush();
            if (runAlter(db, target, statement, err)) {
                out << "added: " << statement.section(QLatin1Char(' '), 3) << '\n';
                exitCode = Done;
            }
        }
    }
    SsuConnection::remove(QLatin1String(AdminConnection));
    return exitCode;
}
