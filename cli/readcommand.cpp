// rvk-report read: one full read-out, as the window's button makes it.
#include "cli/commandcontext.h"

#include "report/reportrecord.h"
#include "ssu/ssusession.h"
#include "protocol/language.h"
#include "station/station.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <optional>

namespace {

QJsonObject readoutJson(const Readout &readout, const QString &document, const QString &comparison,
                        const ReportStore::Result *stored)
{
    const ReportValues values = decodeReport(readout.record);
    QJsonObject json{{QStringLiteral("sn"), qint64(values.sn)},
                     {QStringLiteral("date"), readout.time},
                     {QStringLiteral("release_date"), values.release_date},
                     {QStringLiteral("firmware_version"), values.firmware_version},
                     {QStringLiteral("impact_level"), qint64(values.impact_level)},
                     {QStringLiteral("total_time"), values.total_time},
                     {QStringLiteral("repair_time"), values.repair_time},
                     {QStringLiteral("impacts"), qint64(values.impacts)},
                     {QStringLiteral("irt_impacts"), qint64(values.irt_impacts)},
                     {QStringLiteral("total_percents"), QJsonArray::fromStringList(values.totalPercents)},
                     {QStringLiteral("repair_percents"), QJsonArray::fromStringList(values.repairPercents)},
                     {QStringLiteral("frames"), readout.frames},
                     {QStringLiteral("whole"), readout.whole},
                     {QStringLiteral("document"), document},
                     {QStringLiteral("comparison"), comparison}};
    // Words of a broken transfer are shifted or zeroed: none of them is
    // known to be this module's value, so none is given, only what arrived.
    if (!readout.whole) {
        for (const char *key : {"sn", "release_date", "firmware_version", "impact_level", "total_time", "repair_time",
                                "impacts", "irt_impacts", "total_percents", "repair_percents"})
            json.insert(QLatin1String(key), QJsonValue::Null);
    }
    if (stored) {
        static const char *const Outcomes[] = {"ssu", "archive", "none"};
        json.insert(QStringLiteral("stored"), QLatin1String(Outcomes[int(stored->outcome)]));
        json.insert(QStringLiteral("archive_file"),
                    stored->outcome == ReportStore::Outcome::Uploaded ? QString() : stored->archivePath);
    }
    return json;
}
} // namespace

int readCommand(CommandContext &context)
{
    Station station;
    if (context.hooks.prepareSession)
        context.hooks.prepareSession(station.session());
    station.setDocumentLanguage(Language::code(context.language));
    station.setUploading(!context.parser.isSet(QStringLiteral("no-upload")));

    std::optional<ReportStore::Result> stored;
    QString document;
    QString comparison;
    ComparisonSummary summary;
    int shownProgress = -10;
    QObject::connect(&station, &Station::reportProgress, [&](int percent) {
        if (percent < shownProgress + 10 && percent != 100)
            return;
        shownProgress = percent;
        context.err << CommandLine::tr("Чтение отчёта: %1 %").arg(percent) << Qt::endl;
    });
    QObject::connect(&station, &Station::documentWritten, [&](const QString &path) { document = path; });
    QObject::connect(&station, &Station::compared, [&](const ComparisonSummary &line, const QString &path) {
        summary = line;
        comparison = path;
    });
    QObject::connect(&station, &Station::documentFailed, [&](const QString &path, const QString &error) {
        context.err << CommandLine::tr("Не могу сохранить файл отчёта: %1 (%2)").arg(path, error) << Qt::endl;
    });
    QObject::connect(&station, &Station::reportStored, [&](const ReportStore::Result &result) { stored = result; });

    if (!openLink(station, context))
        return ExitCode::NoAdapter;
    const ReadoutWait wait = readReport(station, false);
    if (!wait.sent) {
        context.err << CommandLine::tr("Связь с адаптером нарушена.") << Qt::endl;
        return ExitCode::NoAdapter;
    }
    const std::optional<Readout> &ended = wait.readout;
    if (!ended) {
        if (wait.silentAfter > 0) {
            context.err << CommandLine::tr("Модуль перестал отвечать после %1 кадров из 37.").arg(wait.silentAfter) << Qt::endl;
            return ExitCode::Incomplete;
        }
        context.err << CommandLine::tr("Модуль не отвечает.") << Qt::endl;
        return ExitCode::NoAnswer;
    }
    if (!ended->whole) {
        context.err << CommandLine::tr("Отчёт прочитан не полностью (получено кадров: %1 из 37); ничего не сохранено.").arg(ended->frames)
                    << Qt::endl;
        if (context.parser.isSet(QStringLiteral("json")))
            context.out << QJsonDocument(readoutJson(*ended, QString(), QString(), nullptr)).toJson(QJsonDocument::Indented);
        return ExitCode::Incomplete;
    }
    // The storage follows the document within the same completion.
    if (!stored && !waitUntil([&] { return stored.has_value(); }, StorageTimeoutMs)) {
        context.err << CommandLine::tr("Отчёт не сохранён вовремя.") << Qt::endl;
        return ExitCode::NotKept;
    }

    if (context.parser.isSet(QStringLiteral("json"))) {
        context.out << QJsonDocument(readoutJson(*ended, document, comparison, &*stored)).toJson(QJsonDocument::Indented);
    } else {
        const KeyValues &values = ended->values;
        context.out << CommandLine::tr("Серийный номер: %1").arg(values.serialNumber) << '\n'
                    << CommandLine::tr("Наработка: %1").arg(values.totalTimeText) << '\n'
                    << CommandLine::tr("Межремонтная наработка: %1").arg(values.repairTimeText) << '\n'
                    << CommandLine::tr("Дата выпуска: %1").arg(values.releaseDateText) << '\n'
                    << CommandLine::tr("Версия ПО: %1").arg(values.firmwareText) << '\n'
                    << CommandLine::tr("Уровень удара: %1").arg(values.impactLevel) << '\n'
                    << CommandLine::tr("Документ: %1").arg(document) << '\n'
                    << CommandLine::tr("Изменения с прошлого отчёта: %1").arg(comparison) << '\n'
                    << summary.line << '\n';
        for (const QString &notice : summary.notices)
            context.out << CommandLine::tr("Внимание: %1").arg(notice) << '\n';
        context.out.flush();
    }
    switch (stored->outcome) {
    case ReportStore::Outcome::Uploaded:
        context.err << CommandLine::tr("Отчёт сохранён в ССУ.") << Qt::endl;
        return ExitCode::Done;
    case ReportStore::Outcome::Archived:
        context.err << CommandLine::tr("Отчёт сохранён в архив: %1").arg(stored->archivePath) << Qt::endl;
        return context.parser.isSet(QStringLiteral("no-upload")) ? ExitCode::Done : ExitCode::ArchivedOnly;
    case ReportStore::Outcome::Lost:
        break;
    }
    context.err << CommandLine::tr("Отчёт не передан в ССУ и не сохранён в архив: %1 (%2)")
                       .arg(stored->archivePath, stored->error)
                << Qt::endl;
    return ExitCode::NotKept;
}
