// rvk-report read: one full read-out, as the window's button makes it.
#include "cli/readone.h"

#include "protocol/csvwriter.h"
#include "protocol/language.h"
#include "protocol/terminaltext.h"
#include "report/reportrecord.h"
#include "station/station.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>

namespace {

QJsonValue textOrNull(const QString &text)
{
    return text.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(text);
}

QJsonValue minutes(const QString &operatingTime)
{
    qint64 value = 0;
    return parseOperatingTime(operatingTime, &value) ? QJsonValue(double(value)) : QJsonValue(QJsonValue::Null);
}

QJsonValue isoDay(const QString &day)
{
    return textOrNull(CsvWriter::day(QDate::fromString(day, QStringLiteral("dd.MM.yyyy"))));
}

// Each parameter's bins, "12,30,0,58", as [12, 30, 0, 58].
QJsonArray histograms(const QStringList &lists)
{
    QJsonArray parameters;
    for (const QString &list : lists) {
        QJsonArray bins;
        for (const QString &percent : list.split(QLatin1Char(',')))
            bins.append(percent.toDouble());
        parameters.append(bins);
    }
    return parameters;
}

} // namespace

ReadOne readOne(Station &station, CommandContext &context, bool showProgress)
{
    ReadOne read;
    // Ends every connection below when the read is over.
    QObject receiver;
    int shownProgress = -10;
    if (showProgress) {
        QObject::connect(&station, &Station::reportProgress, &receiver, [&](int percent) {
            if (percent < shownProgress + 10 && percent != 100)
                return;
            shownProgress = percent;
            context.err << CommandLine::tr("Чтение отчёта: %1 %").arg(percent) << Qt::endl;
        });
    }
    QObject::connect(station.keeper(), &ReportKeeper::documentWritten, &receiver, [&](const QString &path) { read.document = path; });
    QObject::connect(station.keeper(), &ReportKeeper::compared, &receiver,
                     [&](const ComparisonSummary &summary, const QString &path) {
                         read.summary = summary;
                         read.comparison = path;
                     });
    QObject::connect(station.keeper(), &ReportKeeper::documentFailed, &receiver, [&](const QString &path, const QString &error) {
        context.err << CommandLine::tr("Не могу сохранить файл отчёта: %1 (%2)").arg(path, error) << Qt::endl;
    });
    QObject::connect(station.keeper(), &ReportKeeper::reportStored, &receiver,
                     [&](const ReportStore::Result &result) { read.stored = result; });

    const ReadoutWait wait = readReport(station, false);
    read.readout = wait.readout;
    if (!wait.sent) {
        context.err << CommandLine::tr("Связь с адаптером нарушена.") << Qt::endl;
        read.code = ExitCode::NoAdapter;
        return read;
    }
    if (!read.readout) {
        if (wait.silentAfter > 0) {
            context.err << CommandLine::tr("Модуль перестал отвечать после %1 кадров из 37.").arg(wait.silentAfter) << Qt::endl;
            read.code = ExitCode::Incomplete;
            return read;
        }
        context.err << CommandLine::tr("Модуль не отвечает.") << Qt::endl;
        read.code = ExitCode::NoAnswer;
        return read;
    }
    if (!read.readout->whole) {
        context.err << CommandLine::tr("Отчёт прочитан не полностью (получено кадров: %1 из 37); ничего не сохранено.")
                           .arg(read.readout->frames)
                    << Qt::endl;
        read.code = ExitCode::Incomplete;
        return read;
    }
    // The storage follows the document within the same completion.
    if (!read.stored && !waitUntil([&] { return read.stored.has_value(); }, StorageTimeoutMs)) {
        context.err << CommandLine::tr("Отчёт не сохранён вовремя.") << Qt::endl;
        read.code = ExitCode::NotKept;
        return read;
    }
    switch (read.stored->outcome) {
    case ReportStore::Outcome::Uploaded:
        read.code = ExitCode::Done;
        break;
    case ReportStore::Outcome::Archived:
        read.code = context.parser.isSet(QStringLiteral("no-upload")) ? ExitCode::Done : ExitCode::ArchivedOnly;
        break;
    case ReportStore::Outcome::Lost:
        read.code = ExitCode::NotKept;
        break;
    }
    return read;
}

