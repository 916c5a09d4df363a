// rvk-report fleet: the fleet window's figures, group by group, for scripts.
#include "cli/commandcontext.h"
#include "cli/outputpipe.h"

#include "ssu/fleetquery.h"
#include "ssu/driver/ssuconnection.h"
#include "ssu/ssusession.h"
#include "protocol/terminaltext.h"

#include <QBuffer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QObject>

#include <cstdio>
#include <optional>

int fleetCommand(CommandContext &context);

namespace {
const char *const ConnectionName = "rvk-report-fleet";

std::optional<FleetGrouping> groupingNamed(const QString &name)
{
    if (name == QLatin1String("firmware"))
        return FleetGrouping::FirmwareVersion;
    if (name == QLatin1String("release-month"))
        return FleetGrouping::ReleaseMonth;
    if (name == QLatin1String("release-year"))
        return FleetGrouping::ReleaseYear;
    return std::nullopt;
}

QByteArray jsonText(const QString &text)
{
    const QByteArray array = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
    return array.mid(1, array.size() - 2);
}

// One object a line, the keys in the CSV's order; a figure the group lacks
// is null.
QByteArray fleetJson(const FleetSummary &summary)
{
    const QStringList header = fleetCsvHeader();
    QByteArray bytes("[");
    for (int g = 0; g < summary.groups.size(); ++g) {
        const FleetGroup &group = summary.groups.at(g);
        bytes += g == 0 ? "\n{" : ",\n{";
        bytes += jsonText(header.at(0)) + ':' + jsonText(group.key) + ',' + jsonText(header.at(1)) + ':'
            + QByteArray::number(group.modules);
        const QVector<double> figures = fleetCsvFigures(group);
        for (int i = 0; i < figures.size(); ++i) {
            const double figure = figures.at(i);
            bytes += ',' + jsonText(header.value(i + 2)) + ':'
                + (qIsNaN(figure) ? QByteArray("null") : QByteArray::number(figure, 'f', 3));
        }
        bytes += '}';
    }
    bytes += "\n]\n";
    return bytes;
}
} // namespace

int fleetCommand(CommandContext &context)
{
    const QCommandLineParser &parser = context.parser;
    const std::optional<FleetGrouping> grouping = groupingNamed(parser.value(QStringLiteral("group")));
    if (!grouping) {
        context.err << CommandLine::tr("--group: firmware, release-month или release-year.") << Qt::endl;
        return ExitCode::Usage;
    }
    const QString formatName = parser.value(QStringLiteral("format")).toLower();
    if (!formatName.isEmpty() && formatName != QLatin1String("csv") && formatName != QLatin1String("json")) {
        context.err << CommandLine::tr("--format: csv или json.") << Qt::endl;
        return ExitCode::Usage;
    }
    const bool json = formatName == QLatin1String("json");

    SsuSession session;
    const Attempt<> connected = connectSession(session, context);
    if (!connected.ok) {
        context.err << connected.error << Qt::endl;
        return ExitCode::Database;
    }
    // The summary is read on a connection of its own, as the export's
    // pages are.
    Attempt<FleetSummary> read;
    {
        QSqlDatabase db = SsuConnection::open(QLatin1String(ConnectionName), session.databaseTarget());
        if (!db.isOpen()) {
            context.err << CommandLine::tr("ССУ недоступна.") << Qt::endl;
            return ExitCode::Database;
        }
        read = readFleet(db, *grouping);
        db.close();
    }
    SsuConnection::remove(QLatin1String(ConnectionName));
    if (!read.ok) {
        context.err << terminalSafe(read.error) << Qt::endl;
        return ExitCode::Database;
    }
    const FleetSummary &summary = read.value;

    QBuffer csv;
    csv.open(QIODevice::WriteOnly);
    if (!json)
        writeFleetCsv(summary, &csv);
    context.out << QString::fromUtf8(json ? fleetJson(summary) : csv.data());
    context.out.flush();
    if (context.out.status() != QTextStream::Ok) {
        if (readerGone(fileno(stdout)))
            return ExitCode::Done;
        context.err << CommandLine::tr("Не удалось вывести сводку по парку.") << Qt::endl;
        return ExitCode::Failed;
    }
    context.err << CommandLine::tr("Групп: %1.").arg(summary.groups.size()) << Qt::endl;
    return ExitCode::Done;
}
