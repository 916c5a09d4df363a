// rvk-report monitor: the sensor values of the debug monitor, as CSV.
#include "cli/commandcontext.h"
#include "cli/interruption.h"

#include "diagnostics/monitorparser.h"
#include "protocol/csvwriter.h"
#include "station/station.h"

#include <QDateTime>
#include <QFile>
#include <QVector>
#include <limits>

namespace {
QStringList csvHeader()
{
    QStringList columns{QStringLiteral("utc_time"), QStringLiteral("utc_offset")};
    for (int i = 0; i < MonitorParser::sensorCount; ++i)
        columns << MonitorParser::sensorName(MonitorParser::Sensor(i));
    return columns;
}

// Every line carries the PC's UTC time and its local offset then, so lines
// from stations in several zones, or across a change of summer time, line
// up; a sensor the block did not read stays empty. The offset is a number
// of minutes east of UTC: CsvWriter guards a cell starting with "+" against
// spreadsheets as "'+03:00", which no script wants; a plain number is
// written as it stands.
QStringList csvLine(const QString &block, const QDateTime &time)
{
    QVector<QString> cells(MonitorParser::sensorCount + 2);
    cells[0] = CsvWriter::instant(time);
    cells[1] = QString::number(time.offsetFromUtc() / 60);
    for (const MonitorParser::Reading &reading : MonitorParser::parse(block))
        cells[2 + int(reading.sensor)] = QString::number(reading.value, 'g', 6);
    return cells.toList();
}
} // namespace

int monitorCommand(CommandContext &context)
{
    const QCommandLineParser &parser = context.parser;
    if (!parser.isSet(QStringLiteral("csv"))) {
        context.err << CommandLine::tr("Нужен параметр --csv.") << Qt::endl;
        return ExitCode::Usage;
    }
    bool durationOk = true;
    const double seconds = parser.isSet(QStringLiteral("duration"))
                               ? parser.value(QStringLiteral("duration")).toDouble(&durationOk)
                               : -1;
    if (!durationOk || (parser.isSet(QStringLiteral("duration")) && seconds <= 0)) {
        context.err << CommandLine::tr("--duration принимает положительное число секунд.") << Qt::endl;
        return ExitCode::Usage;
    }
    QFile csv(parser.value(QStringLiteral("csv")));
    if (!csv.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        context.err << CommandLine::tr("Не могу записать %1: %2").arg(csv.fileName(), csv.errorString()) << Qt::endl;
        return ExitCode::Failed;
    }
    CsvWriter lines;
    lines.addRow(csvHeader());
    bool written = lines.writeTo(&csv);

    Station station;
    const Attempt<> link = openLink(station, context);
    if (!link.ok) {
        context.err << link.error << Qt::endl;
        return ExitCode::NoAdapter;
    }
    qint64 blocks = 0;
    QObject::connect(station.monitor(), &MonitorStream::monitorBlock, [&](const QString &block, const QDateTime &time) {
        lines.addRow(csvLine(block, time));
        written = lines.writeTo(&csv) && written;
        ++blocks;
    });
    if (!station.switchMonitor(true)) {
        context.err << CommandLine::tr("Связь с адаптером нарушена.") << Qt::endl;
        return ExitCode::NoAdapter;
    }
    context.err << CommandLine::tr("Значения датчиков записываются в %1 (остановка: Ctrl+C).").arg(csv.fileName()) << Qt::endl;
    {
        const Interruption interruption;
        const int limitMs = seconds > 0 ? int(qMin(seconds * 1000.0, double(std::numeric_limits<int>::max()))) : -1;
        waitUntil([&] { return interruption.requested(); }, limitMs < 0 ? std::numeric_limits<int>::max() : limitMs);
    }
    // The module keeps sending until it is told otherwise, and a backend
    // that sends from the event loop still holds the frame: it must leave
    // before the process ends.
    if (station.switchMonitor(false) && waitUntil([&] { return !station.link()->writesPending(); }, 2000))
        context.err << CommandLine::tr("Монитор модуля выключен.") << Qt::endl;
    else
        context.err << CommandLine::tr("Монитор модуля выключить не удалось: связь с адаптером нарушена.") << Qt::endl;
    context.err << CommandLine::tr("Записано показаний: %1.").arg(blocks) << Qt::endl;
    if (!written || csv.error() != QFileDevice::NoError) {
        context.err << CommandLine::tr("Не могу записать %1: %2").arg(csv.fileName(), csv.errorString()) << Qt::endl;
        return ExitCode::Failed;
    }
    return blocks > 0 ? ExitCode::Done : ExitCode::NoAnswer;
}