QJsonObject readoutJson(const ReadOne &read)
{
    const Readout &readout = *read.readout;
    const ReportValues values = decodeReport(readout.record);
    QJsonObject json{{QStringLiteral("frames"), readout.frames},
                     {QStringLiteral("whole"), readout.whole},
                     {QStringLiteral("date"), textOrNull(CsvWriter::wallClock(QDateTime::fromString(
                                                  readout.time, QStringLiteral("dd.MM.yyyy HH:mm"))))}};
    const char *const valueKeys[] = {"sn", "release_date", "firmware_version", "impact_level", "total_time",
                                     "repair_time", "impacts", "irt_impacts", "total_percents", "repair_percents"};
    if (readout.whole) {
        json.insert(QStringLiteral("sn"), qint64(values.sn));
        json.insert(QStringLiteral("release_date"), values.releaseDateSet ? isoDay(values.release_date) : QJsonValue());
        json.insert(QStringLiteral("firmware_version"),
                    values.firmwareVersionSet ? textOrNull(values.firmware_version) : QJsonValue());
        json.insert(QStringLiteral("impact_level"), qint64(values.impact_level));
        json.insert(QStringLiteral("total_time"), minutes(values.total_time));
        json.insert(QStringLiteral("repair_time"), minutes(values.repair_time));
        json.insert(QStringLiteral("impacts"), qint64(values.impacts));
        json.insert(QStringLiteral("irt_impacts"), qint64(values.irt_impacts));
        json.insert(QStringLiteral("total_percents"), histograms(values.totalPercents));
        json.insert(QStringLiteral("repair_percents"), histograms(values.repairPercents));
    } else {
        // Words of a broken transfer are shifted or zeroed: none of them is
        // known to be this module's value, so none is given, only what
        // arrived.
        for (const char *key : valueKeys)
            json.insert(QLatin1String(key), QJsonValue::Null);
    }
    json.insert(QStringLiteral("document"), textOrNull(read.document));
    json.insert(QStringLiteral("comparison"), textOrNull(read.comparison));
    if (read.summary) {
        json.insert(QStringLiteral("comparison_summary"),
                    QJsonObject{{QStringLiteral("line"), read.summary->line},
                                {QStringLiteral("notices"), QJsonArray::fromStringList(read.summary->notices)}});
    } else {
        json.insert(QStringLiteral("comparison_summary"), QJsonValue::Null);
    }
    if (read.stored) {
        static const char *const Outcomes[] = {"ssu", "archive", "none"};
        json.insert(QStringLiteral("stored"), QLatin1String(Outcomes[int(read.stored->outcome)]));
        json.insert(QStringLiteral("archive_file"), read.stored->outcome == ReportStore::Outcome::Uploaded
                                                        ? QJsonValue()
                                                        : textOrNull(read.stored->archivePath));
    }
    return json;
}

int readCommand(CommandContext &context)
{
    Station station;
    if (context.hooks.prepareSession)
        context.hooks.prepareSession(station.session());
    station.keeper()->setDocumentLanguage(Language::code(context.language));
    station.keeper()->setUploading(!context.parser.isSet(QStringLiteral("no-upload")));
    const Attempt<> link = openLink(station, context);
    if (!link.ok) {
        context.err << link.error << Qt::endl;
        return ExitCode::NoAdapter;
    }
    if (context.parser.isSet(QStringLiteral("loop")))
        return readLoop(station, context);

    const ReadOne read = readOne(station, context, true);
    if (!read.readout)
        return read.code;
    const bool json = context.parser.isSet(QStringLiteral("json"));
    if (json)
        context.out << QJsonDocument(readoutJson(read)).toJson(QJsonDocument::Indented);
    if (!read.readout->whole || !read.stored) {
        context.out.flush();
        return read.code;
    }
    if (!json) {
        const KeyValues &values = read.readout->values;
        context.out << CommandLine::tr("Серийный номер: %1").arg(values.serialNumber) << '\n'
                    << CommandLine::tr("Наработка: %1").arg(values.totalTimeText) << '\n'
                    << CommandLine::tr("Межремонтная наработка: %1").arg(values.repairTimeText) << '\n'
                    << CommandLine::tr("Дата выпуска: %1").arg(values.releaseDateText) << '\n'
                    << CommandLine::tr("Версия ПО: %1").arg(values.firmwareText) << '\n'
                    << CommandLine::tr("Уровень удара: %1").arg(values.impactLevel) << '\n'
                    << CommandLine::tr("Документ: %1").arg(read.document) << '\n'
                    << CommandLine::tr("Изменения с прошлого отчёта: %1").arg(read.comparison) << '\n';
        if (read.summary) {
            context.out << terminalSafe(read.summary->line) << '\n';
            for (const QString &notice : read.summary->notices)
                context.out << CommandLine::tr("Внимание: %1").arg(terminalSafe(notice)) << '\n';
        }
    }
    context.out.flush();
    const ReportStore::Result &stored = *read.stored;
    switch (stored.outcome) {
    case ReportStore::Outcome::Uploaded:
        context.err << CommandLine::tr("Отчёт сохранён в ССУ.") << Qt::endl;
        break;
    case ReportStore::Outcome::Archived:
        context.err << CommandLine::tr("Отчёт сохранён в архив: %1").arg(stored.archivePath) << Qt::endl;
        break;
    case ReportStore::Outcome::Lost:
        context.err << CommandLine::tr("Отчёт не передан в ССУ и не сохранён в архив: %1 (%2)")
                           .arg(stored.archivePath, stored.error)
                    << Qt::endl;
        break;
    }
    return read.code;
}
