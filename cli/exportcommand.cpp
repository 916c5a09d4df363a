// rvk-report export: stored reports from the SSU, streamed.
#include "cli/commandcontext.h"
#include "cli/outputpipe.h"

#include "ssu/reportexport.h"
#include "ssu/driver/ssuconnection.h"
#include "ssu/ssusession.h"
#include "protocol/terminaltext.h"

#include <QDate>
#include <QElapsedTimer>
#include <QFile>
#include <QObject>

#include <optional>
#include <cstdio>

namespace {
const char *const ConnectionName = "rvk-report-export";

// yyyy-MM-dd as the option asks, or the dd.MM.yyyy the window shows.
QDate parseDate(const QString &text)
{
    const QDate iso = QDate::fromString(text, Qt::ISODate);
    return iso.isValid() ? iso : QDate::fromString(text, QStringLiteral("dd.MM.yyyy"));
}
} // namespace

int exportCommand(CommandContext &context)
{
    const QCommandLineParser &parser = context.parser;
    ExportSelection selection;
    if (parser.isSet(QStringLiteral("serial"))) {
        bool ok = false;
        selection.serial = parser.value(QStringLiteral("serial")).toUInt(&ok);
        if (!ok) {
            context.err << CommandLine::tr("--serial принимает серийный номер от 0 до 4294967295.") << Qt::endl;
            return ExitCode::Usage;
        }
    }
    for (const auto &[name, date] : {std::pair<QString, QDate *>{QStringLiteral("from"), &selection.from},
                                     std::pair<QString, QDate *>{QStringLiteral("to"), &selection.to}}) {
        if (!parser.isSet(name))
            continue;
        *date = parseDate(parser.value(name));
        if (!date->isValid()) {
            context.err << CommandLine::tr("--%1 принимает дату гггг-ММ-дд.").arg(name) << Qt::endl;
            return ExitCode::Usage;
        }
    }
    const QString formatName = parser.value(QStringLiteral("format")).toLower();
    if (!formatName.isEmpty() && formatName != QLatin1String("csv") && formatName != QLatin1String("json")) {
        context.err << CommandLine::tr("--format: csv или json.") << Qt::endl;
        return ExitCode::Usage;
    }
    const ExportFormat format = formatName == QLatin1String("json") ? ExportFormat::Json : ExportFormat::Csv;

    QFile out;
    const bool toFile = parser.isSet(QStringLiteral("out"));
    if (toFile)
        out.setFileName(parser.value(QStringLiteral("out")));
    if (!(toFile ? out.open(QIODevice::WriteOnly | QIODevice::Truncate) : out.open(stdout, QIODevice::WriteOnly))) {
        context.err << CommandLine::tr("Не могу записать %1: %2").arg(out.fileName(), out.errorString()) << Qt::endl;
        return ExitCode::Failed;
    }
    // Whatever was printed before must come first.
    context.out.flush();

    SsuSession session;
    const Attempt<> connected = connectSession(session, context);
    if (!connected.ok) {
        context.err << connected.error << Qt::endl;
        return ExitCode::Database;
    }
    // The export reads on a connection of its own.
    Attempt<qint64> outcome;
    {
        QSqlDatabase db = SsuConnection::open(QLatin1String(ConnectionName), session.databaseTarget());
        if (!db.isOpen()) {
            context.err << CommandLine::tr("ССУ недоступна.") << Qt::endl;
            return ExitCode::Database;
        }
        QElapsedTimer sinceShown;
        sinceShown.start();
        outcome = exportReports(db, session.hasRowKey(), selection, format, &out, [&](qint64 rows) {
            // Progress for long exports, once a second at most.
            if (sinceShown.elapsed() < 1000)
                return;
            sinceShown.restart();
            context.err << CommandLine::tr("Выгружено отчётов: %1").arg(rows) << Qt::endl;
        });
        db.close();
    }
    SsuConnection::remove(QLatin1String(ConnectionName));
    // The reader took what it wanted and went: the export is done, and the
    // SSU did nothing wrong.
    const bool readerClosed = !outcome.ok && readerGone(out.handle());
    // A write that failed otherwise (a full disk) is the output's fault too,
    // not the SSU's.
    const bool outputFailed = !outcome.ok && out.error() != QFileDevice::NoError;
    out.close();
    if (readerClosed)
        return ExitCode::Done;
    if (outputFailed) {
        context.err << CommandLine::tr("Выгрузка прервана после %1 отчётов: %2")
                           .arg(outcome.value)
                           .arg(terminalSafe(outcome.error))
                    << Qt::endl;
        return ExitCode::Failed;
    }
    if (!outcome.ok) {
        context.err << CommandLine::tr("Выгрузка прервана после %1 отчётов: %2")
                           .arg(outcome.value)
                           .arg(terminalSafe(outcome.error))
                    << Qt::endl;
        return ExitCode::Database;
    }
    context.err << CommandLine::tr("Выгружено отчётов: %1.").arg(outcome.value) << Qt::endl;
    return ExitCode::Done;
}
